#include "SSHTranscripts.h"
#include "TunnelKit/ChildProcess.h"
#include "TunnelKit/SSHLog.h"
#include "TunnelKit/SessionInfo.h"

#include <gtest/gtest.h>
#include <unordered_set>

using namespace tunnelkit;
using Level = SSHLogLine::Level;

namespace {

struct FailureCase {
    std::string line;
    std::optional<SSHFailure> expected;
};

void expectFailures(const std::vector<FailureCase>& cases) {
    for (const auto& c : cases) {
        EXPECT_EQ(SSHLogParser::failure(c.line), c.expected) << c.line;
    }
}

} // namespace

TEST(SSHLogParserFailure, HostKeyAndAuthentication) {
    expectFailures({
        {"@    WARNING: REMOTE HOST IDENTIFICATION HAS CHANGED!     @", SSHFailure::hostKeyChanged()},
        {"Host key verification failed.", SSHFailure::hostKeyNotTrusted()},
        {"ssh: Host key verification failed.", SSHFailure::other("Host key verification failed.")},
        {"root@127.0.0.1: Permission denied (publickey).", SSHFailure::authenticationFailed()},
        {"alice@example.org: Permission denied (publickey,password).", SSHFailure::authenticationFailed()},
        {"Received disconnect from 127.0.0.1 port 2222:2: Too many authentication failures",
         SSHFailure::authenticationFailed()},
        {"bind [127.0.0.1]:22: Permission denied", std::nullopt},
    });
}

TEST(SSHLogParserFailure, ReachingTheServer) {
    expectFailures({
        {"ssh: Could not resolve hostname nosuchhost.invalid: Name or service not known",
         SSHFailure::hostNotFound()},
        {"ssh: connect to host 127.0.0.1 port 2223: Connection refused", SSHFailure::connectionRefused()},
        {"ssh: connect to host 10.1.2.3 port 22: Network is unreachable", SSHFailure::networkUnreachable()},
        {"ssh: connect to host 192.0.2.1 port 22: No route to host", SSHFailure::networkUnreachable()},
        {"ssh: connect to host 192.0.2.1 port 22: Connection timed out", SSHFailure::timedOut()},
        {"ssh: connect to host 192.0.2.1 port 22: Operation timed out", SSHFailure::timedOut()},
    });
}

TEST(SSHLogParserFailure, LosingTheConnection) {
    expectFailures({
        {"Timeout, server 127.0.0.1 not responding.", SSHFailure::connectionLost()},
        {"Connection closed by 127.0.0.1 port 2222", SSHFailure::connectionLost()},
        {"Connection to 127.0.0.1 closed by remote host.", SSHFailure::connectionLost()},
        {"Read from remote host 127.0.0.1: Connection reset by peer", SSHFailure::connectionLost()},
        {"client_loop: send disconnect: Broken pipe", SSHFailure::connectionLost()},
        {"kex_exchange_identification: banner line contains invalid characters",
         SSHFailure::connectionLost()},
        // Only at the start of the line.
        {"Session timeout, server gone", std::nullopt},
    });
}

TEST(SSHLogParserFailure, Forwards) {
    expectFailures({
        {"bind [127.0.0.1]:8080: Address already in use", SSHFailure::localPortInUse("127.0.0.1:8080")},
        {"bind [::1]:8080: Address already in use", SSHFailure::localPortInUse("::1:8080")},
        {"bind [fe80::1%eth0]:8080: Address already in use", SSHFailure::localPortInUse("fe80::1%eth0:8080")},
        {"bind [::1]:8080: Address already in use: Address already in use",
         SSHFailure::localPortInUse("::1:8080")},
        {"Could not request local forwarding.", SSHFailure::localPortInUse("")},
        {"Error: remote port forwarding failed for listen port 8080",
         SSHFailure::remoteForwardRejected("8080")},
        {"Error: remote port forwarding failed for listen port /tmp/app.sock",
         SSHFailure::remoteForwardRejected("/tmp/app.sock")},
        // A bind line about anything but a busy port is nothing the tunnel can act on.
        {"bind [::1]:8080: Cannot assign requested address", std::nullopt},
        {"channel_setup_fwd_listener_tcpip: cannot listen to port: 8080", std::nullopt},
    });
}

