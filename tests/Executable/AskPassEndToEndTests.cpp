// ssh's questions answered by the real executable: a tunnel connection runs the real ssh against
// the tests' own sshd, with a key whose passphrase is kept in a real secret service, and ssh runs
// the built burrowlight as its askpass program. Every test runs inside with-secret-service.sh, so
// the keyring is a throwaway.
#include "BurrowlightProcess.h"
#include "ConnectionHarness.h"
#include "ErrorPrinting.h"
#include "LoopbackNetwork.h"
#include "Platform/LibsecretBackend.h"
#include "SSHServerFixture.h"
#include "ThrowawayKeyring.h"
#include "TunnelKit/AskPass.h"
#include "TunnelKit/ChildProcess.h"
#include "TunnelKit/SecretStore.h"
#include "TunnelKit/TunnelConnection.h"

#include <filesystem>
#include <gtest/gtest.h>

using namespace tunnelkit;
using testing_support::burrowlightExecutable;
using testing_support::ConnectionHarness;
using testing_support::EchoServer;
using testing_support::exchange;
using testing_support::freeLoopbackPort;
using testing_support::SSHClientSetup;
using testing_support::SSHServer;

namespace {

constexpr const char* bundleIdentifier = "com.tolvan.burrowlight";
constexpr const char* passphrase = "correct horse battery staple";
const std::string refusalLine = "Burrowlight: askpass refused, not started by Burrowlight through ssh";

// Where ssh runs from: under a process of the burrowlight executable, as when the application
// connects a tunnel, or straight from the test.
enum class SSHParent { burrowlight, test };

class AskPassEndToEnd : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(testing_support::runsInThrowawayKeyring())
            << "run through tests/support/with-secret-service.sh";
        ASSERT_TRUE(server.isRunning());
        // The server's client key, now opened only with the passphrase.
        const auto changed =
            runChildProcess({"/usr/bin/ssh-keygen",
                             {"-q", "-p", "-P", "", "-N", passphrase, "-f", server.clientKeyPath()},
                             {{"PATH", "/usr/bin:/bin"}},
                             ErrorOutput::joined,
                             std::chrono::milliseconds(30'000)});
        ASSERT_TRUE(changed && changed->termination == Termination(Exited{0}))
            << (changed ? changed->output : std::string(std::strerror(changed.error().code)));
    }

    TunnelConnection& connection(SSHParent parent) {
        auto tunnel = client.tunnel(
            {Forward::make(Uuid::random(), Forward::Kind::local, true, Endpoint::tcp("127.0.0.1", localPort),
                           Endpoint::tcp("127.0.0.1", echo.port()), "")});
        tunnel.name = "Test server";
        tunnel.retryLimit = 0;

        auto builder = client.builder();
        // Keeps the session bus of the test's keyring and its home.
        auto base = testing_support::cleanEnvironment();
        // A helper that tried to show its dialog would fail at once instead of waiting for a click.
        base["QT_QPA_PLATFORM"] = "no-such-platform";
        if (parent == SSHParent::burrowlight) {
            builder.executable = burrowlightExecutable;
            testing_support::runUnderBurrowlight(base, SSHCommandBuilder::defaultExecutable);
        }
        auto environment = harness.environment(builder, base);
        environment.askPassExecutable = burrowlightExecutable;
        environment.stateDirectory = client.stateDirectory();
        return harness.make(tunnel, environment);
    }

    SecretKey passphraseKey() const { return {SecretKind::passphrase, server.clientKeyPath()}; }

    // The attempts that left markers in the ledger, read from the markers' names.
    std::vector<Uuid> markedAttempts() const {
        std::vector<Uuid> attempts;
        for (const auto& entry : std::filesystem::directory_iterator(client.stateDirectory())) {
            const auto name = entry.path().filename().string();
            if (const auto attempt = Uuid::parse(name.substr(0, name.find('.')))) {
                attempts.push_back(*attempt);
            }
        }
        return attempts;
    }

    // Destroyed in reverse order: the connection settles and its processes are checked before the
    // server goes.
    SSHServer server;
    SSHClientSetup client{server};
    EchoServer echo;
    int localPort = freeLoopbackPort();
    ConnectionHarness harness;
    SecretStore store{bundleIdentifier,
                      std::make_shared<platform::secrets::LibsecretBackend>(bundleIdentifier)};
};

} // namespace

TEST_F(AskPassEndToEnd, SavedPassphraseAnswersSshWithoutADialogAndTheTunnelConnects) {
    auto& tunnel = connection(SSHParent::burrowlight);
    ASSERT_TRUE(store.save(passphrase, tunnel.tunnel().id, passphraseKey(), "Burrowlight: Test server"));

    tunnel.connect();
    ASSERT_TRUE(harness.runUntilState<TunnelState::Connected>())
        << testing::PrintToString(harness.logTexts()) << "\nsshd:\n"
        << server.log();
    EXPECT_EQ(harness.stateNames(), (std::vector<std::string>{"connecting", "connected"}));
    EXPECT_EQ(tunnel.session().authentication, "publickey");
    EXPECT_EQ(exchange("127.0.0.1", localPort, "through the tunnel"), "through the tunnel");
    EXPECT_FALSE(harness.logContains(passphrase)) << "the secret never shows in the log";
    EXPECT_FALSE(harness.logContains(refusalLine));

    // The helper recorded the one use under the key as ssh named it, and nothing was cancelled.
    const auto attempts = markedAttempts();
    ASSERT_EQ(attempts.size(), 1u);
    const auto attempt = attempts.front();
    const AskPassLedger ledger(client.stateDirectory());
    EXPECT_TRUE(std::filesystem::exists(client.stateDirectory() + "/" +
                                        AskPassLedger::markerName(passphraseKey(), attempt)));
    EXPECT_FALSE(ledger.isCancelled(attempt));

    // Were ssh to ask again in this attempt, the passphrase was refused: the user is asked, told
    // so. The next attempt offers the saved one again.
    const AskPassRequest again("Enter passphrase for key '" + server.clientKeyPath() + "': ", std::nullopt);
    const auto saved = [&](const SecretKey& key) { return store.secret(tunnel.tunnel().id, key); };
    EXPECT_EQ(AskPassDecision::decide(again, attempt, ledger, saved), AskPassDecision::ask(true));
    EXPECT_EQ(AskPassDecision::decide(again, Uuid::random(), ledger, saved),
              AskPassDecision::answer(passphrase));

    tunnel.disconnect();
    ASSERT_TRUE(harness.runUntilState<TunnelState::Disconnected>());
    EXPECT_EQ(tunnel.log().back().text, "ssh exited with status 0");
    EXPECT_FALSE(std::filesystem::exists(client.stateDirectory() + "/" +
                                         AskPassLedger::markerName(passphraseKey(), attempt)))
        << "the ended attempt's markers are cleared";
}

TEST_F(AskPassEndToEnd, SshStartedOutsideTheApplicationGetsNoSecret) {
    auto& tunnel = connection(SSHParent::test);
    ASSERT_TRUE(store.save(passphrase, tunnel.tunnel().id, passphraseKey(), "Burrowlight: Test server"));

    // ssh's ancestors are this test and what started it: no burrowlight among them.
    tunnel.connect();
    ASSERT_TRUE(harness.runUntilSettled()) << testing::PrintToString(harness.logTexts());
    EXPECT_EQ(harness.stateNames(), (std::vector<std::string>{"connecting", "failed"}));
    EXPECT_EQ(tunnel.problem(), TunnelProblem::ssh(SSHFailure::authenticationFailed()))
        << testing::PrintToString(harness.logTexts());
    EXPECT_TRUE(harness.logContains(refusalLine)) << testing::PrintToString(harness.logTexts());
    EXPECT_FALSE(harness.logContains(passphrase));
    EXPECT_TRUE(std::filesystem::is_empty(client.stateDirectory())) << "the refusing helper leaves no marker";
}
