// What quitting the application costs beside the plain system work it stands for, with 50 tunnels
// connected to the bench's own sshd, each with a local forward, measured side by side:
// - bare: the 50 ssh of those tunnels started alone, SIGTERM to each process group, then each reaped;
// - application: the burrowlight executable with the same tunnels connected at launch, SIGTERM, then
//   the application reaped (its shutdown ends and reaps its ssh first).
// Run it on buses of its own: tests/support/with-private-buses.sh BurrowlightQuitBench
#include "LoopbackNetwork.h"
#include "SSHServerFixture.h"
#include "TestFailure.h"
#include "TunnelKit/ChildProcess.h"
#include "TunnelKit/FileIO.h"
#include "TunnelKit/ProcessRegistry.h"
#include "TunnelKit/Spawn.h"
#include "TunnelKit/TunnelStore.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <optional>
#include <poll.h>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

using namespace tunnelkit;
using namespace std::chrono_literals;
using testing_support::SSHClientSetup;
using testing_support::SSHServer;

namespace {

constexpr int tunnelCount = 50;
constexpr const char* bundleIdentifier = "com.tolvan.burrowlight";

bool waitUntil(const std::function<bool()>& done, std::chrono::seconds limit) {
    const auto until = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > until) {
            return false;
        }
        std::this_thread::sleep_for(20ms);
    }
    return true;
}

// The tests' sshd with its client side, and 50 tunnels to it that trust it alone.
struct Servers {
    SSHServer server;
    SSHClientSetup client{server};

    std::vector<Tunnel> tunnels(const std::vector<int>& ports) const {
        std::vector<Tunnel> made;
        for (const int port : ports) {
            auto tunnel = client.tunnel(
                {Forward::make(Uuid::random(), Forward::Kind::local, true, Endpoint::tcp("127.0.0.1", port),
                               Endpoint::tcp("127.0.0.1", 9), "")});
            tunnel.name = "tunnel " + std::to_string(port);
            tunnel.connectsAtLaunch = true;
            tunnel.retryLimit = 0;
            for (const auto& [option, value] : std::vector<std::pair<std::string, std::string>>{
                     {"UserKnownHostsFile", client.knownHostsPath()},
                     {"GlobalKnownHostsFile", "/dev/null"},
                     {"StrictHostKeyChecking", "yes"},
                     {"IdentitiesOnly", "yes"},
                     {"IdentityAgent", "none"},
                     {"PasswordAuthentication", "no"},
                     {"KbdInteractiveAuthentication", "no"}}) {
                tunnel.options.push_back({Uuid::random(), option, value});
            }
            made.push_back(std::move(tunnel));
        }
        return made;
    }
};

std::vector<int> freePorts() {
    std::vector<int> ports;
    while (ports.size() < size_t(tunnelCount)) {
        ports.push_back(testing_support::freeLoopbackPort());
    }
    return ports;
}

// The tunnels the running application reports connected, as a script asks it.
int connectedCount(const Environment& environment) {
    const auto status = runChildProcess(
        {BURROWLIGHT_EXECUTABLE, {"status"}, environment, ErrorOutput::discarded, std::chrono::seconds(20)});
    if (!status) {
        return 0;
    }
    int connected = 0;
    for (size_t start = 0, end; (end = status->output.find('\n', start)) != std::string::npos;
         start = end + 1) {
        connected += std::string_view(status->output).substr(start, end - start).ends_with(": Connected");
    }
    return connected;
}

bool onPrivateBuses() {
    return std::getenv("BURROWLIGHT_PRIVATE_BUSES") != nullptr;
}

// Until every ssh has said that it entered its session, reading what they print meanwhile.
bool waitForSessions(const std::vector<SpawnedChild>& spawned, std::chrono::seconds limit) {
    std::vector<std::string> output(spawned.size());
    std::vector<bool> entered(spawned.size(), false);
    const auto until = std::chrono::steady_clock::now() + limit;
    while (std::ranges::find(entered, false) != entered.end()) {
        if (std::chrono::steady_clock::now() > until) {
            return false;
        }
        std::vector<pollfd> fds;
        for (const auto& child : spawned) {
            fds.push_back({child.output.get(), POLLIN, 0});
        }
        ::poll(fds.data(), fds.size(), 100);
        for (size_t index = 0; index < fds.size(); ++index) {
            if (entered[index] || !(fds[index].revents & (POLLIN | POLLHUP))) {
                continue;
            }
            char buffer[4096];
            const ssize_t count = ::read(fds[index].fd, buffer, sizeof buffer);
            if (count <= 0) {
                std::fprintf(stderr, "ssh ended before its session:\n%s\n", output[index].c_str());
                return false;
            }
            output[index].append(buffer, static_cast<size_t>(count));
            entered[index] = output[index].find("Entering interactive session") != std::string::npos;
        }
    }
    return true;
}

using Clock = std::chrono::steady_clock;
using Milliseconds = std::chrono::duration<double, std::milli>;

