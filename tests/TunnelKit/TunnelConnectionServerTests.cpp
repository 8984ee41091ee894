// The connection with the real ssh client against a real sshd of the test's own on 127.0.0.1.
#include "ConnectionHarness.h"
#include "LoopbackNetwork.h"
#include "SSHServerFixture.h"
#include "TunnelKit/TunnelConnection.h"

#include <algorithm>
#include <gtest/gtest.h>

using namespace tunnelkit;
using testing_support::ConnectionHarness;
using testing_support::EchoServer;
using testing_support::exchange;
using testing_support::exchangeThroughSocks;
using testing_support::freeLoopbackPort;
using testing_support::PortHolder;
using testing_support::SSHClientSetup;
using testing_support::SSHServer;

namespace {

using Names = std::vector<std::string>;

Forward forward(Forward::Kind kind, Endpoint listen, std::optional<Endpoint> target = std::nullopt) {
    return Forward::make(Uuid::random(), kind, true, std::move(listen), std::move(target), "");
}

class TunnelConnectionServerTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(server.isRunning()); }

    TunnelConnection& connection(std::vector<Forward> forwards, int retryLimit = Tunnel::defaultRetryLimit) {
        auto tunnel = client.tunnel(std::move(forwards));
        tunnel.retryLimit = retryLimit;
        auto environment = harness.environment(client.builder());
        environment.stateDirectory = client.stateDirectory();
        return harness.make(tunnel, environment);
    }

    // Destroyed in reverse order: the connection settles and its processes are checked before the
    // server goes.
    SSHServer server;
    SSHClientSetup client{server};
    EchoServer echo;
    ConnectionHarness harness;
};

TEST_F(TunnelConnectionServerTest, LocalForwardCarriesBytesAndDisconnectsCleanly) {
    const int port = freeLoopbackPort();
    auto& tunnel = connection({forward(Forward::Kind::local, Endpoint::tcp("127.0.0.1", port),
                                       Endpoint::tcp("127.0.0.1", echo.port()))});
    tunnel.connect();
    ASSERT_TRUE(harness.runUntilState<TunnelState::Connected>())
        << testing::PrintToString(harness.logTexts());

    EXPECT_EQ(exchange("127.0.0.1", port, "through the tunnel"), "through the tunnel");
    EXPECT_EQ(tunnel.problem(), std::nullopt);
    EXPECT_EQ(tunnel.session().address, "127.0.0.1:" + std::to_string(server.port()));
    EXPECT_TRUE(tunnel.session().serverSoftware);
    EXPECT_EQ(tunnel.session().authentication, "publickey");
    ASSERT_TRUE(tunnel.processID());
    EXPECT_EQ(tunnel.environment().registry->load().size(), 1u);

    tunnel.disconnect();
    ASSERT_TRUE(harness.runUntilState<TunnelState::Disconnected>());
    EXPECT_EQ(harness.stateNames(), (Names{"connecting", "connected", "disconnecting", "disconnected"}));
    // An established ssh -N ends with status 0 on SIGTERM.
    EXPECT_EQ(tunnel.log().back().text, "ssh exited with status 0");
    harness.endTurn();
    EXPECT_TRUE(tunnel.environment().registry->load().empty());
}

TEST_F(TunnelConnectionServerTest, RemoteForwardIsConfirmedBeforeConnected) {
    const int port = freeLoopbackPort();
    auto& tunnel = connection({forward(Forward::Kind::remote, Endpoint::tcp("127.0.0.1", port),
                                       Endpoint::tcp("127.0.0.1", echo.port()))});
    tunnel.connect();
    ASSERT_TRUE(harness.runUntilState<TunnelState::Connected>())
        << testing::PrintToString(harness.logTexts());

    // The line that made it connected is the server's confirmation, after the session had started.
    const auto& connected = harness.reports.back();
    const auto lines = harness.logTexts();
    EXPECT_EQ(lines[connected.logSize - 1],
              "debug1: forwarding_success: all expected forwarding replies received");
    const auto sessionLine = std::ranges::find(lines, "debug1: Entering interactive session.");
    EXPECT_LT(sessionLine - lines.begin(), static_cast<long>(connected.logSize));
    EXPECT_EQ(exchange("127.0.0.1", port, "back through the server"), "back through the server");
}

TEST_F(TunnelConnectionServerTest, DynamicForwardIsASocksProxy) {
    const int port = freeLoopbackPort();
    auto& tunnel = connection({forward(Forward::Kind::dynamic, Endpoint::tcp("127.0.0.1", port))});
    tunnel.connect();
    ASSERT_TRUE(harness.runUntilState<TunnelState::Connected>())
        << testing::PrintToString(harness.logTexts());

    EXPECT_EQ(exchangeThroughSocks(port, echo.port(), "by way of socks"), "by way of socks");
}

TEST_F(TunnelConnectionServerTest, LocalPortInUseFailsWithoutRetrying) {
    const int port = freeLoopbackPort();
    const PortHolder taken(port);
    ASSERT_TRUE(taken.isHeld());
    auto& tunnel = connection({forward(Forward::Kind::local, Endpoint::tcp("127.0.0.1", port),
                                       Endpoint::tcp("127.0.0.1", echo.port()))});
    tunnel.connect();
    ASSERT_TRUE(harness.runUntilSettled());

    EXPECT_EQ(harness.stateNames(), (Names{"connecting", "failed"}));
    EXPECT_EQ(tunnel.problem(),
              TunnelProblem::ssh(SSHFailure::localPortInUse("127.0.0.1:" + std::to_string(port))));
}

