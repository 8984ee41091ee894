#pragma once

#include "TunnelKit/Result.h"
#include "TunnelKit/UniqueFd.h"

#include <chrono>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <sys/types.h>
#include <variant>
#include <vector>

// Starting child processes with posix_spawn: a replacement environment, standard input from
// /dev/null, the output on a pipe (or our own standard streams), and no other descriptor of ours
// inherited.
namespace tunnelkit {

using Environment = std::map<std::string, std::string>;

// This process's own environment.
Environment currentEnvironment();

// Bytes to text as UTF-8, each ill-formed sequence replaced by U+FFFD; never fails. For the
// output of every child process.
std::string decodeUTF8(std::string_view bytes);

// The poll(2) time-out that wakes at `deadline` (never, without one), capped so that a changed
// deadline is noticed within a minute.
int pollTimeoutUntil(std::optional<std::chrono::steady_clock::time_point> deadline);

// Why a child could not be started: the errno of the step that failed.
struct LaunchError {
    int code = 0;
    bool operator==(const LaunchError&) const = default;
};

// How a child ended.
struct Exited {
    int32_t status = 0; // 0 to 255
    bool operator==(const Exited&) const = default;
};
struct Signaled {
    int32_t signal = 0;
    bool operator==(const Signaled&) const = default;
};
using Termination = std::variant<Exited, Signaled>;

Termination terminationFromWaitStatus(int waitStatus);

// A started child. Signals reach its pid (or its group) only while it is unreaped: once reaped,
// the kernel may give the pid to another process. Safe to use from several threads.
class Child {
  public:
    Child(pid_t pid, UniqueFd pidfd) : pid_(pid), pidfd_(std::move(pidfd)) {}
    // Reaps a child that has already exited, so none is left a zombie; kills nothing.
    ~Child();
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;

    pid_t pid() const { return pid_; }
    // Becomes readable when the child exits; -1 once it has been reaped.
    int exitDescriptor() const;
    // A copy of that descriptor the caller owns, safe to wait on while another thread reaps the child;
    // none once it has been reaped.
    UniqueFd duplicateExitDescriptor() const;

    // Both return false when the child has been reaped or the signal could not be sent.
    bool signal(int signalNumber);
    bool signalGroup(int signalNumber);

    // Reaps the child if it has exited; its wait status once reaped.
    std::optional<int> tryReap();
    // Blocks until the child has exited, reaps it and returns its wait status.
    int waitForExit();
    bool isReaped() const;

  private:
    bool send(int signalNumber, bool toGroup);

    mutable std::mutex mutex_;
    const pid_t pid_;
    UniqueFd pidfd_;
    std::optional<int> waitStatus_;
};

enum class ErrorOutput {
    joined,    // standard error goes to the output pipe too
    discarded, // standard error goes to /dev/null
};

struct SpawnRequest {
    std::string executable;             // a path; PATH is never searched
    std::vector<std::string> arguments; // after the executable itself, which is argument 0
    Environment environment;            // replaces the whole environment
    bool newProcessGroup = false;       // the child leads a new group whose id is its pid
    ErrorOutput errorOutput = ErrorOutput::joined;
    // The child keeps our standard input, output and error: no pipe, and errorOutput is unused.
    bool inheritsStandardStreams = false;
};

struct SpawnedChild {
    std::shared_ptr<Child> child;
    // The read end of the child's standard output, close-on-exec, blocking; none when the child
    // inherits our streams.
    UniqueFd output;
};

Result<SpawnedChild, LaunchError> spawnChild(const SpawnRequest& request);

} // namespace tunnelkit