// The same 50 tunnels as bare ssh, and in the application, in a home of the buses' own.
class Quits {
  public:
    Quits() : builder_(SSHCommandBuilder::defaultExecutable, false, servers_.client.home()) {
        builder_.wrapperURL = servers_.client.folder() + "/wrapper.ssh_config";
        (void)builder_.writeWrapperConfig();
        std::filesystem::create_directories(data_);
        std::filesystem::create_directories(config_);
        (void)writeFileAtomically(config_ + "/burrowlight.conf",
                                  "[General]\ntermsAcceptedVersion=2026-11-19.2\nonboardingCompleted=true\n"
                                  "showsDockIcon=false\nusesSSHConfig=false\n");
        environment_["QT_QPA_PLATFORM"] = "offscreen";
        environment_["LANG"] = "en_US.UTF-8";
        environment_.erase("LANGUAGE");
        environment_.erase("LC_ALL");
    }

    // SIGTERM to each bare ssh's process group, then each reaped; none when they did not connect.
    std::optional<Milliseconds> bareSSH() const {
        std::vector<SpawnedChild> children;
        for (const auto& tunnel : servers_.tunnels(freePorts())) {
            auto invocation = builder_.invocation(tunnel);
            auto spawned = spawnChild(SpawnRequest{invocation->executable, invocation->arguments,
                                                   currentEnvironment(), true, ErrorOutput::joined});
            if (!spawned) {
                return std::nullopt;
            }
            children.push_back(std::move(*spawned));
        }
        if (!waitForSessions(children, 120s)) {
            return std::nullopt;
        }
        const auto start = Clock::now();
        for (const auto& spawned : children) {
            spawned.child->signalGroup(SIGTERM);
        }
        for (const auto& spawned : children) {
            spawned.child->waitForExit();
        }
        return Clock::now() - start;
    }

    // SIGTERM to the application once its tunnels are connected, then it reaped (it ends and reaps
    // its ssh first); none when they did not connect or ssh was left in the registry.
    std::optional<Milliseconds> application() const {
        (void)TunnelStore(data_ + "/tunnels.json").save(servers_.tunnels(freePorts()));
        auto spawned =
            spawnChild(SpawnRequest{BURROWLIGHT_EXECUTABLE, {}, environment_, false, ErrorOutput::discarded});
        if (!spawned) {
            return std::nullopt;
        }
        if (!waitUntil([&] { return connectedCount(environment_) == tunnelCount; }, 120s)) {
            spawned->child->signal(SIGKILL);
            spawned->child->waitForExit();
            return std::nullopt;
        }
        // Whatever the launch still had to do is done.
        std::this_thread::sleep_for(300ms);
        const auto start = Clock::now();
        spawned->child->signal(SIGTERM);
        spawned->child->waitForExit();
        const Milliseconds took = Clock::now() - start;
        const ProcessRegistry registry(data_ + "/ssh-processes.json", SSHCommandBuilder::defaultExecutable,
                                       nullptr);
        if (!registry.load().empty()) {
            return std::nullopt;
        }
        return took;
    }

  private:
    Servers servers_;
    SSHCommandBuilder builder_;
    std::string data_ = std::string(std::getenv("XDG_DATA_HOME")) + "/" + bundleIdentifier;
    std::string config_ = std::string(std::getenv("XDG_CONFIG_HOME")) + "/" + bundleIdentifier;
    Environment environment_ = currentEnvironment();
};

double median(std::vector<double> values) {
    std::ranges::sort(values);
    const size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

// Each iteration quits both ways, one after the other, so that both meet the same load; the time is
// the application's, the counters the medians and their ratio.
void BM_SigtermApplicationAgainstBareSSH50(benchmark::State& state) {
    if (!onPrivateBuses()) {
        state.SkipWithError("run through tests/support/with-private-buses.sh");
        return;
    }
    const Quits quits;
    std::vector<double> bare;
    std::vector<double> application;
    for (auto _ : state) {
        const auto bareTime = quits.bareSSH();
        const auto applicationTime = quits.application();
        if (!bareTime || !applicationTime) {
            state.SkipWithError("the tunnels did not all connect, or ssh was left behind");
            return;
        }
        bare.push_back(bareTime->count());
        application.push_back(applicationTime->count());
        state.SetIterationTime(applicationTime->count() / 1000);
    }
    state.counters["bare_ms"] = median(bare);
    state.counters["app_ms"] = median(application);
    state.counters["ratio"] = median(application) / median(bare);
}

} // namespace

namespace testing_support {

// What the sshd helpers report goes to the bench's error output.
void recordFailure(const std::string& message, std::source_location where) {
    std::fprintf(stderr, "%s:%u: %s\n", where.file_name(), where.line(), message.c_str());
}

} // namespace testing_support

BENCHMARK(BM_SigtermApplicationAgainstBareSSH50)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(15);

BENCHMARK_MAIN();