// What the real ssh says of "-L 8080", a forward without its target.
static std::string refusalOfALoneLocalPort() {
    tunnelkit::ChildProcessRequest request;
    request.executable = "/usr/bin/ssh";
    request.arguments = {"-G", "-L", "8080", "example.invalid"};
    request.errorOutput = tunnelkit::ErrorOutput::joined;
    const auto result = tunnelkit::runChildProcess(request);
    if (!result) {
        return {};
    }
    std::string line = result->output.substr(0, result->output.find('\n'));
    if (!line.empty() && line.back() == '\r') {
        line.pop_back();
    }
    return line;
}

TEST(SSHLogParserFailure, ConfigurationAndTheRest) {
    const std::string badOption = "/home/alice/.ssh/config: line 3: Bad configuration option: fowardagent";
    const std::string commandLine = "command-line line 0: missing argument.";
    const std::string badForward = refusalOfALoneLocalPort();
    ASSERT_FALSE(badForward.empty());
    const std::string unsupported = "/etc/ssh/ssh_config line 5: Unsupported option \"rsaauthentication\"";
    expectFailures({
        {badOption, SSHFailure::badConfiguration(badOption)},
        {commandLine, SSHFailure::badConfiguration(commandLine)},
        {badForward, SSHFailure::badConfiguration(badForward)},
        {unsupported, SSHFailure::badConfiguration(unsupported)},
        {"ssh: connect to host example.org port 22: Cannot assign requested address",
         SSHFailure::other("connect to host example.org port 22: Cannot assign requested address")},
        {"ssh: ", SSHFailure::other("")},
        {"ssh:no blank", std::nullopt},
        {"Transferred: sent 3576, received 3448 bytes, in 2.9 seconds", std::nullopt},
        {"", std::nullopt},
    });
}

TEST(SSHLogParserFailure, MatchingIsCaseSensitive) {
    expectFailures({
        {"ssh: connect to host 127.0.0.1 port 22: connection refused",
         SSHFailure::other("connect to host 127.0.0.1 port 22: connection refused")},
        {"host key verification failed.", std::nullopt},
    });
}

TEST(SSHLogParserFailure, EarlierRulesWinOverLaterOnes) {
    expectFailures({
        {"ssh: Could not resolve hostname gone.example: Temporary failure in name resolution",
         SSHFailure::hostNotFound()},
        {"Connection closed by 127.0.0.1 port 22: Connection refused", SSHFailure::connectionRefused()},
        {"Host key verification failed: Permission denied (publickey)", SSHFailure::hostKeyNotTrusted()},
        {"Permission denied (publickey): Connection refused", SSHFailure::authenticationFailed()},
        {"Could not resolve hostname x: Connection refused", SSHFailure::hostNotFound()},
        {"ssh: connect to host a port 22: No route to host, Connection timed out",
         SSHFailure::networkUnreachable()},
        {"bind [127.0.0.1]:8080: Address already in use: Broken pipe", SSHFailure::connectionLost()},
        {"Could not request local forwarding: Bad configuration option", SSHFailure::localPortInUse("")},
        {"ssh: Bad configuration option: x",
         SSHFailure::badConfiguration("ssh: Bad configuration option: x")},
    });
}

