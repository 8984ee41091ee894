// The manager's start, its group connects and disconnects, network return, wake and quitting,
// driven by a stand-in for ssh (a shell script) and a network monitor the test controls.
#include "ManagerHarness.h"
#include "TunnelKit/TunnelManager.h"

#include <cerrno>
#include <csignal>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <thread>

using namespace tunnelkit;
using namespace std::chrono_literals;
using testing_support::ManagerHarness;
using testing_support::namedTunnel;

namespace {

using Names = std::vector<std::string>;

constexpr const char* connectsAndStays = "echo 'debug1: Entering interactive session.'; exec sleep 1000";

Names namesOf(const std::vector<Tunnel>& tunnels) {
    Names names;
    for (const auto& tunnel : tunnels) {
        names.push_back(tunnel.name);
    }
    return names;
}

bool groupIsGone(pid_t group) {
    return testing_support::liveMembersOf(group).empty();
}

class TunnelManagerTest : public ::testing::Test {
  protected:
    TunnelManager& startedRunning(const std::string& body, const std::vector<Tunnel>& stored,
                                  bool connectingAtLaunch = false) {
        harness.writeTunnels(stored);
        auto& manager = harness.makeRunning(body);
        manager.start(connectingAtLaunch);
        return manager;
    }

    // The number of ssh command lines in a connection's log: one per launch.
    size_t launches(Uuid id) {
        size_t count = 0;
        for (const auto& line : harness.manager->connection(id)->log()) {
            count += line.text.starts_with("$ ");
        }
        return count;
    }

    ManagerHarness harness;
};

} // namespace

// Start

TEST_F(TunnelManagerTest, MissingFileStartsEmptyWithoutErrorsAndWritesNothing) {
    auto& manager = harness.makeRunning("exit 0");
    manager.start(true);
    EXPECT_TRUE(manager.tunnels().empty());
    EXPECT_FALSE(manager.loadError());
    EXPECT_FALSE(manager.storageError());
    EXPECT_FALSE(std::filesystem::exists(harness.tunnelsFile()));
    EXPECT_TRUE(harness.network->started);
}

TEST_F(TunnelManagerTest, UnreadableFileSetsBothErrorsToTheReadError) {
    std::filesystem::create_directories(harness.tunnelsFile()); // a folder where the file should be
    auto& manager = harness.makeRunning("exit 0");
    manager.start(false);
    EXPECT_TRUE(manager.tunnels().empty());
    ASSERT_TRUE(manager.loadError());
    EXPECT_EQ(manager.storageError(), manager.loadError());
    const auto expected = TunnelStore(harness.tunnelsFile()).load();
    ASSERT_FALSE(expected);
    EXPECT_EQ(*manager.loadError(), expected.error());
    EXPECT_EQ(*manager.loadError(), StoreError(FileError{FileError::Operation::read, harness.tunnelsFile(),
                                                         FileError::Kind::notRegularFile, 0}));
}

TEST_F(TunnelManagerTest, UndecodableFileIsLeftUntouchedByLaterSaves) {
    ASSERT_TRUE(writeFileAtomically(harness.tunnelsFile(), "{\"version\": 1}"));
    auto& manager = harness.makeRunning("exit 0");
    manager.start(false);
    ASSERT_TRUE(manager.loadError());
    EXPECT_EQ(manager.storageError(), manager.loadError());

    manager.save(namedTunnel("kept in memory"));
    EXPECT_EQ(harness.fileBytes(), "{\"version\": 1}");
    EXPECT_EQ(manager.tunnels().size(), 1u);
}

TEST_F(TunnelManagerTest, AFileWithANumberBeyondEveryDoubleIsReportedAndLeftAsItIs) {
    const std::string damaged = R"({"version":1,"tunnels":[],"x":1e400})";
    ASSERT_TRUE(writeFileAtomically(harness.tunnelsFile(), damaged));
    auto& manager = harness.makeRunning("exit 0");
    manager.start(false);
    EXPECT_EQ(manager.loadError(), StoreError(DecodingError{DecodingError::Problem::numberOutOfRange, ""}));
    manager.save(namedTunnel("kept in memory"));
    EXPECT_EQ(harness.fileBytes(), damaged);
}

TEST_F(TunnelManagerTest, AFIFOInPlaceOfTheFileIsAnErrorNotAWait) {
    std::filesystem::create_directories(std::filesystem::path(harness.tunnelsFile()).parent_path());
    ASSERT_EQ(::mkfifo(harness.tunnelsFile().c_str(), 0600), 0);
    auto& manager = harness.makeRunning("exit 0");
    manager.start(false);
    EXPECT_EQ(manager.loadError(), StoreError(FileError{FileError::Operation::read, harness.tunnelsFile(),
                                                        FileError::Kind::notRegularFile, 0}));
}

