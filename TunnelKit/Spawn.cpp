#include "TunnelKit/Spawn.h"

#include "TunnelKit/Text.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace tunnelkit {

namespace {

// A null-terminated array of C strings that owns its strings.
class CStringArray {
  public:
    explicit CStringArray(std::vector<std::string> strings) : strings_(std::move(strings)) {
        for (auto& string : strings_) {
            pointers_.push_back(string.data());
        }
        pointers_.push_back(nullptr);
    }
    char* const* data() const { return pointers_.data(); }

  private:
    std::vector<std::string> strings_;
    std::vector<char*> pointers_;
};

class FileActions {
  public:
    FileActions() { ::posix_spawn_file_actions_init(&actions_); }
    ~FileActions() { ::posix_spawn_file_actions_destroy(&actions_); }
    FileActions(const FileActions&) = delete;
    FileActions& operator=(const FileActions&) = delete;
    posix_spawn_file_actions_t* get() { return &actions_; }

  private:
    posix_spawn_file_actions_t actions_;
};

class SpawnAttributes {
  public:
    SpawnAttributes() { ::posix_spawnattr_init(&attributes_); }
    ~SpawnAttributes() { ::posix_spawnattr_destroy(&attributes_); }
    SpawnAttributes(const SpawnAttributes&) = delete;
    SpawnAttributes& operator=(const SpawnAttributes&) = delete;
    posix_spawnattr_t* get() { return &attributes_; }

  private:
    posix_spawnattr_t attributes_;
};

int prepareFileActions(FileActions& actions, int outputWriteEnd, ErrorOutput errorOutput) {
    if (const int rc = ::posix_spawn_file_actions_addopen(actions.get(), 0, "/dev/null", O_RDONLY, 0);
        rc != 0) {
        return rc;
    }
    if (const int rc = ::posix_spawn_file_actions_adddup2(actions.get(), outputWriteEnd, 1); rc != 0) {
        return rc;
    }
    const int rc = errorOutput == ErrorOutput::joined
                       ? ::posix_spawn_file_actions_adddup2(actions.get(), outputWriteEnd, 2)
                       : ::posix_spawn_file_actions_addopen(actions.get(), 2, "/dev/null", O_WRONLY, 0);
    if (rc != 0) {
        return rc;
    }
    // Whatever the parent has open, pipes of other children included, stays out of the child.
    return ::posix_spawn_file_actions_addclosefrom_np(actions.get(), 3);
}

int prepareAttributes(SpawnAttributes& attributes, bool newProcessGroup) {
    sigset_t all;
    sigset_t none;
    ::sigfillset(&all);
    ::sigemptyset(&none);
    short flags = POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK;
    if (newProcessGroup) {
        flags |= POSIX_SPAWN_SETPGROUP;
        if (const int rc = ::posix_spawnattr_setpgroup(attributes.get(), 0); rc != 0) {
            return rc;
        }
    }
    if (const int rc = ::posix_spawnattr_setsigdefault(attributes.get(), &all); rc != 0) {
        return rc;
    }
    if (const int rc = ::posix_spawnattr_setsigmask(attributes.get(), &none); rc != 0) {
        return rc;
    }
    return ::posix_spawnattr_setflags(attributes.get(), flags);
}

CStringArray argumentVector(const SpawnRequest& request) {
    std::vector<std::string> arguments{request.executable};
    arguments.insert(arguments.end(), request.arguments.begin(), request.arguments.end());
    return CStringArray(std::move(arguments));
}

CStringArray environmentVector(const Environment& environment) {
    std::vector<std::string> entries;
    entries.reserve(environment.size());
    for (const auto& [key, value] : environment) {
        entries.push_back(key + "=" + value);
    }
    return CStringArray(std::move(entries));
}

} // namespace

Environment currentEnvironment() {
    Environment environment;
    for (char** entry = environ; entry && *entry; ++entry) {
        const std::string_view text(*entry);
        const auto equals = text.find('=');
        if (equals != std::string_view::npos) {
            environment.emplace(std::string(text.substr(0, equals)), std::string(text.substr(equals + 1)));
        }
    }
    return environment;
}