TEST(SSHFailure, OnlyFailuresANewAttemptCanOvercomeAreRetryable) {
    EXPECT_FALSE(SSHFailure::localPortInUse("127.0.0.1:8080").isRetryable());
    EXPECT_FALSE(SSHFailure::badConfiguration("x").isRetryable());
    EXPECT_FALSE(SSHFailure::authenticationFailed().isRetryable());
    EXPECT_FALSE(SSHFailure::hostKeyNotTrusted().isRetryable());
    EXPECT_FALSE(SSHFailure::hostKeyChanged().isRetryable());

    EXPECT_TRUE(SSHFailure::remoteForwardRejected("8080").isRetryable());
    EXPECT_TRUE(SSHFailure::other("x").isRetryable());
    EXPECT_TRUE(SSHFailure::connectionRefused().isRetryable());
    EXPECT_TRUE(SSHFailure::hostNotFound().isRetryable());
    EXPECT_TRUE(SSHFailure::timedOut().isRetryable());
    EXPECT_TRUE(SSHFailure::networkUnreachable().isRetryable());
    EXPECT_TRUE(SSHFailure::connectionLost().isRetryable());
}

TEST(SSHFailure, EqualityComparesCaseAndText) {
    EXPECT_EQ(SSHFailure::other("a"), SSHFailure::other("a"));
    EXPECT_NE(SSHFailure::other("a"), SSHFailure::other("b"));
    EXPECT_NE(SSHFailure::other("8080"), SSHFailure::remoteForwardRejected("8080"));
    EXPECT_NE(SSHFailure::connectionLost(), SSHFailure::connectionRefused());
}

TEST(SSHLogParserSignal, DebugLinesNeverGiveFailures) {
    const std::string refused = "debug1: connect to address 127.0.0.1 port 2223: Connection refused";
    EXPECT_EQ(SSHLogParser::signal(refused), std::nullopt);
    EXPECT_EQ(SSHLogParser::level(refused), Level::debug);
    EXPECT_EQ(SSHLogParser::signal("debug3: Permission denied (publickey)."), std::nullopt);
    EXPECT_EQ(SSHLogParser::signal("debug1: remote forward failure for: listen 127.0.0.1:8080, connect "
                                   "127.0.0.1:8080"),
              std::nullopt);
    // failure(in:) itself does not know about debug lines; only the signal skips them.
    EXPECT_EQ(SSHLogParser::failure(refused), SSHFailure::connectionRefused());
}

TEST(SSHLogParserSignal, SessionAndForwardReplies) {
    EXPECT_EQ(SSHLogParser::signal("debug1: Entering interactive session."), SSHLogSignal::sessionStarted());
    EXPECT_EQ(SSHLogParser::signal("debug2: Entering interactive session."), std::nullopt);
    EXPECT_EQ(SSHLogParser::signal("debug1: forwarding_success: all expected forwarding replies received"),
              SSHLogSignal::remoteForwardsConfirmed());
    EXPECT_EQ(SSHLogParser::signal("forwarding_success: all expected forwarding replies received"),
              std::nullopt);
}

TEST(SSHLogParserSignal, ExpectedRemoteForwardReplies) {
    auto signal = [](const std::string& tail) {
        return SSHLogParser::signal("debug1: ssh_init_forwarding: expecting replies for " + tail);
    };
    EXPECT_EQ(signal("1 forwards"), SSHLogSignal::expectingRemoteForwards(1));
    EXPECT_EQ(signal("2x forwards"), SSHLogSignal::expectingRemoteForwards(2));
    EXPECT_EQ(signal("12"), SSHLogSignal::expectingRemoteForwards(12));
    EXPECT_EQ(signal("0 forwards"), SSHLogSignal::expectingRemoteForwards(0));
    EXPECT_EQ(signal("x2 forwards"), std::nullopt);
    EXPECT_EQ(signal(" 2 forwards"), std::nullopt);
    EXPECT_EQ(signal(""), std::nullopt);
    EXPECT_EQ(signal("99999999999999999999 forwards"), std::nullopt);
    // The first occurrence decides.
    EXPECT_EQ(signal("x, ssh_init_forwarding: expecting replies for 3"), std::nullopt);
    EXPECT_EQ(SSHLogParser::signal("ssh_init_forwarding: expecting replies for 1 forwards"), std::nullopt);
}