TEST_F(TunnelManagerTest, StartRemovesTheTemporariesOfInterruptedWritesOnly) {
    const auto folder = std::filesystem::path(harness.tunnelsFile()).parent_path();
    std::filesystem::create_directories(folder);
    const auto registryFolder = std::filesystem::path(harness.registry->filePath()).parent_path();
    const std::vector<std::filesystem::path> leftovers{folder / ".tunnels.json.burrowlight-partial.aB3xYz",
                                                       registryFolder /
                                                           ".ssh-processes.json.burrowlight-partial.Q1w2E3"};
    // A user's own copies, even those shaped like a temporary of another program's writer.
    const std::vector<std::filesystem::path> others{folder / ".tunnels.json.backup",
                                                    folder / ".tunnels.json.aB3xYz",
                                                    folder / ".tunnels.json.burrowlight-partial.aB3xY",
                                                    folder / "tunnels.json.burrowlight-partial.aB3xYz",
                                                    folder / ".other.json.burrowlight-partial.aB3xYz"};
    for (const auto& path : leftovers) {
        ASSERT_TRUE(writeFileAtomically(path.string(), std::string(1000, 'x')));
    }
    for (const auto& path : others) {
        ASSERT_TRUE(writeFileAtomically(path.string(), "keep"));
    }
    harness.writeTunnels({namedTunnel("web")});
    auto& manager = harness.makeRunning("exit 0");
    manager.start(false);
    for (const auto& path : leftovers) {
        EXPECT_FALSE(std::filesystem::exists(path)) << path;
    }
    for (const auto& path : others) {
        EXPECT_TRUE(std::filesystem::exists(path)) << path;
    }
    EXPECT_EQ(namesOf(manager.tunnels()), (Names{"web"}));
}

TEST_F(TunnelManagerTest, StartRaisesTheOpenFileLimitToTheHardLimit) {
    rlimit limit{};
    ASSERT_EQ(::getrlimit(RLIMIT_NOFILE, &limit), 0);
    const rlimit lowered{std::min<rlim_t>(limit.rlim_max, 256), limit.rlim_max};
    ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &lowered), 0);
    harness.makeRunning("exit 0").start(false);
    ASSERT_EQ(::getrlimit(RLIMIT_NOFILE, &limit), 0);
    EXPECT_EQ(limit.rlim_cur, limit.rlim_max);
}

TEST_F(TunnelManagerTest, StartPurgesTrashOlderThanThirtyDaysOnly) {
    const auto now = *parseIsoDate("2026-06-10T08:00:00Z");
    auto exactly = namedTunnel("exactly");
    exactly.deletedAt = now - TunnelManager::trashRetention;
    auto older = namedTunnel("older");
    older.deletedAt = now - TunnelManager::trashRetention - 1s;
    harness.writeTunnels({exactly, older});
    ASSERT_TRUE(harness.secrets->save("pw", older.id, SecretKey{SecretKind::password, "me"}, "label"));

    auto& manager = harness.makeRunning("exit 0");
    manager.start(false, now);
    EXPECT_EQ(namesOf(manager.tunnels()), (Names{"exactly"}));
    EXPECT_EQ(namesOf(harness.storedTunnels()), (Names{"exactly"}));
    EXPECT_TRUE(harness.secrets->keys(older.id).empty());
}

