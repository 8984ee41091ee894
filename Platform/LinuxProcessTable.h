#pragma once

#include "TunnelKit/ProcessTable.h"

#include <cstdint>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

// What the kernel says about a running process, read from /proc.
namespace platform::processes {

// The executable's path, with the " (deleted)" suffix of a replaced binary removed.
std::optional<std::string> executablePath(pid_t pid);
std::optional<pid_t> parentOf(pid_t pid);
// Microseconds since 1970; stable for the life of the process, so it tells a reused pid apart.
std::optional<uint64_t> startTime(pid_t pid);
// The NUL-separated words of /proc/PID/cmdline.
std::optional<std::vector<std::string>> commandLine(pid_t pid);
// Every numeric entry of /proc.
std::vector<pid_t> processIDs();
// This process's own executable, never argv[0].
std::optional<std::string> ownExecutablePath();

} // namespace platform::processes

namespace platform {

// The engine's process table over /proc.
class LinuxProcessTable final : public tunnelkit::ProcessTable {
  public:
    std::vector<pid_t> processIDs() const override { return processes::processIDs(); }
    std::optional<std::string> executablePath(pid_t pid) const override {
        return processes::executablePath(pid);
    }
    std::optional<pid_t> parentOf(pid_t pid) const override { return processes::parentOf(pid); }
    std::optional<uint64_t> startTime(pid_t pid) const override { return processes::startTime(pid); }
    std::optional<std::vector<std::string>> commandLine(pid_t pid) const override {
        return processes::commandLine(pid);
    }
};

} // namespace platform
