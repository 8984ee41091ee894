#include "Platform/NetlinkNetworkMonitor.h"

#include <algorithm>
#include <atomic>
#include <cctype>
#include <chrono>
#include <condition_variable>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/rtnetlink.h>
#include <map>
#include <optional>
#include <sched.h>
#include <set>
#include <sstream>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace platform;

namespace {

constexpr int eth0 = 2;
constexpr int eth1 = 3;
constexpr int loopback = 1;

NetworkLink runningLink(int index) {
    return {.index = index, .isUp = true, .isRunning = true, .isLoopback = false};
}

NetworkRoute defaultRoute(std::vector<int> interfaces, int family = AF_INET, uint8_t type = RTN_UNICAST,
                          uint32_t table = RT_TABLE_MAIN) {
    return {.family = family,
            .table = table,
            .type = type,
            .destinationLength = 0,
            .interfaceIndexes = std::move(interfaces)};
}

const std::vector<NetworkLink> loopbackAndEth0 = {
    {.index = loopback, .isUp = true, .isRunning = true, .isLoopback = true}, runningLink(eth0)};

} // namespace

TEST(NetworkAvailability, NeedsAUsableNonLoopbackInterfaceWithADefaultRoute) {
    EXPECT_FALSE(isNetworkAvailable({}, {}));
    EXPECT_FALSE(isNetworkAvailable(loopbackAndEth0, {})) << "up, but no route at all";
    EXPECT_FALSE(isNetworkAvailable(loopbackAndEth0, {defaultRoute({loopback})})) << "only the loopback";

    NetworkRoute subnet = defaultRoute({eth0});
    subnet.destinationLength = 24;
    EXPECT_FALSE(isNetworkAvailable(loopbackAndEth0, {subnet})) << "a local subnet is not a default route";

    EXPECT_TRUE(isNetworkAvailable(loopbackAndEth0, {subnet, defaultRoute({eth0})}));
    EXPECT_TRUE(isNetworkAvailable(loopbackAndEth0, {defaultRoute({eth0}, AF_INET6)}))
        << "IPv6 alone is enough";
    EXPECT_FALSE(isNetworkAvailable(loopbackAndEth0, {defaultRoute({eth1})}))
        << "through an interface that is gone";
    EXPECT_FALSE(isNetworkAvailable(loopbackAndEth0, {defaultRoute({})})) << "through no interface";
}

TEST(NetworkAvailability, TheRouteInterfaceMustBeUpAndRunning) {
    const NetworkRoute route = defaultRoute({eth0});
    NetworkLink link = runningLink(eth0);
    link.isUp = false;
    link.isRunning = false;
    EXPECT_FALSE(isNetworkAvailable({link}, {route})) << "switched off";
    link.isUp = true;
    EXPECT_FALSE(isNetworkAvailable({link}, {route}))
        << "switched on, but no carrier (cable out, radio not joined)";
    link.isRunning = true;
    EXPECT_TRUE(isNetworkAvailable({link}, {route}));
    link.isLoopback = true;
    EXPECT_FALSE(isNetworkAvailable({link}, {route})) << "a loopback never reaches a server elsewhere";
}

TEST(NetworkAvailability, OnlyUnicastDefaultRoutesOfTheMainTableCount) {
    for (const uint8_t type : {RTN_BLACKHOLE, RTN_UNREACHABLE, RTN_PROHIBIT, RTN_THROW, RTN_LOCAL}) {
        EXPECT_FALSE(isNetworkAvailable(loopbackAndEth0, {defaultRoute({eth0}, AF_INET, type)})) << int(type);
        EXPECT_FALSE(isNetworkAvailable(loopbackAndEth0, {defaultRoute({eth0}, AF_INET6, type)}))
            << int(type);
    }
    EXPECT_FALSE(
        isNetworkAvailable(loopbackAndEth0, {defaultRoute({eth0}, AF_INET, RTN_UNICAST, RT_TABLE_LOCAL)}));
    EXPECT_FALSE(isNetworkAvailable(loopbackAndEth0, {defaultRoute({eth0}, AF_INET, RTN_UNICAST, 51820)}))
        << "a policy table applies only to the traffic its rules select";
    EXPECT_TRUE(isNetworkAvailable(
        loopbackAndEth0, {defaultRoute({eth0}, AF_INET, RTN_UNREACHABLE), defaultRoute({eth0}, AF_INET6)}));
}

