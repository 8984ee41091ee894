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

    static WindowSources of(const tunnelkit::TunnelManager& manager);
};

} // namespace burrowlight
