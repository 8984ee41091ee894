// Preloaded (LD_PRELOAD) into an unmodified executable, this makes that executable's process the
// parent of another program: before the executable's own main runs, it starts the program named by
// BURROWLIGHT_TEST_RUN_AS_CHILD with the process's own arguments, waits for it and ends the same
// way. Tests use it to run ssh under a process that really is the burrowlight executable, as the
// application itself does, without any hook in the program. It removes the variable and
// LD_PRELOAD before starting the child, so nothing further down is touched.
//
// It stays out of the way of signals meant for the child: the termination signals a connection
// sends to the process group reach both, and this process only waits for the child's end, then
// ends with the same status or by the same signal.
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

constexpr const char* programKey = "BURROWLIGHT_TEST_RUN_AS_CHILD";
constexpr int passedSignals[] = {SIGTERM, SIGINT, SIGHUP};

[[noreturn]] void endLike(int status) {
    if (WIFSIGNALED(status)) {
        ::signal(WTERMSIG(status), SIG_DFL);
        ::raise(WTERMSIG(status));
    }
    ::_exit(WIFEXITED(status) ? WEXITSTATUS(status) : 127);
}

[[gnu::constructor]] void runProgramAsChild(int argc, char** argv, char**) {
    const char* named = std::getenv(programKey);
    if (!named || argc < 1) {
        return;
    }
    const std::string program = named;
    ::unsetenv(programKey);
    ::unsetenv("LD_PRELOAD");

    sigset_t defaults;
    sigemptyset(&defaults);
    for (const int signal : passedSignals) {
        ::signal(signal, SIG_IGN);
        sigaddset(&defaults, signal);
    }
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF);

    argv[0] = const_cast<char*>(program.c_str());
    pid_t child = 0;
    const int failed = ::posix_spawn(&child, program.c_str(), nullptr, &attributes, argv, environ);
    posix_spawnattr_destroy(&attributes);
    if (failed) {
        ::_exit(127);
    }
    int status = 0;
    while (::waitpid(child, &status, 0) < 0) {
        if (errno != EINTR) {
            ::_exit(127);
        }
    }
    endLike(status);
}

} // namespace
