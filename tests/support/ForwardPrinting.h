#pragma once

#include "TunnelKit/Tunnel.h"

#include <ostream>

namespace tunnelkit {

// Readable forwards in test failures instead of gtest's byte dumps.
inline void PrintTo(const Forward& forward, std::ostream* out) {
    *out << rawValue(forward.kind) << (forward.isEnabled ? "" : " (off)") << " "
         << forward.listen.displayText();
    if (forward.target) {
        *out << " -> " << forward.target->displayText();
    }
    *out << " id " << forward.id.toString();
    if (!forward.note.empty()) {
        *out << " note " << forward.note;
    }
}

} // namespace tunnelkit
