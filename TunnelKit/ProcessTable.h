#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

namespace tunnelkit {

// What the kernel says about running processes. The platform implements it; the registry uses it to
// tell an earlier run's ssh from anything else, the askpass helper to find the application above it.
class ProcessTable {
  public:
    virtual ~ProcessTable() = default;

    // Every process of the system at this moment.
    virtual std::vector<pid_t> processIDs() const = 0;
    // The executable's path, with the " (deleted)" suffix of a replaced binary removed.
    virtual std::optional<std::string> executablePath(pid_t pid) const = 0;
    virtual std::optional<pid_t> parentOf(pid_t pid) const = 0;
    // Microseconds since 1970; stable for the life of the process, so it tells a reused pid apart.
    virtual std::optional<uint64_t> startTime(pid_t pid) const = 0;
    // The words the process was started with, the program first; nothing when it can't be read.
    virtual std::optional<std::vector<std::string>> commandLine(pid_t pid) const = 0;
};

} // namespace tunnelkit
