// The manager with the real ssh client against a real sshd of the test's own on 127.0.0.1.
#include "LoopbackNetwork.h"
#include "ManagerHarness.h"
#include "SSHServerFixture.h"
#include "TunnelKit/TunnelManager.h"

#include <gtest/gtest.h>

using namespace tunnelkit;
using testing_support::EchoServer;
using testing_support::exchange;
using testing_support::freeLoopbackPort;
using testing_support::ManagerHarness;
using testing_support::SSHClientSetup;
using testing_support::SSHServer;

namespace {

bool allConnected(const TunnelManager& manager, const std::vector<Tunnel>& tunnels) {
    return std::ranges::all_of(tunnels,
                               [&](const Tunnel& tunnel) { return manager.state(tunnel.id).isConnected(); });
}

} // namespace

TEST(TunnelManagerServer, ThreeTunnelsComeBackAfterTheServerReturnsAndQuittingLeavesNothing) {
    SSHServer server;
    ASSERT_TRUE(server.isRunning());
    SSHClientSetup client{server};
    EchoServer echo;
    ManagerHarness harness;

    std::vector<Tunnel> tunnels;
    std::vector<int> ports;
    for (const auto* name : {"one", "two", "three"}) {
        ports.push_back(freeLoopbackPort());
        auto tunnel = client.tunnel({Forward::make(Uuid::random(), Forward::Kind::local, true,
                                                   Endpoint::tcp("127.0.0.1", ports.back()),
                                                   Endpoint::tcp("127.0.0.1", echo.port()), "")});
        tunnel.name = name;
        tunnel.connectsAtLaunch = true;
        tunnels.push_back(tunnel);
    }
    harness.writeTunnels(tunnels);
    auto environment = harness.environment(client.builder());
    environment.stateDirectory = client.stateDirectory();
    auto& manager = harness.make(environment);

    manager.start(true);
    ASSERT_TRUE(harness.runUntil([&] { return allConnected(manager, tunnels); }));
    EXPECT_EQ(manager.connectedTunnels(), 3);
    EXPECT_EQ(harness.registry->load().size(), 3u);
    EXPECT_EQ(exchange("127.0.0.1", ports[1], "before"), "before");

    server.stop();
    ASSERT_TRUE(harness.runUntil([&] {
        return std::ranges::all_of(tunnels, [&](const Tunnel& tunnel) {
            return manager.state(tunnel.id).is<TunnelState::Retrying>();
        });
    }));
    ASSERT_TRUE(server.start());
    ASSERT_TRUE(harness.runUntil([&] { return allConnected(manager, tunnels); }));
    for (size_t i = 0; i < tunnels.size(); ++i) {
        EXPECT_EQ(manager.connection(tunnels[i].id)->problem(), std::nullopt);
        EXPECT_EQ(exchange("127.0.0.1", ports[i], "after"), "after");
    }

    std::vector<pid_t> groups;
    for (const auto& tunnel : tunnels) {
        groups.push_back(*manager.connection(tunnel.id)->processID());
    }
    manager.shutdown();
    EXPECT_TRUE(harness.registry->load().empty());
    EXPECT_TRUE(harness.network->cancelled);
    ASSERT_TRUE(harness.runUntil([&] {
        return std::ranges::all_of(tunnels, [&](const Tunnel& tunnel) {
            return manager.state(tunnel.id).is<TunnelState::Disconnected>();
        });
    }));
    for (const auto group : groups) {
        EXPECT_TRUE(testing_support::liveMembersOf(group).empty());
    }
    harness.processes.expectAllEnded();
}
