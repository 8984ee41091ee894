#pragma once

#include <QCoreApplication>
#include <QMenu>
#include <QMessageBox>
#include <QSystemTrayIcon>
#include <memory>

namespace burrowlight {

// The application role: builds the desktop presence and the engine's main queue, and runs the
// event loop until Quit.
class BurrowlightApp {
  public:
    static int main(int argc, char** argv);
};

// Where the running application shows on the desktop: the tray icon with its menu, or, without a
// tray host, a small window, so that it stays reachable. Both offer Quit, which ends the event loop.
class AppPresence {
    Q_DECLARE_TR_FUNCTIONS(AppPresence)

  public:
    explicit AppPresence(bool trayAvailable = QSystemTrayIcon::isSystemTrayAvailable());

    QAction* quitAction() const { return quit_; }
    const QSystemTrayIcon& tray() const { return tray_; }
    // Only without a tray host.
    QMessageBox* fallbackWindow() const { return fallback_.get(); }

  private:
    QMenu menu_;
    QAction* quit_ = nullptr; // owned by the menu
    QSystemTrayIcon tray_;
    std::unique_ptr<QMessageBox> fallback_;
};

} // namespace burrowlight
