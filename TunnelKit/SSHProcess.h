#pragma once

#include "TunnelKit/MainQueue.h"
#include "TunnelKit/Result.h"
#include "TunnelKit/Spawn.h"

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace tunnelkit {

// Where the lines and the end of a process go. Both run on the main queue, and only while `owner`
// still exists: an owner freed meanwhile gets nothing, so the functions may capture it plainly.
struct SSHProcessEvents {
    std::weak_ptr<const void> owner;
    std::function<void(const std::string& line)> onLine;
    std::function<void(const Termination& termination)> onExit;
};

// One child (ssh, as a rule) in a process group of its own, its standard output and error joined
// on one pipe and cut into lines. A thread of its own reads the pipe and watches the exit; the
// lines (those of one read together, in one job), then exactly once the end, are handed to the main
// queue in order. The watching goes on
// after the handle is freed, until the child has exited; freeing the handle kills nothing.
class SSHProcess {
  public:
    using Termination = tunnelkit::Termination;
    using LaunchError = tunnelkit::LaunchError;
    using Grace = std::chrono::duration<double>;

    // How long after the exit a pipe still held open by a descendant is read.
    static constexpr std::chrono::seconds outputGraceAfterExit{1};

    static Result<SSHProcess, LaunchError>
    launch(const std::string& executable, std::vector<std::string> arguments, const Environment& environment,
           std::shared_ptr<MainQueue> mainQueue, SSHProcessEvents events);

    pid_t pid() const { return pid_; }

    // SIGTERM to the child's process group at once, SIGKILL after the grace unless the child has been
    // reaped by then. Neither is sent once the child has been reaped. Callable from any thread.
    void terminate(Grace grace) const;
    // A descriptor of the caller's own that becomes readable once the child has exited (a pidfd);
    // none when the child has been reaped already.
    UniqueFd exitDescriptor() const;
    // SIGKILL to the child's process group at once; nothing once the child has been reaped.
    void killGroup() const;

    struct Watch;

  private:
    SSHProcess(pid_t pid, std::shared_ptr<Watch> watch) : pid_(pid), watch_(std::move(watch)) {}

    pid_t pid_;
    std::shared_ptr<Watch> watch_;
};

} // namespace tunnelkit