TEST(SSHLogParserSignal, AuthenticationIsInformationNotFailure) {
    const std::string line = "Authenticated to 127.0.0.1 ([127.0.0.1]:2222) using \"publickey\".";
    EXPECT_EQ(SSHLogParser::signal(line), SSHLogSignal::authenticated());
    EXPECT_EQ(SSHLogParser::level(line), Level::info);
    const std::string odd = "Authenticated to host.example: Connection reset by peer";
    EXPECT_EQ(SSHLogParser::signal(odd), SSHLogSignal::authenticated());
    EXPECT_EQ(SSHLogParser::level(odd), Level::info);
    EXPECT_EQ(SSHLogParser::signal("debug1: Authenticated to x"), std::nullopt);
}

TEST(SSHLogParserSignal, OrdinaryLinesGiveFailuresOrNothing) {
    const std::string channel = "channel 2: open failed: connect failed: Connection refused";
    EXPECT_EQ(SSHLogParser::signal(channel), SSHLogSignal::failure(SSHFailure::connectionRefused()));
    EXPECT_EQ(SSHLogParser::level(channel), Level::error);
    const std::string transferred = "Transferred: sent 3576, received 3448 bytes, in 2.9 seconds";
    EXPECT_EQ(SSHLogParser::signal(transferred), std::nullopt);
    EXPECT_EQ(SSHLogParser::level(transferred), Level::info);
    EXPECT_EQ(SSHLogParser::level(""), Level::info);
    EXPECT_EQ(SSHLogParser::level("debug"), Level::debug);
}

TEST(SSHLogLine, EqualityAndHashingCoverEveryField) {
    const Date now = currentDate();
    const SSHLogLine line{7, now, "debug1: Exit status 0", Level::debug};
    SSHLogLine sameLine = line;
    EXPECT_EQ(line, sameLine);
    EXPECT_EQ(std::hash<SSHLogLine>{}(line), std::hash<SSHLogLine>{}(sameLine));

    std::unordered_set<SSHLogLine> lines{line, sameLine};
    lines.insert({8, now, line.text, line.level});
    lines.insert({7, now + std::chrono::seconds(1), line.text, line.level});
    lines.insert({7, now, "debug1: Exit status 1", line.level});
    lines.insert({7, now, line.text, Level::info});
    EXPECT_EQ(lines.size(), 5u);
    EXPECT_LT(Level::debug, Level::info);
    EXPECT_LT(Level::info, Level::error);
}

namespace {

SSHAttemptProgress feed(SSHAttemptProgress progress, const std::string& line, bool isConnected) {
    if (auto signal = SSHLogParser::signal(line)) {
        progress.apply(*signal, line, isConnected);
    }
    return progress;
}

} // namespace

TEST(SSHAttemptProgress, BeforeTheSessionIsUpTheFirstFailureWins) {
    SSHAttemptProgress progress;
    progress = feed(progress, "channel 0: open failed: connect failed: Connection refused", false);
    progress = feed(progress, "ssh: connect to host 127.0.0.1 port 2223: Connection timed out", false);
    progress = feed(progress, "Host key verification failed.", false);
    EXPECT_EQ(progress.firstFailure, SSHFailure::connectionRefused());
}

TEST(SSHAttemptProgress, OnceConnectedTheLatestFailureWinsButChannelsDoNotCount) {
    SSHAttemptProgress progress;
    progress = feed(progress, "Error: remote port forwarding failed for listen port 8080", false);
    progress = feed(progress, "channel 3: open failed: connect failed: Connection refused", true);
    EXPECT_EQ(progress.firstFailure, SSHFailure::remoteForwardRejected("8080"));
    progress = feed(progress, "Read from remote host 127.0.0.1: Connection reset by peer", true);
    EXPECT_EQ(progress.firstFailure, SSHFailure::connectionLost());
    progress = feed(progress, "channel 4: open failed: administratively prohibited: open failed", true);
    EXPECT_EQ(progress.firstFailure, SSHFailure::connectionLost());
    progress = feed(progress, "ssh: something else", true);
    EXPECT_EQ(progress.firstFailure, SSHFailure::other("something else"));
}

