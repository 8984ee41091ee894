#include "TunnelKit/ChildProcess.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <functional>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

namespace tunnelkit {

namespace {

using Clock = std::chrono::steady_clock;

// Reads what the pipe holds now; false once it has reached its end.
bool readAvailable(int fd, std::string& output) {
    std::array<char, 16384> buffer;
    while (true) {
        const auto n = ::read(fd, buffer.data(), buffer.size());
        if (n > 0) {
            output.append(buffer.data(), static_cast<size_t>(n));
        } else {
            return n < 0 && (errno == EAGAIN || errno == EINTR);
        }
    }
}

// Readable once a stop has been requested, so that poll() wakes for it.
class StopWakeUp {
  public:
    explicit StopWakeUp(const std::stop_token& stop)
        : fd_(stop.stop_possible() ? ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK) : -1),
          callback_(stop, [fd = fd_.get()] {
              if (fd >= 0) {
                  const uint64_t one = 1;
                  [[maybe_unused]] const auto written = ::write(fd, &one, sizeof one);
              }
          }) {}

    int descriptor() const { return fd_.get(); }

  private:
    UniqueFd fd_;
    std::stop_callback<std::function<void()>> callback_;
};

} // namespace

Result<ChildProcessResult, LaunchError> runChildProcess(const ChildProcessRequest& request,
                                                        std::stop_token stop) {
    auto spawned = spawnChild(
        SpawnRequest{request.executable, request.arguments, request.environment, true, request.errorOutput});
    if (!spawned) {
        return Failure(spawned.error());
    }
    Child& child = *spawned->child;
    UniqueFd output = std::move(spawned->output);
    ::fcntl(output.get(), F_SETFL, ::fcntl(output.get(), F_GETFL) | O_NONBLOCK);

    ChildProcessResult result;
    std::optional<Clock::time_point> timeoutAt;
    if (request.timeout) {
        timeoutAt = Clock::now() + *request.timeout;
    }
    std::optional<Clock::time_point> killAt;
    bool ending = false;
    const StopWakeUp stopWakeUp(stop);
    while (output || !child.isReaped()) {
        std::array<pollfd, 3> fds{};
        nfds_t count = 0;
        if (!ending && stopWakeUp.descriptor() >= 0) {
            fds[count++] = pollfd{stopWakeUp.descriptor(), POLLIN, 0};
        }
        if (output) {
            fds[count++] = pollfd{output.get(), POLLIN, 0};
        }
        if (!child.isReaped()) {
            fds[count++] = pollfd{child.exitDescriptor(), POLLIN, 0};
        }
        if (::poll(fds.data(), count, pollTimeoutUntil(killAt ? killAt : timeoutAt)) < 0 && errno != EINTR) {
            break;
        }
        if (output && !readAvailable(output.get(), result.output)) {
            output.reset();
        }
        child.tryReap();
        const auto now = Clock::now();
        const bool stopsNow = !ending && stop.stop_requested();
        const bool timesOutNow = !ending && timeoutAt && now >= *timeoutAt;
        if (stopsNow || timesOutNow) {
            ending = true;
            result.stopped = stopsNow;
            result.timedOut = timesOutNow;
            timeoutAt.reset();
            output.reset(); // what a child past its time, or no longer wanted, prints is of no use
            if (child.signalGroup(SIGTERM)) {
                killAt = now + killGrace;
            }
        }
        if (killAt && now >= *killAt) {
            killAt.reset();
            child.signalGroup(SIGKILL);
        }
    }
    result.termination = terminationFromWaitStatus(child.waitForExit());
    return result;
}

} // namespace tunnelkit
