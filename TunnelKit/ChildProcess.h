#pragma once

#include "TunnelKit/Result.h"
#include "TunnelKit/Spawn.h"

#include <chrono>
#include <optional>
#include <stop_token>
#include <string>
#include <vector>

namespace tunnelkit {

inline constexpr std::chrono::seconds killGrace{2};

struct ChildProcessRequest {
    std::string executable;
    std::vector<std::string> arguments;
    Environment environment = currentEnvironment();
    ErrorOutput errorOutput = ErrorOutput::discarded;
    // Past it the child's group gets SIGTERM, and SIGKILL `killGrace` later if it is still there.
    std::optional<std::chrono::milliseconds> timeout;
};

struct ChildProcessResult {
    std::string output; // the bytes of standard output (and error, when joined)
    Termination termination;
    bool timedOut = false;
    bool stopped = false;
};

// Runs a short-lived program in a process group of its own, reads its output to the end and reaps
// it. Blocks the calling thread: call it off the main queue and post the result back. A stop request
// ends the child the way the time-out does, at once.
Result<ChildProcessResult, LaunchError> runChildProcess(const ChildProcessRequest& request,
                                                        std::stop_token stop = {});

} // namespace tunnelkit
