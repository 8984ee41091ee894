#pragma once

#include <QString>
#include <string>

namespace burrowlight {

// The installed ssh's version line, or "?" when it cannot be started. Blocks while ssh runs:
// call it off the GUI thread.
QString sshVersion(const std::string& executable = "/usr/bin/ssh");

} // namespace burrowlight