int pollTimeoutUntil(std::optional<std::chrono::steady_clock::time_point> deadline) {
    if (!deadline) {
        return -1;
    }
    const auto left =
        std::chrono::ceil<std::chrono::milliseconds>(*deadline - std::chrono::steady_clock::now()).count();
    return static_cast<int>(std::clamp<decltype(left)>(left, 0, 60'000));
}

std::string decodeUTF8(std::string_view bytes) {
    if (text::isWellFormedUTF8(bytes)) {
        return std::string(bytes); // nearly every line ssh prints
    }
    return text::fromCodePoints(text::toCodePoints(bytes));
}

Termination terminationFromWaitStatus(int waitStatus) {
    if ((waitStatus & 0x7f) != 0) {
        return Signaled{waitStatus & 0x7f};
    }
    return Exited{(waitStatus >> 8) & 0xff};
}

Child::~Child() {
    if (!isReaped()) {
        tryReap();
    }
}

int Child::exitDescriptor() const {
    std::lock_guard lock(mutex_);
    return pidfd_.get();
}

UniqueFd Child::duplicateExitDescriptor() const {
    std::lock_guard lock(mutex_);
    if (!pidfd_) {
        return {};
    }
    return UniqueFd(::fcntl(pidfd_.get(), F_DUPFD_CLOEXEC, 0));
}

bool Child::signal(int signalNumber) {
    return send(signalNumber, false);
}

bool Child::signalGroup(int signalNumber) {
    return send(signalNumber, true);
}

bool Child::send(int signalNumber, bool toGroup) {
    // The lock keeps reaping out until the signal is sent, so it can never reach a reused pid.
    std::lock_guard lock(mutex_);
    if (waitStatus_) {
        return false;
    }
    return (toGroup ? ::killpg(pid_, signalNumber) : ::kill(pid_, signalNumber)) == 0;
}

std::optional<int> Child::tryReap() {
    std::lock_guard lock(mutex_);
    if (waitStatus_) {
        return waitStatus_;
    }
    int status = 0;
    pid_t reaped = -1;
    do {
        reaped = ::waitpid(pid_, &status, WNOHANG);
    } while (reaped < 0 && errno == EINTR);
    if (reaped == pid_) {
        waitStatus_ = status;
    } else if (reaped < 0 && errno == ECHILD) {
        // Someone else reaped it (a stray waitpid(-1) elsewhere); its status is lost.
        waitStatus_ = 255 << 8;
    } else {
        return std::nullopt;
    }
    pidfd_.reset();
    return waitStatus_;
}

int Child::waitForExit() {
    while (true) {
        if (const auto status = tryReap()) {
            return *status;
        }
        // Waits without reaping, so that reaping stays under the lock.
        siginfo_t info{};
        if (::waitid(P_PID, static_cast<id_t>(pid_), &info, WEXITED | WNOWAIT) < 0 && errno != EINTR &&
            errno != ECHILD) {
            return tryReap().value_or(255 << 8);
        }
    }
}

bool Child::isReaped() const {
    std::lock_guard lock(mutex_);
    return waitStatus_.has_value();
}

Result<SpawnedChild, LaunchError> spawnChild(const SpawnRequest& request) {
    UniqueFd readEnd;
    UniqueFd writeEnd;
    if (!request.inheritsStandardStreams) {
        int ends[2];
        if (::pipe2(ends, O_CLOEXEC) != 0) {
            return Failure(LaunchError{errno});
        }
        readEnd = UniqueFd(ends[0]);
        writeEnd = UniqueFd(ends[1]);
    }

    FileActions actions;
    SpawnAttributes attributes;
    const int prepared = request.inheritsStandardStreams
                             ? ::posix_spawn_file_actions_addclosefrom_np(actions.get(), 3)
                             : prepareFileActions(actions, writeEnd.get(), request.errorOutput);
    if (prepared != 0) {
        return Failure(LaunchError{prepared});
    }
    if (const int rc = prepareAttributes(attributes, request.newProcessGroup); rc != 0) {
        return Failure(LaunchError{rc});
    }
    const auto argv = argumentVector(request);
    const auto envp = environmentVector(request.environment);

    pid_t pid = -1;
    const int rc = ::posix_spawn(&pid, request.executable.c_str(), actions.get(), attributes.get(),
                                 argv.data(), envp.data());
    writeEnd.reset();
    if (rc != 0) {
        return Failure(LaunchError{rc});
    }

    // The child is unreaped, so its pid cannot have been reused yet.
    UniqueFd pidfd(static_cast<int>(::syscall(SYS_pidfd_open, pid, 0)));
    if (!pidfd) {
        const int code = errno;
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
        return Failure(LaunchError{code});
    }
    return SpawnedChild{std::make_shared<Child>(pid, std::move(pidfd)), std::move(readEnd)};
}

} // namespace tunnelkit
