#include "Burrowlight/Core/Relaunch.h"

#include "Burrowlight/Core/AppTermination.h"
#include "Burrowlight/Desktop/AppLog.h"
#include "Platform/LinuxProcessTable.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <spawn.h>
#include <unistd.h>

extern char** environ;

namespace burrowlight {

namespace {

bool relaunchAsked = false;

class SpawnFileActions {
  public:
    SpawnFileActions() { ::posix_spawn_file_actions_init(&actions_); }
    ~SpawnFileActions() { ::posix_spawn_file_actions_destroy(&actions_); }
    SpawnFileActions(const SpawnFileActions&) = delete;
    SpawnFileActions& operator=(const SpawnFileActions&) = delete;
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

QString systemReason(int code) {
    return QString::fromLocal8Bit(std::strerror(code));
}

} // namespace

bool relaunch(AppTermination& termination) {
    AppLog::app().write(QStringLiteral("Relaunch asked"));
    relaunchAsked = true;
    const bool cancelled = termination.requestTermination();
    if (cancelled) {
        relaunchAsked = false;
    }
    return !cancelled;
}

bool relaunchRequested() {
    return relaunchAsked;
}

std::expected<pid_t, QString> startRelauncher(const QString& executable, pid_t waitedFor) {
    SpawnFileActions actions;
    SpawnAttributes attributes;
    sigset_t all;
    sigset_t none;
    sigfillset(&all);
    sigemptyset(&none);
    // Its own group, so that a signal to ours (a terminal's Ctrl-C) does not reach it; default
    // signal handling and no blocked signals, whatever ours are.
    int rc = ::posix_spawn_file_actions_addclosefrom_np(actions.get(), 3);
    if (rc == 0) {
        rc = ::posix_spawnattr_setflags(attributes.get(), POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGDEF |
                                                              POSIX_SPAWN_SETSIGMASK);
    }
    if (rc == 0) {
        rc = ::posix_spawnattr_setpgroup(attributes.get(), 0);
    }
    if (rc == 0) {
        rc = ::posix_spawnattr_setsigdefault(attributes.get(), &all);
    }
    if (rc == 0) {
        rc = ::posix_spawnattr_setsigmask(attributes.get(), &none);
    }
    if (rc != 0) {
        return std::unexpected(systemReason(rc));
    }
    const QByteArray program = executable.toLocal8Bit();
    const QByteArray waited = QByteArray::number(waitedFor);
    const char* arguments[] = {"/bin/sh",          "-c",   relaunchScript, program.constData(),
                               waited.constData(), nullptr};
    pid_t pid = 0;
    rc = ::posix_spawn(&pid, "/bin/sh", actions.get(), attributes.get(), const_cast<char* const*>(arguments),
                       environ);
    if (rc != 0) {
        return std::unexpected(systemReason(rc));
    }
    return pid;
}

void relaunchIfAsked() {
    if (!relaunchAsked) {
        return;
    }
    const auto executable = platform::processes::ownExecutablePath();
    if (!executable) {
        AppLog::app().error(QStringLiteral("Relaunch failed: the executable is unknown"));
        return;
    }
    if (const auto started = startRelauncher(QString::fromStdString(*executable), ::getpid()); !started) {
        AppLog::app().error(QStringLiteral("Relaunch failed: %1").arg(started.error()));
    }
}

} // namespace burrowlight
