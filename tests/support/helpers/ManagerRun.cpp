// A process that runs a tunnel manager the way the application does, for tests that kill it at
// awkward moments. Usage:
//   ManagerRun connect|start APP_FOLDER HOME SSH_CONFIG WRAPPER_CONFIG
// Both start the manager over APP_FOLDER/tunnels.json and APP_FOLDER/ssh-processes.json. "connect"
// connects the tunnels marked for launch and runs until killed; it writes "starting" on standard
// output just before the start. "start" only starts (ending what an earlier run left) and exits.
#include "Platform/LinuxProcessTable.h"
#include "TunnelKit/TunnelManager.h"

#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

using namespace tunnelkit;

int main(int argc, char** argv) {
    if (argc != 6) {
        std::fputs("usage: ManagerRun connect|start APP_FOLDER HOME SSH_CONFIG WRAPPER_CONFIG\n", stderr);
        return 2;
    }
    const std::string_view mode = argv[1];
    const std::string folder = argv[2];
    SSHCommandBuilder builder(SSHCommandBuilder::defaultExecutable, true, argv[3]);
    builder.configFile = argv[4];
    builder.wrapperURL = argv[5];

    const auto queue = std::make_shared<RunLoopQueue>();
    auto registry = std::make_shared<ProcessRegistry>(folder + "/ssh-processes.json", builder.executable,
                                                      std::make_shared<platform::LinuxProcessTable>(), queue);
    ConnectionEnvironment environment{builder,
                                      "/bin/false",
                                      folder + "/askpass",
                                      std::move(registry),
                                      RetryPolicy{},
                                      {{"PATH", "/usr/bin:/bin"}},
                                      queue};
    const auto manager =
        TunnelManager::make(TunnelStore(folder + "/tunnels.json"), std::move(environment), nullptr, nullptr);
    if (mode != "connect") {
        manager->start(false);
        return 0;
    }
    std::fputs("starting\n", stdout);
    std::fflush(stdout);
    manager->start(true);
    queue->run();
    return 0;
}
