#pragma once

#include "Burrowlight/Core/TunnelController.h"

#include <QObject>
#include <chrono>
#include <functional>
#include <map>

namespace burrowlight {

// How a scripted connect waits for its tunnels: it looks at their states, and while any is
// connecting or disconnecting it sleeps one step and looks again, up to a number of sleeps; a
// retrying tunnel does not hold it. The event loop runs on meanwhile, and a timer is set only while
// a wait sleeps.
class ConnectionWaits : public QObject {
    Q_OBJECT

  public:
    struct Steps {
        std::chrono::milliseconds interval{250};
        int limit = 80;
    };
    using Ticket = quint64;

    ConnectionWaits(const TunnelController& controller, Steps steps, QObject* parent = nullptr);

    // Whether any of the tunnels is connecting or disconnecting now.
    bool holds(const TunnelController::Ids& ids) const;
    // Sleeps first; `done` runs once, from the event loop, when no tunnel holds any more or after
    // the last sleep.
    Ticket wait(TunnelController::Ids ids, std::function<void(Ticket)> done);
    // `done` never runs.
    void cancel(Ticket ticket);
    bool isWaiting() const { return !waits_.empty(); }

  private:
    struct Wait {
        TunnelController::Ids ids;
        int sleeps = 0;
        std::function<void(Ticket)> done;
    };

    void sleep(Ticket ticket);
    void wake(Ticket ticket);

    const TunnelController& controller_;
    Steps steps_;
    Ticket nextTicket_ = 1;
    std::map<Ticket, Wait> waits_;
};

} // namespace burrowlight