TEST(SSHAttemptProgress, RemoteForwardsHoldTheConfirmationBack) {
    SSHAttemptProgress progress;
    progress = feed(progress, "debug1: ssh_init_forwarding: expecting replies for 2 forwards", false);
    progress = feed(progress, "Authenticated to host ([10.0.0.1]:22) using \"password\".", false);
    EXPECT_FALSE(progress.isConfirmed());
    progress = feed(progress, "debug1: Entering interactive session.", false);
    EXPECT_TRUE(progress.sessionStarted);
    EXPECT_FALSE(progress.isConfirmed());
    progress = feed(progress, "debug1: forwarding_success: all expected forwarding replies received", false);
    EXPECT_TRUE(progress.isConfirmed());
    EXPECT_EQ(progress.firstFailure, std::nullopt);
}

TEST(SSHAttemptProgress, WithoutRemoteForwardsTheSessionAloneConfirms) {
    SSHAttemptProgress progress;
    progress = feed(progress, "debug1: forwarding_success: all expected forwarding replies received", false);
    EXPECT_FALSE(progress.isConfirmed());
    progress = feed(progress, "debug1: Entering interactive session.", false);
    EXPECT_TRUE(progress.isConfirmed());
}

// Each recorded transcript, fed line by line as the connection does, must say what a person reading
// it would say: the failure, the signals, which lines are errors and what the session was.
namespace {

struct TranscriptReading {
    std::vector<SSHLogSignal> stateSignals;
    std::vector<std::string> errorLines;
    std::optional<SSHFailure> heldFailure;
    bool connected = false;
    SessionInfo session;
    int exitStatus = -1;
};

TranscriptReading read(const testing_support::SSHTranscript& transcript) {
    TranscriptReading reading;
    SSHAttemptProgress progress;
    for (const auto& line : transcript.lines) {
        if (SSHLogParser::level(line) == Level::error) {
            reading.errorLines.push_back(line);
        }
        reading.session.update(line);
        if (auto signal = SSHLogParser::signal(line)) {
            progress.apply(*signal, line, reading.connected);
            if (!signal->asFailure()) {
                reading.stateSignals.push_back(*signal);
            }
        }
        reading.connected = reading.connected || progress.isConfirmed();
    }
    reading.heldFailure = progress.firstFailure;
    reading.exitStatus = transcript.exitStatus;
    return reading;
}

SessionInfo loopbackSession(const std::optional<std::string>& authentication) {
    SessionInfo session;
    session.address = "127.0.0.1:2222";
    session.serverSoftware = "OpenSSH_9.2p1 Debian-2+deb12u10";
    session.authentication = authentication;
    session.keyExchange = "sntrup761x25519-sha512";
    session.hostKeyAlgorithm = "ssh-ed25519";
    session.hostKey = "ssh-ed25519 SHA256:U7kxWvw+V1PiSJaicGa0sjw8OOw/k69K5R8RniGiVz8";
    session.cipherToServer = "chacha20-poly1305@openssh.com";
    session.cipherFromServer = "chacha20-poly1305@openssh.com";
    return session;
}

struct TranscriptCase {
    std::string name;
    TranscriptReading expected;
};

void PrintTo(const TranscriptCase& c, std::ostream* out) {
    *out << c.name;
}

const auto authenticated = SSHLogSignal::authenticated();
const auto sessionStarted = SSHLogSignal::sessionStarted();
const auto confirmed = SSHLogSignal::remoteForwardsConfirmed();
const auto expectingOne = SSHLogSignal::expectingRemoteForwards(1);

std::vector<TranscriptCase> transcriptCases() {
    SessionInfo refusedSession;
    refusedSession.address = "127.0.0.1:2223";
    return {
        {"a_local_ok",
         {{authenticated, sessionStarted}, {}, std::nullopt, true, loopbackSession("publickey"), 0}},
        {"b_remote_ok",
         {{authenticated, expectingOne, sessionStarted, confirmed},
          {},
          std::nullopt,
          true,
          loopbackSession("publickey"),
          0}},
        {"c_dynamic_ok",
         {{authenticated, sessionStarted}, {}, std::nullopt, true, loopbackSession("publickey"), 0}},
        {"d_remote_inuse",
         {{authenticated, expectingOne, sessionStarted},
          {"Error: remote port forwarding failed for listen port 8080"},
          SSHFailure::remoteForwardRejected("8080"),
          false,
          loopbackSession("publickey"),
          255}},
        {"e_local_inuse",
         {{authenticated},
          {"bind [127.0.0.1]:8080: Address already in use", "Could not request local forwarding."},
          SSHFailure::localPortInUse("127.0.0.1:8080"),
          false,
          loopbackSession("publickey"),
          255}},
        {"f_refused",
         {{},
          {"ssh: connect to host 127.0.0.1 port 2223: Connection refused"},
          SSHFailure::connectionRefused(),
          false,
          refusedSession,
          255}},
        {"g_unknown_host",
         {{},
          {"ssh: Could not resolve hostname nosuchhost.invalid: Name or service not known"},
          SSHFailure::hostNotFound(),
          false,
          SessionInfo{},
          255}},
        {"h_auth_fail",
         {{},
          {"root@127.0.0.1: Permission denied (publickey)."},
          SSHFailure::authenticationFailed(),
          false,
          loopbackSession(std::nullopt),
          255}},
        {"i_hostkey_changed",
         {{},
          {"@    WARNING: REMOTE HOST IDENTIFICATION HAS CHANGED!     @", "Host key verification failed."},
          SSHFailure::hostKeyChanged(),
          false,
          loopbackSession(std::nullopt),
          255}},
        {"j1_server_killed",
         {{authenticated, sessionStarted},
          {"Connection to 127.0.0.1 closed by remote host."},
          SSHFailure::connectionLost(),
          true,
          loopbackSession("publickey"),
          255}},
        {"j2_server_hung",
         {{authenticated, sessionStarted},
          {"Timeout, server 127.0.0.1 not responding."},
          SSHFailure::connectionLost(),
          true,
          loopbackSession("publickey"),
          255}},
        {"k_remote_port0",
         {{authenticated, expectingOne, sessionStarted, confirmed},
          {},
          std::nullopt,
          true,
          loopbackSession("publickey"),
          0}},
    };
}

class SSHTranscriptReading : public testing::TestWithParam<TranscriptCase> {};

} // namespace

TEST_P(SSHTranscriptReading, GivesWhatAReaderWouldName) {
    const auto& c = GetParam();
    const auto transcript = testing_support::loadSSHTranscript(c.name);
    ASSERT_FALSE(transcript.lines.empty()) << "missing transcript " << c.name;
    for (const auto& line : transcript.lines) {
        ASSERT_EQ(line.find('\r'), std::string::npos) << line;
    }
    const auto reading = read(transcript);
    EXPECT_EQ(reading.stateSignals, c.expected.stateSignals);
    EXPECT_EQ(reading.errorLines, c.expected.errorLines);
    EXPECT_EQ(reading.heldFailure, c.expected.heldFailure);
    EXPECT_EQ(reading.connected, c.expected.connected);
    EXPECT_EQ(reading.session, c.expected.session);
    EXPECT_EQ(reading.exitStatus, c.expected.exitStatus);
}

INSTANTIATE_TEST_SUITE_P(RealSSH, SSHTranscriptReading, testing::ValuesIn(transcriptCases()),
                         [](const testing::TestParamInfo<TranscriptCase>& info) { return info.param.name; });
