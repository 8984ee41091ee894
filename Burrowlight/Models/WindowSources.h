#pragma once

#include "Burrowlight/Models/TunnelListing.h"

#include <functional>

namespace tunnelkit {
class TunnelManager;
}

namespace burrowlight {

// Where the main window's models read the time and the connections' states: the system clock and
// the manager; the screenshots hand in a fixed moment and fixed states.
struct WindowSources {
    std::function<tunnelkit::Date()> now;
    listing::StateOf states;
    // The detail's problem of a tunnel in place of its connection's; none: the connection's.
    std::function<std::optional<tunnelkit::TunnelProblem>(const tunnelkit::Uuid&)> problems;

    static WindowSources of(const tunnelkit::TunnelManager& manager);
};

} // namespace burrowlight