TEST(NetworkAvailability, AnyNextHopOfAMultipathRouteWillDo) {
    NetworkLink down = runningLink(eth1);
    down.isRunning = false;
    EXPECT_TRUE(isNetworkAvailable({runningLink(eth0), down}, {defaultRoute({eth1, eth0})}));
    EXPECT_FALSE(isNetworkAvailable({down}, {defaultRoute({eth1, eth0})}));
}

namespace {

std::optional<std::string> ipTool() {
    for (const char* path : {"/usr/sbin/ip", "/sbin/ip", "/usr/bin/ip", "/bin/ip"}) {
        if (::access(path, X_OK) == 0) {
            return path;
        }
    }
    return std::nullopt;
}

struct CommandResult {
    int status = -1;
    std::string output;
};

CommandResult runCommand(const std::string& command) {
    CommandResult result;
    FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
    if (pipe == nullptr) {
        return result;
    }
    char chunk[4096];
    for (size_t length; (length = std::fread(chunk, 1, sizeof chunk, pipe)) > 0;) {
        result.output.append(chunk, length);
    }
    result.status = ::pclose(pipe);
    return result;
}

std::vector<std::string> words(const std::string& line) {
    std::istringstream stream(line);
    std::vector<std::string> result;
    for (std::string word; stream >> word;) {
        result.push_back(word);
    }
    return result;
}

// The interfaces of the unicast default routes `ip` lists, next hops of multipath routes included.
std::set<std::string> defaultRouteInterfaces(const std::string& listing) {
    std::set<std::string> interfaces;
    std::istringstream lines(listing);
    bool inUnicastRoute = false;
    for (std::string line; std::getline(lines, line);) {
        const bool continuation = !line.empty() && std::isspace(static_cast<unsigned char>(line[0]));
        const auto tokens = words(line);
        if (!continuation) {
            inUnicastRoute = !tokens.empty() && tokens[0] == "default";
        }
        for (size_t i = 0; inUnicastRoute && i + 1 < tokens.size(); ++i) {
            if (tokens[i] == "dev") {
                interfaces.insert(tokens[i + 1]);
            }
        }
    }
    return interfaces;
}

struct ToolLink {
    int index = 0;
    bool usable = false;
};

// From `ip -o link show`: "2: eth0: <BROADCAST,UP,LOWER_UP> mtu 1500 ... state UP ...". The kernel sets
// IFF_RUNNING exactly when the operational state is UP or UNKNOWN.
std::map<std::string, ToolLink> toolLinks(const std::string& listing) {
    std::map<std::string, ToolLink> links;
    std::istringstream lines(listing);
    for (std::string line; std::getline(lines, line);) {
        const auto tokens = words(line);
        if (tokens.size() < 3) {
            continue;
        }
        std::string name = tokens[1].substr(0, tokens[1].find_first_of("@:"));
        const std::string flags = "," + tokens[2].substr(1, tokens[2].size() - 2) + ",";
        std::string state;
        for (size_t i = 0; i + 1 < tokens.size(); ++i) {
            if (tokens[i] == "state") {
                state = tokens[i + 1];
            }
        }
        const bool usable = flags.find(",UP,") != std::string::npos &&
                            flags.find(",LOOPBACK,") == std::string::npos &&
                            (state == "UP" || state == "UNKNOWN");
        links[name] = ToolLink{std::stoi(tokens[0]), usable};
    }
    return links;
}

} // namespace

