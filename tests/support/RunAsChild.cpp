// Preloaded (LD_PRELOAD) into an unmodified executable, this makes that executable's process the
// parent of a command: it runs the process's own arguments as a child, waits for it, and ends with
// its status before the executable's main ever runs. Tests use it to start ssh under a process
// that really is the burrowlight executable, as the application itself would, without any hook in
// the program. It acts only when BURROWLIGHT_TEST_RUN_AS_CHILD is set, and removes that variable
// and LD_PRELOAD before it starts the child, so nothing further down is touched.
#include <cerrno>
#include <cstdlib>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

constexpr const char* triggerKey = "BURROWLIGHT_TEST_RUN_AS_CHILD";

[[gnu::constructor]] void runArgumentsAsChild(int argc, char** argv, char**) {
    if (!std::getenv(triggerKey)) {
        return;
    }
    ::unsetenv(triggerKey);
    ::unsetenv("LD_PRELOAD");
    if (argc < 2) {
        ::_exit(127);
    }
    pid_t child = 0;
    if (::posix_spawn(&child, argv[1], nullptr, nullptr, argv + 1, environ) != 0) {
        ::_exit(127);
    }
    int status = 0;
    while (::waitpid(child, &status, 0) < 0) {
        if (errno != EINTR) {
            ::_exit(127);
        }
    }
    ::_exit(WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status));
}

} // namespace
