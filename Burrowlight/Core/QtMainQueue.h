#pragma once

#include "TunnelKit/MainQueue.h"

#include <QObject>
#include <memory>

namespace burrowlight {

// The engine's main queue over the Qt event loop of the GUI thread. Made on that thread.
class QtMainQueue final : public tunnelkit::MainQueue {
  public:
    QtMainQueue();
    ~QtMainQueue() override;

    void post(tunnelkit::Job job) override;

  protected:
    void schedule(tunnelkit::BootClock::time_point deadline, tunnelkit::Job job) override;

  private:
    // Jobs are delivered through this object's thread affinity: the GUI thread.
    std::unique_ptr<QObject> context_;
};

} // namespace burrowlight