TEST(NetworkAvailability, ThisMachineAgreesWithTheIpTool) {
    const auto ip = ipTool();
    if (!ip) {
        GTEST_SKIP() << "iproute2 is not installed";
    }
    const auto linkListing = runCommand(*ip + " -o link show");
    const auto routes4 = runCommand(*ip + " -4 route show default");
    const auto routes6 = runCommand(*ip + " -6 route show default");
    ASSERT_EQ(linkListing.status, 0) << linkListing.output;
    ASSERT_EQ(routes4.status, 0) << routes4.output;

    const auto links = toolLinks(linkListing.output);
    std::set<std::string> routeInterfaces = defaultRouteInterfaces(routes4.output);
    if (routes6.status == 0) {
        routeInterfaces.merge(defaultRouteInterfaces(routes6.output));
    }
    const bool expected = std::ranges::any_of(routeInterfaces, [&](const std::string& name) {
        return links.contains(name) && links.at(name).usable;
    });

    const auto state = readNetworkState();
    ASSERT_TRUE(state) << state.error().message();
    std::set<int> toolIndexes, ourIndexes;
    for (const auto& [name, link] : links) {
        toolIndexes.insert(link.index);
    }
    for (const auto& link : state->links) {
        ourIndexes.insert(link.index);
    }
    EXPECT_EQ(ourIndexes, toolIndexes);

    const auto available = currentNetworkAvailable();
    ASSERT_TRUE(available) << available.error().message();
    EXPECT_EQ(*available, expected) << routes4.output << routes6.output << linkListing.output;
}

namespace {

// Collects the monitor's reports, which arrive on its own thread.
class Reports {
  public:
    tunnelkit::NetworkMonitor::UpdateHandler handler() {
        return [this](bool available) {
            std::lock_guard lock(mutex_);
            values_.push_back(available);
            arrived_.notify_all();
        };
    }

    // The report numbered `count` (from 1), once it arrived; a generous bound keeps a broken monitor from
    // hanging.
    std::optional<bool> waitFor(size_t count) {
        std::unique_lock lock(mutex_);
        if (!arrived_.wait_for(lock, std::chrono::seconds(30), [&] { return values_.size() >= count; })) {
            return std::nullopt;
        }
        return values_[count - 1];
    }

    std::vector<bool> values() {
        std::lock_guard lock(mutex_);
        return values_;
    }

  private:
    std::mutex mutex_;
    std::condition_variable arrived_;
    std::vector<bool> values_;
};

} // namespace

TEST(NetlinkNetworkMonitor, FirstReportIsTheCurrentStateAndNothingFollowsCancel) {
    const auto current = currentNetworkAvailable();
    ASSERT_TRUE(current);
    Reports reports;
    NetlinkNetworkMonitor monitor;
    monitor.start(reports.handler());
    EXPECT_EQ(reports.waitFor(1), *current);
    monitor.cancel();
    const auto afterCancel = reports.values();
    monitor.cancel();
    EXPECT_EQ(reports.values(), afterCancel);
}

TEST(NetlinkNetworkMonitor, CanBeCancelledFromItsOwnHandlerAndRightAfterStart) {
    std::atomic<int> calls = 0;
    {
        std::mutex started;
        std::condition_variable reported;
        NetlinkNetworkMonitor monitor;
        monitor.start([&](bool) {
            monitor.cancel();
            std::lock_guard lock(started);
            ++calls;
            reported.notify_all();
        });
        std::unique_lock lock(started);
        ASSERT_TRUE(reported.wait_for(lock, std::chrono::seconds(30), [&] { return calls > 0; }));
    }
    EXPECT_EQ(calls, 1);

    NetlinkNetworkMonitor unstarted;
    unstarted.cancel();
    NetlinkNetworkMonitor quick;
    quick.start([](bool) {});
    quick.cancel();
}

