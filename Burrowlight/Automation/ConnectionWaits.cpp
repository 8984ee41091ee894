#include "Burrowlight/Automation/ConnectionWaits.h"

#include <QTimer>
#include <algorithm>

namespace burrowlight {

ConnectionWaits::ConnectionWaits(const TunnelController& controller, Steps steps, QObject* parent)
    : QObject(parent), controller_(controller), steps_(steps) {}

bool ConnectionWaits::holds(const TunnelController::Ids& ids) const {
    return std::ranges::any_of(ids, [this](const tunnelkit::Uuid& id) {
        const auto state = controller_.state(id);
        return state.is<tunnelkit::TunnelState::Connecting>() ||
               state.is<tunnelkit::TunnelState::Disconnecting>();
    });
}

ConnectionWaits::Ticket ConnectionWaits::wait(TunnelController::Ids ids, std::function<void(Ticket)> done) {
    const Ticket ticket = nextTicket_++;
    waits_.emplace(ticket, Wait{std::move(ids), 0, std::move(done)});
    sleep(ticket);
    return ticket;
}

void ConnectionWaits::cancel(Ticket ticket) {
    waits_.erase(ticket);
}

void ConnectionWaits::sleep(Ticket ticket) {
    // A cancelled wait's timer still fires, and finds nothing.
    QTimer::singleShot(steps_.interval, Qt::PreciseTimer, this, [this, ticket] { wake(ticket); });
}

void ConnectionWaits::wake(Ticket ticket) {
    const auto found = waits_.find(ticket);
    if (found == waits_.end()) {
        return;
    }
    Wait& wait = found->second;
    ++wait.sleeps;
    if (wait.sleeps < steps_.limit && holds(wait.ids)) {
        sleep(ticket);
        return;
    }
    const auto done = std::move(wait.done);
    waits_.erase(found);
    done(ticket);
}

} // namespace burrowlight
