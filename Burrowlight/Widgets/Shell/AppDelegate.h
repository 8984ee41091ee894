#pragma once

#include "Burrowlight/Desktop/WakeMonitor.h"

#include <QObject>
#include <QStringList>

namespace burrowlight {

class AppModel;
class AppTermination;
class TipPrompt;
class WindowRouter;

// What the application does around its windows: the launch sequence, waking from sleep, a launch
// that asks it to come forward or to open files, and the steps of quitting.
class AppDelegate : public QObject {
    Q_OBJECT

  public:
    AppDelegate(AppModel& model, WindowRouter& router, const AppTermination& termination,
                TipPrompt& tipPrompt);

    // Once the launch windows are open.
    void didFinishLaunching();
    // The quit check: false keeps the application running. A quit through the application's own Quit
    // command that goes ahead may first offer the tip page.
    bool shouldTerminate();
    // Every ssh down within the engine's deadline, then a relaunch when one was asked for.
    void willTerminate();
    // Another launch without files, or the application opened again from the desktop.
    void reopen();
    // Tunnel archives ("name.burrowlight") are imported, each after the user agrees; other files
    // are left alone. Nothing is imported before the terms of use are accepted.
    void openFiles(const QStringList& paths);

  private:
    AppModel& model_;
    WindowRouter& router_;
    const AppTermination& termination_;
    TipPrompt& tipPrompt_;
    WakeMonitor wake_;
};

} // namespace burrowlight
