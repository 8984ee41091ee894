#pragma once

#include "TunnelKit/MainQueue.h"

#include <QObject>
#include <chrono>
#include <functional>
#include <memory>

namespace burrowlight {

// The engine's main queue over the Qt event loop of the GUI thread. Made on that thread.
class QtMainQueue final : public tunnelkit::MainQueue {
  public:
    // Runs `job` on `context`'s thread once `wait` has passed.
    using StartTimer =
        std::function<void(std::chrono::milliseconds wait, QObject* context, tunnelkit::Job job)>;

    // Over Qt's precise timers.
    QtMainQueue();
    // Over timers of the caller's own, such as a test's, whose time passes when the test says.
    explicit QtMainQueue(StartTimer startTimer);
    ~QtMainQueue() override;

    void post(tunnelkit::Job job) override;

  protected:
    void schedule(tunnelkit::BootClock::time_point deadline, tunnelkit::Job job) override;

  private:
    // Jobs are delivered through this object's thread affinity: the GUI thread.
    std::unique_ptr<QObject> context_;
    StartTimer startTimer_;
};

} // namespace burrowlight
