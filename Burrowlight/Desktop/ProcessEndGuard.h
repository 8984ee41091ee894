#pragma once

#include <QObject>
#include <QString>
#include <chrono>
#include <functional>

namespace burrowlight {

// Qt ends the process on the spot when the display goes away: on X11 it warns that the connection
// broke and calls exit(), on Wayland it warns and calls _exit(). The event loop never returns, so the
// application's quit never runs. While a guard lives, its last step runs once before such an end: at
// Qt's warning, and at any exit() the run did not expect. The step runs on the thread that made the
// guard, where Qt's platform code gives up; called from another thread it is handed over there and
// waited for, at most `handOverLimit`. One guard at a time; its end disarms it.
class ProcessEndGuard {
  public:
    static constexpr std::chrono::milliseconds handOverLimit{2500};

    explicit ProcessEndGuard(std::function<void()> lastStep);
    ~ProcessEndGuard();
    ProcessEndGuard(const ProcessEndGuard&) = delete;
    ProcessEndGuard& operator=(const ProcessEndGuard&) = delete;

    // Whether a message of Qt's says that the connection to the display is gone.
    static bool reportsLostDisplay(const QString& message);
    // What Qt's warning or an exit() sets off; once, and nothing while no guard lives.
    static void runLastStep();

  private:
    void run();

    std::function<void()> lastStep_;
    // Lives on the guard's thread: the step is queued to it from elsewhere.
    QObject home_;
};

} // namespace burrowlight