TEST_F(TunnelManagerTest, StartEmptiesTheRegistryOfAnEarlierRun) {
    harness.registry->save({ProcessRegistry::Entry{999'999, std::nullopt}});
    auto& manager = harness.makeRunning("exit 0");
    manager.start(false);
    EXPECT_TRUE(harness.registry->load().empty());
}

// Connecting at launch

TEST_F(TunnelManagerTest, ConnectAtLaunchTakesMarkedLiveTunnelsInListOrder) {
    auto zulu = namedTunnel("zulu");
    zulu.connectsAtLaunch = true;
    auto alpha = namedTunnel("alpha");
    alpha.connectsAtLaunch = true;
    auto pinned = namedTunnel("pinned");
    pinned.connectsAtLaunch = true;
    pinned.isPinned = true;
    auto trashed = namedTunnel("trashed");
    trashed.connectsAtLaunch = true;
    trashed.deletedAt = currentDate();
    const auto unmarked = namedTunnel("unmarked");

    auto& manager = startedRunning(connectsAndStays, {zulu, alpha, trashed, unmarked, pinned});
    EXPECT_TRUE(harness.reports.empty());

    manager.connectAtLaunch();
    EXPECT_EQ(harness.connectingOrder(), (Names{"pinned", "alpha", "zulu"}));
    EXPECT_FALSE(manager.hasConnection(trashed.id));
    EXPECT_FALSE(manager.hasConnection(unmarked.id));
}

TEST_F(TunnelManagerTest, StartWithTheFlagConnectsAtLaunch) {
    auto marked = namedTunnel("marked");
    marked.connectsAtLaunch = true;
    auto& manager = startedRunning(connectsAndStays, {marked, namedTunnel("other")}, true);
    EXPECT_EQ(harness.connectingOrder(), (Names{"marked"}));
    ASSERT_TRUE(harness.runUntilState<TunnelState::Connected>(marked.id));
    EXPECT_EQ(manager.connectedTunnels(), 1);
}

// Queries

TEST_F(TunnelManagerTest, ConnectionOfAnUnknownIdIsAPlaceholderMadeOnce) {
    auto& manager = startedRunning("exit 0", {namedTunnel("web")});
    const auto id = Uuid::random();
    EXPECT_EQ(manager.state(id), TunnelState::disconnected());
    EXPECT_FALSE(manager.hasConnection(id));

    const auto connection = manager.connection(id);
    EXPECT_EQ(connection->tunnel().id, id);
    EXPECT_EQ(connection->tunnel().name, "");
    EXPECT_EQ(connection->tunnel().host, "");
    EXPECT_EQ(connection->tunnel().retryLimit, Tunnel::defaultRetryLimit);
    EXPECT_EQ(manager.connection(id), connection);
    EXPECT_EQ(manager.tunnels().size(), 1u);
}

TEST_F(TunnelManagerTest, TaggedTunnelsMatchExactlyAndLeaveTheTrashOut) {
    auto lower = namedTunnel("lower");
    lower.tags = {"prod"};
    auto upper = namedTunnel("upper");
    upper.tags = {"Prod"};
    auto trashed = namedTunnel("trashed");
    trashed.tags = {"prod"};
    trashed.deletedAt = currentDate();
    auto& manager = startedRunning(connectsAndStays, {lower, upper, trashed});

    EXPECT_EQ(namesOf(manager.tunnels("prod")), (Names{"lower"}));
    manager.connect(std::string("prod"));
    EXPECT_EQ(harness.connectingOrder(), (Names{"lower"}));
    manager.disconnect(std::string("prod"));
    EXPECT_EQ(manager.state(lower.id), TunnelState::disconnecting());
}

// Groups

TEST_F(TunnelManagerTest, GroupConnectGoesInListOrderAndSkipsActiveTunnels) {
    const auto b = namedTunnel("b");
    const auto a = namedTunnel("a");
    auto c = namedTunnel("c");
    c.isPinned = true;
    auto& manager = startedRunning(connectsAndStays, {b, a, c});

    manager.connect({a.id});
    manager.connectAll();
    EXPECT_EQ(harness.connectingOrder(), (Names{"a", "c", "b"}));
    ASSERT_TRUE(harness.runUntil([&] { return manager.connectedTunnels() == 3; }));
    EXPECT_EQ(namesOf(manager.activeTunnels()), (Names{"c", "a", "b"}));

    manager.connectAll();
    EXPECT_EQ(launches(a.id), 1u);
    EXPECT_EQ(harness.connectingOrder().size(), 3u);
}

TEST_F(TunnelManagerTest, GroupDisconnectGoesInTheOrderGivenAndCreatesNoConnection) {
    const auto a = namedTunnel("a");
    const auto b = namedTunnel("b");
    const auto never = namedTunnel("never");
    auto& manager = startedRunning(connectsAndStays, {a, b, never});
    manager.connect({a.id, b.id});
    harness.reports.clear();

    manager.disconnect({b.id, never.id, a.id});
    ASSERT_EQ(harness.reports.size(), 2u);
    EXPECT_EQ(harness.reports[0].tunnel.name, "b");
    EXPECT_EQ(harness.reports[1].tunnel.name, "a");
    EXPECT_EQ(harness.reports[0].now, TunnelState::disconnecting());
    EXPECT_FALSE(manager.hasConnection(never.id));

    ASSERT_TRUE(harness.runUntil([&] {
        return manager.state(a.id).is<TunnelState::Disconnected>() &&
               manager.state(b.id).is<TunnelState::Disconnected>();
    }));
    EXPECT_TRUE(manager.hasConnection(a.id));
    EXPECT_EQ(manager.connectedTunnels(), 0);
}

TEST_F(TunnelManagerTest, ConnectWhileDisconnectingRestartsOnceAfterTheExit) {
    const auto tunnel = namedTunnel("web");
    auto& manager = startedRunning(connectsAndStays, {tunnel});
    manager.connect({tunnel.id});
    ASSERT_TRUE(harness.runUntilState<TunnelState::Connected>(tunnel.id));

    manager.disconnect({tunnel.id});
    manager.connect({tunnel.id});
    manager.connect({tunnel.id}); // the restart is pending already
    EXPECT_EQ(manager.state(tunnel.id), TunnelState::disconnecting());
    EXPECT_EQ(namesOf(manager.activeTunnels()), (Names{"web"}));

    ASSERT_TRUE(
        harness.runUntil([&] { return launches(tunnel.id) == 2 && manager.state(tunnel.id).isConnected(); }));
    EXPECT_EQ(harness.stateNames(tunnel.id),
              (Names{"connecting", "connected", "disconnecting", "connecting", "connected"}));
}

TEST_F(TunnelManagerTest, DisconnectWhileRetryingEndsTheWaitAtOnce) {
    const auto tunnel = namedTunnel("flaky");
    auto& manager = startedRunning("exit 1", {tunnel});
    manager.connect({tunnel.id});
    ASSERT_TRUE(harness.runUntilState<TunnelState::Retrying>(tunnel.id));

    manager.disconnect({tunnel.id});
    EXPECT_EQ(manager.state(tunnel.id), TunnelState::disconnected());
    EXPECT_TRUE(harness.reports.back().old.is<TunnelState::Retrying>());
    const auto count = launches(tunnel.id);
    harness.queue->runFor(400ms);
    EXPECT_EQ(launches(tunnel.id), count);
}

TEST_F(TunnelManagerTest, ToggleConnectsAFailedTunnelAndDropsAPendingRestart) {
    auto failing = namedTunnel("failing", "example.fail");
    failing.retryLimit = 0;
    const auto web = namedTunnel("web");
    harness.writeTunnels({failing, web});
    // The first tunnel's ssh ends at once; the second's stays.
    auto& manager =
        harness.makeRunning("case \"$*\" in *example.fail*) exit 1;; esac\n" + std::string(connectsAndStays));
    manager.start(false);

    manager.connect({failing.id});
    ASSERT_TRUE(harness.runUntilState<TunnelState::Failed>(failing.id));
    manager.toggle(failing.id);
    EXPECT_EQ(manager.state(failing.id), TunnelState::connecting());

    manager.toggle(web.id);
    ASSERT_TRUE(harness.runUntilState<TunnelState::Connected>(web.id));
    manager.disconnect({web.id});
    manager.connect({web.id});
    ASSERT_TRUE(manager.connection(web.id)->isActive());
    manager.toggle(web.id); // disconnecting with a restart pending: the restart is dropped
    EXPECT_FALSE(manager.connection(web.id)->isActive());
    ASSERT_TRUE(harness.runUntilState<TunnelState::Disconnected>(web.id));
    harness.queue->runFor(200ms);
    EXPECT_EQ(launches(web.id), 1u);
    EXPECT_EQ(manager.state(web.id), TunnelState::disconnected());
}

// Network and wake

TEST_F(TunnelManagerTest, NetworkReturnRelaunchesWaitingTunnelsWithTheirCountAndLeavesFailedOnes) {
    auto waiting = namedTunnel("waiting");
    auto failed = namedTunnel("failed");
    failed.retryLimit = 0;
    harness.writeTunnels({waiting, failed});
    auto environment = harness.environment(harness.builderRunning(harness.fakeSSH("exit 1")));
    environment.retryPolicy = RetryPolicy{std::chrono::hours(1), std::chrono::hours(1)};
    auto& manager = harness.make(environment);
    manager.start(false);
    manager.connect({waiting.id, failed.id});
    ASSERT_TRUE(harness.runUntil([&] {
        return manager.state(waiting.id).is<TunnelState::Retrying>() &&
               manager.state(failed.id).is<TunnelState::Failed>();
    }));
    EXPECT_EQ(manager.state(waiting.id).as<TunnelState::Retrying>()->attempt, 1);

    // Available already: nothing happens.
    harness.network->report(true);
    harness.queue->runFor(100ms);
    EXPECT_EQ(launches(waiting.id), 1u);

    // Reported from the monitor's own thread, handled on the main queue.
    std::thread([&] { harness.network->report(false); }).join();
    harness.queue->runFor(100ms);
    EXPECT_EQ(launches(waiting.id), 1u);
    std::thread([&] { harness.network->report(true); }).join();

    ASSERT_TRUE(harness.runUntil([&] {
        const auto state = manager.state(waiting.id);
        const auto* retrying = state.as<TunnelState::Retrying>();
        return retrying && retrying->attempt == 2;
    }));
    EXPECT_EQ(launches(waiting.id), 2u);
    EXPECT_EQ(launches(failed.id), 1u);
    EXPECT_EQ(manager.state(failed.id), TunnelState::failed());
}

TEST_F(TunnelManagerTest, WakeRestartsConnectedTunnelsAndLeavesFailedOnes) {
    const auto web = namedTunnel("web");
    auto broken = namedTunnel("broken");
    broken.host = ""; // can't be turned into a command: fails at once
    auto& manager = startedRunning(connectsAndStays, {web, broken});
    manager.connect({web.id, broken.id});
    ASSERT_TRUE(harness.runUntilState<TunnelState::Connected>(web.id));
    ASSERT_EQ(manager.state(broken.id), TunnelState::failed());
    const auto firstPid = manager.connection(web.id)->processID();

    manager.restartActive();
    EXPECT_EQ(manager.state(broken.id), TunnelState::failed());
    ASSERT_TRUE(
        harness.runUntil([&] { return launches(web.id) == 2 && manager.state(web.id).isConnected(); }));
    EXPECT_NE(manager.connection(web.id)->processID(), firstPid);
    EXPECT_EQ(harness.stateNames(web.id), (Names{"connecting", "connected", "connecting", "connected"}));
    EXPECT_EQ(harness.stateNames(broken.id), (Names{"failed"}));
}

TEST_F(TunnelManagerTest, NewBuilderReachesExistingConnectionsForTheirNextLaunch) {
    const auto tunnel = namedTunnel("web");
    auto& manager = startedRunning("echo first; exec sleep 1000", {tunnel});
    manager.connect({tunnel.id});
    const auto pid = manager.connection(tunnel.id)->processID();

    const auto second = harness.fakeSSH("echo second; exec sleep 1000");
    manager.setBuilder(harness.builderRunning(second));
    EXPECT_EQ(manager.connection(tunnel.id)->environment().builder.executable, second);
    EXPECT_EQ(manager.connection(tunnel.id)->processID(), pid);

    const auto later = namedTunnel("later");
    manager.save(later);
    EXPECT_EQ(manager.connection(later.id)->environment().builder.executable, second);
}

// Quitting

TEST_F(TunnelManagerTest, ShutdownWithoutSSHDoesNotWaitOrTouchTheRegistry) {
    auto& manager = startedRunning("exit 0", {namedTunnel("idle")});
    manager.connection(manager.tunnels()[0].id);
    std::filesystem::remove(harness.registry->filePath());

    manager.shutdown();
    EXPECT_FALSE(std::filesystem::exists(harness.registry->filePath()));
    EXPECT_TRUE(harness.network->cancelled);
}

TEST_F(TunnelManagerTest, ShutdownKillsAnSSHThatIgnoresSIGTERMAndEmptiesTheRegistry) {
    const auto stubborn = namedTunnel("stubborn", "stubborn.example");
    const auto polite = namedTunnel("polite");
    harness.writeTunnels({stubborn, polite});
    auto& manager = harness.makeRunning("case \"$*\" in *stubborn*) trap '' TERM;; esac\n"
                                        "echo 'debug1: Entering interactive session.'\n"
                                        "while :; do sleep 1; done");
    manager.start(false);
    manager.connect({stubborn.id, polite.id});
    ASSERT_TRUE(harness.runUntil([&] { return manager.connectedTunnels() == 2; }));
    const auto stubbornGroup = *manager.connection(stubborn.id)->processID();
    const auto politeGroup = *manager.connection(polite.id)->processID();
    harness.endTurn();
    ASSERT_EQ(harness.registry->load().size(), 2u);

    const auto began = std::chrono::steady_clock::now();
    manager.shutdown();
    EXPECT_LT(std::chrono::steady_clock::now() - began, 30s); // bounded, not the 3 s grace times many

    EXPECT_TRUE(harness.registry->load().empty());
    EXPECT_TRUE(harness.network->cancelled);
    EXPECT_EQ(manager.state(stubborn.id), TunnelState::disconnecting());
    // The exits are handled once the main queue runs again.
    ASSERT_TRUE(harness.runUntil([&] {
        return manager.state(stubborn.id).is<TunnelState::Disconnected>() &&
               manager.state(polite.id).is<TunnelState::Disconnected>();
    }));
    EXPECT_TRUE(groupIsGone(stubbornGroup));
    EXPECT_TRUE(groupIsGone(politeGroup));
}
