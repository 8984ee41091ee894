// A process running the manager, killed with SIGKILL at moments spread over its first 50 ms of
// connecting, against the tests' own sshd: whatever it left running, the next start ends.
#include "ErrorPrinting.h"
#include "LoopbackNetwork.h"
#include "Platform/LinuxProcessTable.h"
#include "SSHServerFixture.h"
#include "TempDir.h"
#include "TunnelKit/ChildProcess.h"
#include "TunnelKit/TunnelStore.h"

#include <algorithm>
#include <chrono>
#include <csignal>
#include <gtest/gtest.h>
#include <random>
#include <thread>
#include <unistd.h>

using namespace tunnelkit;
using namespace std::chrono_literals;
using testing_support::SSHClientSetup;
using testing_support::SSHServer;
using testing_support::TempDir;

namespace {

// The live ssh processes whose command line names the wrapper configuration: what a manager of
// this test started. Zombies have neither an executable nor a command line any more.
std::vector<pid_t> sshNaming(const std::string& wrapper) {
    const platform::LinuxProcessTable table;
    std::vector<pid_t> found;
    for (const pid_t pid : table.processIDs()) {
        const auto words = table.commandLine(pid);
        if (words && std::ranges::find(*words, wrapper) != words->end() &&
            table.executablePath(pid) == SSHCommandBuilder::defaultExecutable) {
            found.push_back(pid);
        }
    }
    return found;
}

bool waitUntil(const std::function<bool()>& done, std::chrono::seconds limit) {
    const auto until = std::chrono::steady_clock::now() + limit;
    while (!done() && std::chrono::steady_clock::now() < until) {
        std::this_thread::sleep_for(20ms);
    }
    return done();
}

class ManagerRuns {
  public:
    explicit ManagerRuns(const SSHClientSetup& client)
        : arguments_{folder_.path(), client.home(), client.folder() + "/ssh_config",
                     client.folder() + "/wrapper.ssh_config"} {}

    const std::string& folder() const { return folder_.path(); }
    const std::string& wrapper() const { return arguments_.back(); }

    // Starts a manager that connects at launch and kills it `delay` after it began its start.
    void connectAndKillAfter(std::chrono::microseconds delay) const {
        auto spawned = spawnChild(SpawnRequest{MANAGER_RUN_EXECUTABLE, withMode("connect"),
                                               currentEnvironment(), true, ErrorOutput::discarded});
        ASSERT_TRUE(spawned) << spawned.error();
        std::string word;
        for (char c = 0; ::read(spawned->output.get(), &c, 1) == 1 && c != '\n';) {
            word += c;
        }
        ASSERT_EQ(word, "starting");
        std::this_thread::sleep_for(delay);
        spawned->child->signal(SIGKILL);
        spawned->child->waitForExit();
    }

    // A manager's start alone, as at the application's next launch.
    void start() const {
        const auto run = runChildProcess({MANAGER_RUN_EXECUTABLE, withMode("start"), currentEnvironment(),
                                          ErrorOutput::joined, std::chrono::milliseconds(60'000)});
        ASSERT_TRUE(run) << run.error();
        EXPECT_EQ(run->termination, Termination(Exited{0})) << run->output;
    }

  private:
    std::vector<std::string> withMode(const std::string& mode) const {
        std::vector<std::string> words{mode};
        words.insert(words.end(), arguments_.begin(), arguments_.end());
        return words;
    }

    TempDir folder_;
    std::vector<std::string> arguments_;
};

} // namespace

TEST(TunnelManagerCrash, AKillDuringTheFirstMillisecondsOfConnectingLeavesNoSSHTheNextStartKeeps) {
    SSHServer server;
    ASSERT_TRUE(server.isRunning());
    SSHClientSetup client{server};
    ManagerRuns runs{client};
    auto tunnel =
        client.tunnel({Forward::make(Uuid::random(), Forward::Kind::local, true,
                                     Endpoint::tcp("127.0.0.1", testing_support::freeLoopbackPort()),
                                     Endpoint::tcp("127.0.0.1", server.port()), "")});
    tunnel.connectsAtLaunch = true;
    ASSERT_TRUE(TunnelStore(runs.folder() + "/tunnels.json").save({tunnel}));

    std::mt19937 random(7);
    std::uniform_int_distribution<int> moment(0, 50'000);
    int roundsThatLeftAnSSH = 0;
    for (int round = 0; round < 30; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        runs.connectAndKillAfter(std::chrono::microseconds(moment(random)));
        roundsThatLeftAnSSH += !sshNaming(runs.wrapper()).empty();

        runs.start();
        const bool ended = waitUntil([&] { return sshNaming(runs.wrapper()).empty(); }, 30s);
        EXPECT_TRUE(ended) << "an ssh of the killed run outlived the next start";
        if (!ended) {
            for (const pid_t pid : sshNaming(runs.wrapper())) {
                ::kill(pid, SIGKILL);
            }
        }
    }
    EXPECT_EQ(readFile(runs.folder() + "/ssh-processes.json").value_or(""), "[]");
    ::testing::Test::RecordProperty("roundsThatLeftAnSSH", roundsThatLeftAnSSH);
}
