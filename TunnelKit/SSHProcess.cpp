#include "TunnelKit/SSHProcess.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <optional>
#include <poll.h>
#include <sys/eventfd.h>
#include <system_error>
#include <thread>
#include <unistd.h>

namespace tunnelkit {

namespace {

using Clock = std::chrono::steady_clock;

std::optional<Clock::time_point> earliest(std::optional<Clock::time_point> a,
                                          std::optional<Clock::time_point> b) {
    if (!a) {
        return b;
    }
    if (!b) {
        return a;
    }
    return std::min(*a, *b);
}

} // namespace

struct SSHProcess::Watch {
    std::shared_ptr<Child> child;
    std::shared_ptr<MainQueue> mainQueue;
    std::shared_ptr<const SSHProcessEvents> events;

    // Shared with terminate(), which may run on any thread.
    std::mutex wakeMutex;
    UniqueFd wake; // an eventfd, closed once the watching has ended
    std::optional<Clock::time_point> killAt;

    // Touched by the watching thread only.
    UniqueFd output;
    std::string pending;
    size_t scanned = 0;             // leading bytes of `pending` known to hold no line feed
    std::vector<std::string> lines; // cut since the last hand-over to the main queue
    std::optional<Clock::time_point> forcedCloseAt;

    static void watch(std::shared_ptr<Watch> self) { self->run(); }

    void run() {
        std::array<char, 16384> buffer;
        while (output || !child->isReaped()) {
            waitForEvents(buffer);
        }
        {
            std::lock_guard lock(wakeMutex);
            wake.reset();
            killAt.reset();
        }
        const auto termination = terminationFromWaitStatus(child->tryReap().value_or(0));
        mainQueue->post([events = events, termination] {
            if (const auto owner = events->owner.lock(); owner && events->onExit) {
                events->onExit(termination);
            }
        });
    }

    void waitForEvents(std::array<char, 16384>& buffer) {
        std::array<pollfd, 3> fds{};
        size_t count = 0;
        const auto add = [&](int fd) -> pollfd* {
            fds[count] = pollfd{fd, POLLIN, 0};
            return fd >= 0 ? &fds[count++] : nullptr;
        };
        pollfd* outputEvent = output ? add(output.get()) : nullptr;
        pollfd* exitEvent = child->isReaped() ? nullptr : add(child->exitDescriptor());
        pollfd* wakeEvent = add(wake.get());

        std::optional<Clock::time_point> killDeadline;
        {
            std::lock_guard lock(wakeMutex);
            killDeadline = killAt;
        }
        const auto deadline =
            earliest(output ? forcedCloseAt : std::nullopt, exitEvent ? killDeadline : std::nullopt);
        if (::poll(fds.data(), count, pollTimeoutUntil(deadline)) < 0) {
            return; // EINTR: look again
        }
        if (wakeEvent && wakeEvent->revents != 0) {
            eventfd_t ignored = 0;
            ::eventfd_read(wake.get(), &ignored);
        }
        if (outputEvent && outputEvent->revents != 0) {
            readAvailable(buffer);
        }
        if (exitEvent && exitEvent->revents != 0 && child->tryReap()) {
            // A descendant may keep the pipe open long after the child itself has gone.
            forcedCloseAt = Clock::now() + outputGraceAfterExit;
        }
        handleDeadlines(Clock::now(), killDeadline);
        handOverLines();
    }

    // One job on the main queue for all the lines of one wake-up, not one per line.
    void handOverLines() {
        if (lines.empty()) {
            return;
        }
        mainQueue->post([events = events, batch = std::exchange(lines, {})] {
            const auto owner = events->owner.lock();
            if (!owner || !events->onLine) {
                return;
            }
            for (const auto& line : batch) {
                events->onLine(line);
            }
        });
    }

    void handleDeadlines(Clock::time_point now, std::optional<Clock::time_point> killDeadline) {
        if (output && forcedCloseAt && now >= *forcedCloseAt) {
            closeOutput();
        }
        if (killDeadline && now >= *killDeadline) {
            {
                std::lock_guard lock(wakeMutex);
                killAt.reset();
            }
            child->signalGroup(SIGKILL); // refused once the child has been reaped
        }
    }

    void readAvailable(std::array<char, 16384>& buffer) {
        while (true) {
            const auto n = ::read(output.get(), buffer.data(), buffer.size());
            if (n > 0) {
                appendAndCut(std::string_view(buffer.data(), static_cast<size_t>(n)));
                continue;
            }
            if (n < 0 && (errno == EAGAIN || errno == EINTR)) {
                return;
            }
            closeOutput(); // end of file, or a read error, which counts as one
            return;
        }
    }

    void appendAndCut(std::string_view bytes) {
        pending.append(bytes);
        size_t start = 0;
        for (auto feed = pending.find('\n', scanned); feed != std::string::npos;
             feed = pending.find('\n', start)) {
            deliver(std::string_view(pending).substr(start, feed - start));
            start = feed + 1;
        }
        pending.erase(0, start);
        scanned = pending.size();
    }

    void closeOutput() {
        if (!pending.empty()) {
            deliver(pending);
            pending.clear();
            scanned = 0;
        }
        output.reset();
    }

    void deliver(std::string_view bytes) {
        auto line = decodeUTF8(bytes);
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (!line.empty()) {
            lines.push_back(std::move(line));
        }
    }
};

Result<SSHProcess, LaunchError> SSHProcess::launch(const std::string& executable,
                                                   std::vector<std::string> arguments,
                                                   const Environment& environment,
                                                   std::shared_ptr<MainQueue> mainQueue,
                                                   SSHProcessEvents events) {
    UniqueFd wake(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK));
    if (!wake) {
        return Failure(LaunchError{errno});
    }
    auto spawned =
        spawnChild(SpawnRequest{executable, std::move(arguments), environment, true, ErrorOutput::joined});
    if (!spawned) {
        return Failure(spawned.error());
    }
    const int flags = ::fcntl(spawned->output.get(), F_GETFL);
    ::fcntl(spawned->output.get(), F_SETFL, flags | O_NONBLOCK);

    auto watch = std::make_shared<Watch>();
    watch->child = spawned->child;
    watch->mainQueue = std::move(mainQueue);
    watch->events = std::make_shared<const SSHProcessEvents>(std::move(events));
    watch->wake = std::move(wake);
    watch->output = std::move(spawned->output);
    const pid_t pid = watch->child->pid();
    try {
        std::thread(&Watch::watch, watch).detach();
    } catch (const std::system_error& error) {
        watch->child->signalGroup(SIGKILL);
        watch->child->waitForExit();
        return Failure(LaunchError{error.code().value()});
    }
    return SSHProcess(pid, std::move(watch));
}

void SSHProcess::terminate(Grace grace) const {
    watch_->child->signalGroup(SIGTERM);
    const auto clamped = std::clamp(grace, Grace(0), Grace(std::chrono::hours(24)));
    const auto deadline = Clock::now() + std::chrono::duration_cast<Clock::duration>(clamped);
    std::lock_guard lock(watch_->wakeMutex);
    if (!watch_->wake) {
        return; // the watching has ended: the child has been reaped
    }
    watch_->killAt = earliest(watch_->killAt, deadline);
    ::eventfd_write(watch_->wake.get(), 1);
}

UniqueFd SSHProcess::exitDescriptor() const {
    return watch_->child->duplicateExitDescriptor();
}

void SSHProcess::killGroup() const {
    watch_->child->signalGroup(SIGKILL);
}

} // namespace tunnelkit
