#pragma once

#include "Burrowlight/Widgets/Shell/AppActions.h"

#include <QMainWindow>
#include <memory>

namespace burrowlight {

// The window "main": the application's menu bar, and the content the main window's screens make,
// whose title it takes (the product name while the content has none).
class MainWindowFrame : public QMainWindow {
  public:
    static constexpr QSize defaultSize{1040, 660};

    MainWindowFrame(AppActions& actions, std::unique_ptr<QWidget> content);

    QWidget* content() const { return content_.get(); }

  private:
    std::unique_ptr<QWidget> content_;
};

} // namespace burrowlight
