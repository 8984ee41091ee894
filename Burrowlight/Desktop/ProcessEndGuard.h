#pragma once

#include <QObject>
#include <QString>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>

namespace burrowlight {

// Qt ends the process on the spot when the display goes away: on X11 it warns that the connection
// broke and calls exit(), on Wayland it warns and calls _exit(), from whichever of its threads noticed
// first, and often from a second one as well. The event loop never returns, so the application's quit
// never runs. While a guard lives, its last step runs once before such an end: at Qt's warning, and at
// any exit() the run did not expect. The step runs on the thread that made the guard, where Qt's
// platform code gives up; a report from another thread hands it over there. No report returns, and so
// lets Qt end the process, while the step is under way; a hand-over the guard's thread has not taken
// up within `handOverLimit` is given up. One guard at a time; its end disarms it.
class ProcessEndGuard {
  public:
    static constexpr std::chrono::milliseconds handOverLimit{2500};

    explicit ProcessEndGuard(std::function<void()> lastStep);
    ~ProcessEndGuard();
    ProcessEndGuard(const ProcessEndGuard&) = delete;
    ProcessEndGuard& operator=(const ProcessEndGuard&) = delete;

    // Whether a message of Qt's says that the connection to the display is gone.
    static bool reportsLostDisplay(const QString& message);
    // What Qt's warning or an exit() sets off, from any thread and any number of times; nothing while
    // no guard lives.
    static void runLastStep();

  private:
    enum class Stage { ahead, running, done };

    void run();
    void handOver(std::unique_lock<std::mutex>& lock);
    void runHere(std::unique_lock<std::mutex>& lock);

    std::function<void()> lastStep_;
    std::mutex mutex_;
    std::condition_variable stageChanged_;
    Stage stage_ = Stage::ahead;
    bool handedOver_ = false;
    // Lives on the guard's thread: the step is queued to it from elsewhere. Made last, it goes first,
    // and a hand-over still queued goes with it.
    QObject home_;
};

} // namespace burrowlight
