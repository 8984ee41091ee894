#pragma once

#include <functional>

namespace tunnelkit {

// Tells whether the network is available and reports each change. The platform implements it; the
// application hands one to the tunnel manager.
class NetworkMonitor {
  public:
    using UpdateHandler = std::function<void(bool available)>;

    virtual ~NetworkMonitor() = default;

    // Called once. The handler runs on the monitor's own thread: first with the current state,
    // then each time availability changes. It must not wait for the thread that calls cancel().
    virtual void start(UpdateHandler onUpdate) = 0;

    // Once cancel() has returned, the handler never runs again. It may also be called from inside
    // the handler; the thread then ends when the handler returns.
    virtual void cancel() = 0;
};

} // namespace tunnelkit
