#pragma once

#include "Burrowlight/Core/TipPage.h"
#include "Burrowlight/Widgets/Shell/TipButton.h"
#include "Burrowlight/Widgets/Style/Theme.h"

#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace burrowlight {

// The panel that thanks the user at a quit and offers the tip page: accepted for the tip button
// (Return), rejected for "Not Now" (Escape). It has no title bar, so no buttons there: its own two
// buttons and their keys leave it; it moves by dragging its background.
class TipPromptPanel : public QDialog {
    Q_OBJECT

  public:
    static constexpr int width = 360;

    explicit TipPromptPanel(QWidget* parent = nullptr);

    TipButton& tipButton() { return tip_; }
    QPushButton& notNowButton() { return notNow_; }

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

  private:
    void applyTheme();

    // Containers first, their contents next and the layouts last, so that each goes before what
    // holds it.
    QWidget textColumn_;
    QWidget tipColumn_;
    QLabel icon_;
    QLabel title_;
    QLabel message_;
    TipButton tip_;
    QLabel caption_;
    QPushButton notNow_;
    QVBoxLayout textLayout_{&textColumn_};
    QVBoxLayout tipLayout_{&tipColumn_};
    QVBoxLayout layout_{this};
    PaletteFollower theme_{*this, [this] { applyTheme(); }};
};

// Shows the panel modally, in front of everything of the application's.
class TipPromptDialog : public TipPrompt {
  public:
    bool run() override;
};

} // namespace burrowlight
