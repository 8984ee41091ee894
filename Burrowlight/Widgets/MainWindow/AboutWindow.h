#pragma once

#include "Burrowlight/Widgets/Style/Theme.h"

#include <QDialog>
#include <QLabel>
#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace burrowlight {

// "About Burrowlight": the name, the icon and the version over the credits, which are read afresh
// each time the window is made.
class AboutWindow : public QDialog {
    Q_OBJECT

  public:
    static constexpr QSize size{580, 560};

    explicit AboutWindow(QWidget* parent = nullptr);

    QPlainTextEdit& credits() { return credits_; }

  private:
    void applyTheme();

    QLabel icon_;
    QLabel name_;
    QLabel version_;
    QPlainTextEdit credits_;
    QVBoxLayout layout_{this};
    PaletteFollower theme_{*this, [this] { applyTheme(); }};
};

} // namespace burrowlight
