#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <sys/types.h>

// What the kernel says about a running process, read from /proc.
namespace platform::processes {

// The executable's path, with the " (deleted)" suffix of a replaced binary removed.
std::optional<std::string> executablePath(pid_t pid);
std::optional<pid_t> parentOf(pid_t pid);
// Microseconds since 1970; stable for the life of the process, so it tells a reused pid apart.
std::optional<uint64_t> startTime(pid_t pid);
// This process's own executable, never argv[0].
std::optional<std::string> ownExecutablePath();

} // namespace platform::processes