namespace {

constexpr int skippedExit = 77;

struct ScenarioOutcome {
    bool skipped = false;
    std::string failure;
};

// A file of /proc/sys/net, which belongs to the network namespace of the process that opens it.
bool writeSetting(const char* path, const char* value) {
    FILE* file = std::fopen(path, "w");
    if (file == nullptr) {
        return false;
    }
    const bool written = std::fputs(value, file) >= 0;
    return std::fclose(file) == 0 && written;
}

// Runs in a child that has a network namespace of its own: nothing here touches the host's interfaces.
ScenarioOutcome followChangesInThisNamespace(const std::string& ip) {
    const auto run = [&](const std::string& arguments) { return runCommand(ip + " " + arguments); };
    const auto failed = [&](const std::string& what, const CommandResult& result) {
        return ScenarioOutcome{false, what + ": " + result.output};
    };

    Reports reports;
    NetlinkNetworkMonitor monitor;
    monitor.start(reports.handler());
    if (reports.waitFor(1) != false) {
        return {false, "a fresh namespace, with only its loopback down, has no network"};
    }

    // Without IPv6 on the pair, carrier changes bring no IPv6 route messages, so only link messages can tell.
    const bool hasIPv6 = writeSetting("/proc/sys/net/ipv6/conf/default/disable_ipv6", "1");
    for (const char* step :
         {"link set lo up", "route add default dev lo metric 30", "route add blackhole default metric 20"}) {
        if (const auto result = run(step); result.status != 0) {
            return failed(step, result);
        }
    }
    if (const auto result = run("link add bl0 type veth peer name bl1"); result.status != 0) {
        return {true, "cannot create a veth pair here: " + result.output};
    }
    for (const char* step : {"link set bl0 up", "route add default dev bl0 metric 10"}) {
        if (const auto result = run(step); result.status != 0) {
            return failed(step, result);
        }
    }
    if (currentNetworkAvailable() != false) {
        return {false, "a default route through an interface without carrier, the loopback or a blackhole is "
                       "no network"};
    }

    std::vector<std::pair<std::string, bool>> steps = {
        {"link set bl1 up", true}, // the peer gives bl0 its carrier
        {"link set bl1 down", false},
        {"link set bl1 up", true},
        {"route del default dev bl0 metric 10", false},
    };
    if (hasIPv6) {
        steps.push_back({"-6 route add default dev bl0 metric 10", true});
        steps.push_back({"-6 route del default dev bl0 metric 10", false});
    }
    std::vector<bool> expected = {false};
    for (const auto& [arguments, available] : steps) {
        if (arguments.starts_with("-6") && !writeSetting("/proc/sys/net/ipv6/conf/bl0/disable_ipv6", "0")) {
            return {false, "cannot switch IPv6 on for bl0"};
        }
        if (const auto result = run(arguments); result.status != 0) {
            return failed(arguments, result);
        }
        expected.push_back(available);
        const auto report = reports.waitFor(expected.size());
        if (report != available) {
            return {false, "after `ip " + arguments + "` the report was " +
                               (report ? (*report ? "available" : "unavailable") : "missing")};
        }
    }
    monitor.cancel();
    if (reports.values() != expected) {
        return {false, "a report came that was no change"};
    }
    return {};
}

} // namespace

TEST(NetlinkNetworkMonitor, FollowsLinksAndRoutesInAPrivateNetworkNamespace) {
    const auto ip = ipTool();
    if (!ip) {
        GTEST_SKIP() << "iproute2 is not installed";
    }
    int channel[2];
    ASSERT_EQ(::pipe2(channel, O_CLOEXEC), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::close(channel[0]);
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        ScenarioOutcome outcome;
        // Nothing may run before the namespace is our own, or it would act on the host's network.
        if (::unshare(CLONE_NEWNET) != 0) {
            outcome = {true, std::string("unshare(CLONE_NEWNET): ") + std::strerror(errno)};
        } else {
            outcome = followChangesInThisNamespace(*ip);
        }
        [[maybe_unused]] const auto written =
            ::write(channel[1], outcome.failure.data(), outcome.failure.size());
        ::_exit(outcome.skipped ? skippedExit : (outcome.failure.empty() ? 0 : 1));
    }
    ::close(channel[1]);
    std::string message;
    char chunk[1024];
    for (ssize_t length; (length = ::read(channel[0], chunk, sizeof chunk)) > 0;) {
        message.append(chunk, static_cast<size_t>(length));
    }
    ::close(channel[0]);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status)) << "the child ended by signal " << WTERMSIG(status);
    if (WEXITSTATUS(status) == skippedExit) {
        GTEST_SKIP() << message;
    }
    EXPECT_EQ(WEXITSTATUS(status), 0) << message;
}
