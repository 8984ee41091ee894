#pragma once

#include "Burrowlight/Core/ArchiveImports.h"
#include "Burrowlight/Widgets/Shell/VerbatimText.h"
#include "Burrowlight/Widgets/Style/Theme.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <QWidget>

namespace burrowlight {

// Shows that an archive is being read, once the read has taken long enough to be noticed, and
// lets the user give it up. Nothing else waits for it: it is no modal window.
class ImportProgressWindow : public QWidget {
    Q_OBJECT

  public:
    // Before it shows, a read has taken this long.
    static constexpr int showDelayMs = 400;

    explicit ImportProgressWindow(ArchiveImports& imports, QWidget* parent = nullptr);

    QPushButton& cancelButton() { return cancel_; }
    const VerbatimText& message() const { return message_; }
    // Shows at once what a slow read would show after the delay.
    void showNow();

  private:
    void follow();

    ArchiveImports& imports_;
    VerbatimText message_;
    QProgressBar bar_;
    QPushButton cancel_;
    QVBoxLayout layout_{this};
    QTimer delay_;
    PaletteFollower theme_{*this, [this] { applyTolvanSurface(*this); }};
};

} // namespace burrowlight