TEST_F(TunnelConnectionServerTest, RemotePortInUseIsRetriedUntilTheLimit) {
    const int port = freeLoopbackPort();
    const PortHolder taken(port); // the server runs on this computer, so its side is taken too
    ASSERT_TRUE(taken.isHeld());
    auto& tunnel = connection({forward(Forward::Kind::remote, Endpoint::tcp("127.0.0.1", port),
                                       Endpoint::tcp("127.0.0.1", echo.port()))},
                              1);
    tunnel.connect();
    ASSERT_TRUE(harness.runUntilSettled());

    EXPECT_EQ(harness.stateNames(), (Names{"connecting", "retrying", "connecting", "failed"}));
    ASSERT_TRUE(tunnel.problem());
    const auto* ssh = tunnel.problem()->as<TunnelProblem::SSH>();
    ASSERT_NE(ssh, nullptr);
    EXPECT_TRUE(ssh->failure.is<SSHFailure::RemoteForwardRejected>())
        << testing::PrintToString(*tunnel.problem());
}

// Without a bind address ssh listens on both loopbacks; when only the IPv4 one is taken it keeps
// the IPv6 one and runs on. The tunnel counts as connected; the log shows the half that failed.
TEST_F(TunnelConnectionServerTest, LocalForwardWithHalfItsAddressesTakenStaysConnected) {
    if (!testing_support::hasIPv6Loopback()) {
        GTEST_SKIP() << "no IPv6 loopback here";
    }
    const int port = freeLoopbackPort();
    const PortHolder taken(port);
    ASSERT_TRUE(taken.isHeld());
    auto& tunnel = connection(
        {forward(Forward::Kind::local, Endpoint::tcp("", port), Endpoint::tcp("127.0.0.1", echo.port()))});
    tunnel.connect();
    ASSERT_TRUE(harness.runUntilState<TunnelState::Connected>())
        << testing::PrintToString(harness.logTexts());

    EXPECT_EQ(tunnel.problem(), std::nullopt);
    const auto bindLine = "bind [127.0.0.1]:" + std::to_string(port) + ": Address already in use";
    const auto found =
        std::ranges::find_if(tunnel.log(), [&](const SSHLogLine& line) { return line.text == bindLine; });
    ASSERT_NE(found, tunnel.log().end());
    EXPECT_EQ(found->level, SSHLogLine::Level::error);
    EXPECT_EQ(exchange("::1", port, "over the other loopback"), "over the other loopback");
}

TEST_F(TunnelConnectionServerTest, ServerStoppedMidSessionIsRetriedUntilItIsBack) {
    const int port = freeLoopbackPort();
    auto& tunnel = connection({forward(Forward::Kind::local, Endpoint::tcp("127.0.0.1", port),
                                       Endpoint::tcp("127.0.0.1", echo.port()))});
    tunnel.connect();
    ASSERT_TRUE(harness.runUntilState<TunnelState::Connected>())
        << testing::PrintToString(harness.logTexts());

    server.stop();
    ASSERT_TRUE(harness.runUntilState<TunnelState::Retrying>());
    EXPECT_EQ(tunnel.problem(), TunnelProblem::ssh(SSHFailure::connectionLost()));
    // While the server is away the attempts are refused and retried.
    ASSERT_TRUE(harness.runUntil([&] {
        return tunnel.problem() == TunnelProblem::ssh(SSHFailure::connectionRefused()) &&
               tunnel.state().is<TunnelState::Retrying>();
    }));

    ASSERT_TRUE(server.start());
    ASSERT_TRUE(harness.runUntilState<TunnelState::Connected>())
        << testing::PrintToString(harness.logTexts());
    EXPECT_EQ(tunnel.problem(), std::nullopt);
    const auto names = harness.stateNames();
    EXPECT_EQ(names.front(), "connecting");
    EXPECT_EQ(names[1], "connected");
    EXPECT_EQ(names[2], "retrying");
    EXPECT_EQ(std::ranges::count(names, "connected"), 2);
    EXPECT_EQ(std::ranges::count(names, "failed"), 0);
    EXPECT_EQ(exchange("127.0.0.1", port, "after the outage"), "after the outage");
}

TEST_F(TunnelConnectionServerTest, RefusedKeyFailsWithoutRetries) {
    const auto strangerKey = client.folder() + "/id_stranger";
    ASSERT_FALSE(testing_support::generateKey(strangerKey).empty());
    auto record = client.tunnel({});
    record.identityFile = strangerKey;
    auto environment = harness.environment(client.builder());
    environment.stateDirectory = client.stateDirectory();
    auto& tunnel = harness.make(record, environment);
    tunnel.connect();
    ASSERT_TRUE(harness.runUntilSettled());

    EXPECT_EQ(harness.stateNames(), (Names{"connecting", "failed"}));
    EXPECT_EQ(tunnel.problem(), TunnelProblem::ssh(SSHFailure::authenticationFailed()));
}

TEST_F(TunnelConnectionServerTest, ChangedHostKeyFails) {
    const auto otherHostKey = testing_support::generateKey(client.folder() + "/other_host_key");
    ASSERT_FALSE(otherHostKey.empty());
    const auto keyWords = otherHostKey.substr(0, otherHostKey.rfind(' '));
    client.writeKnownHosts("[127.0.0.1]:" + std::to_string(server.port()) + " " + keyWords);
    auto& tunnel = connection({});
    tunnel.connect();
    ASSERT_TRUE(harness.runUntilSettled());

    EXPECT_EQ(harness.stateNames(), (Names{"connecting", "failed"}));
    EXPECT_EQ(tunnel.problem(), TunnelProblem::ssh(SSHFailure::hostKeyChanged()));
}

} // namespace
