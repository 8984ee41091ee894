#pragma once

#include "TunnelKit/SSHCommandBuilder.h"

#include <ostream>

namespace tunnelkit {

// Lets GoogleTest show an error as "invalidOption(LogLevel, setByApp)" instead of its bytes.
inline void PrintTo(const SSHCommandError& error, std::ostream* out) {
    *out << describe(error);
}

} // namespace tunnelkit
