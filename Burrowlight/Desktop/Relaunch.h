#pragma once

#include <QString>
#include <expected>
#include <functional>
#include <sys/types.h>

namespace burrowlight {

// Asks to be opened again once this process has quit (a new language takes effect at start), then
// asks to quit through `requestTermination`, which answers true when the quit was cancelled. When
// it was, the request goes with it. False when it was cancelled.
bool relaunch(const std::function<bool()>& requestTermination);
bool relaunchRequested();

// Part of quitting, once the tunnels are down: when a relaunch was asked for, leaves behind a
// shell that waits for this process to end (at most 30 s) and starts the same executable again.
// A failure is logged; the quit goes on.
void relaunchIfAsked();

// The shell's script: $0 is the executable, $1 the process to wait for.
inline constexpr const char* relaunchScript =
    "i=0; while kill -0 \"$1\" 2>/dev/null && [ $i -lt 150 ]; do /bin/sleep 0.2; i=$((i+1)); done; "
    "exec \"$0\"";

// Starts that shell for an executable and a process, in a process group of its own, with nothing
// of ours open but the standard streams. The system's reason when it cannot.
std::expected<pid_t, QString> startRelauncher(const QString& executable, pid_t waitedFor);

} // namespace burrowlight
