#pragma once

#include "Burrowlight/Core/AppTermination.h"
#include "Burrowlight/Widgets/Shell/AppActions.h"
#include "Burrowlight/Widgets/Shell/WindowRouter.h"

#include <QCoreApplication>
#include <QMenu>
#include <QSystemTrayIcon>
#include <functional>
#include <memory>

namespace burrowlight {

// The application role: the windows, the tray, the menu commands and the quit sequence, over one
// event loop.
class BurrowlightApp {
  public:
    static int main(int argc, char** argv);
};

// The tray icon and its menu. Stands in with Quit alone until the tray menu has its own screens.
class AppPresence {
    Q_DECLARE_TR_FUNCTIONS(AppPresence)

  public:
    explicit AppPresence(std::function<void()> quit);

    QAction* quitAction() const { return quit_; }
    const QSystemTrayIcon& tray() const { return tray_; }

  private:
    QMenu menu_;
    QAction* quit_ = nullptr; // owned by the menu
    QSystemTrayIcon tray_;
};

// Everything the running application shows and how it quits, wired together.
class AppShell {
  public:
    AppShell();
    ~AppShell();

    AppTermination& termination() { return termination_; }
    WindowRouter& router() { return router_; }
    AppActions& actions() { return actions_; }
    AppPresence& presence() { return presence_; }

    // The windows of the launch rules.
    void launch();

  private:
    void installWindows();
    void connectActions();

    AppTermination termination_;
    AppActions actions_;
    WindowRouter router_;
    AppPresence presence_;
};

} // namespace burrowlight
