#include "Burrowlight/Desktop/Relaunch.h"

#include "Burrowlight/Desktop/AppLog.h"
#include "Platform/LinuxProcessTable.h"
#include "TunnelKit/Spawn.h"

#include <cstring>
#include <unistd.h>

namespace burrowlight {

namespace {

bool relaunchAsked = false;

} // namespace

bool relaunch(const std::function<bool()>& requestTermination) {
    AppLog::app().write(QStringLiteral("Relaunch asked"));
    relaunchAsked = true;
    const bool cancelled = requestTermination();
    if (cancelled) {
        relaunchAsked = false;
    }
    return !cancelled;
}

bool relaunchRequested() {
    return relaunchAsked;
}

std::expected<pid_t, QString> startRelauncher(const QString& executable, pid_t waitedFor) {
    // Its own group, so that a signal to ours (a terminal's Ctrl-C) does not reach it; our standard
    // streams, so that the relaunched program writes where this one did.
    tunnelkit::SpawnRequest request;
    request.executable = "/bin/sh";
    request.arguments = {"-c", relaunchScript, executable.toLocal8Bit().toStdString(),
                         std::to_string(waitedFor)};
    request.environment = tunnelkit::currentEnvironment();
    request.newProcessGroup = true;
    request.inheritsStandardStreams = true;
    auto spawned = tunnelkit::spawnChild(request);
    if (!spawned) {
        return std::unexpected(QString::fromLocal8Bit(std::strerror(spawned.error().code)));
    }
    // Left unreaped: it outlives this process, which is its parent only until then.
    return spawned->child->pid();
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
