#pragma once

#include "Burrowlight/Models/TunnelListing.h"

#include <functional>

namespace burrowlight {

class TunnelController;

// Where the main window's models read the time and the connections' states: the system clock and
// the controller; the screenshots hand in a fixed moment and fixed states.
struct WindowSources {
    std::function<tunnelkit::Date()> now;
    listing::StateOf states;
    // The detail's problem of a tunnel in place of its connection's; none: the connection's.
    std::function<std::optional<tunnelkit::TunnelProblem>(const tunnelkit::Uuid&)> problems;
    // The live tunnels whose state is active; none: counted from `states`.
    std::function<int()> connectedCount;

    static WindowSources of(const TunnelController& controller);
};

} // namespace burrowlight
