// The connection's state machine and log, driven by a stand-in for ssh: a shell script that prints
// what a test needs and ends as the test chooses (what a real server can't be made to do).
#include "ConnectionHarness.h"
#include "TunnelKit/TunnelConnection.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <regex>
#include <sys/resource.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

using namespace tunnelkit;
using namespace std::chrono_literals;
using testing_support::ConnectionHarness;
using testing_support::readWholeFile;

namespace {

using Names = std::vector<std::string>;

class TunnelConnectionTest : public ::testing::Test {
  protected:
    // A stand-in for ssh that runs `body` in a POSIX shell; it ignores its arguments.
    std::string fakeSSH(const std::string& body) {
        const auto path = harness.folder.file("fake-ssh-" + std::to_string(++scripts));
        EXPECT_TRUE(writeFileAtomically(path, "#!/bin/sh\n" + body + "\n", 0755));
        return path;
    }

    SSHCommandBuilder builderRunning(const std::string& executable) {
        SSHCommandBuilder builder(executable, false, harness.folder.file("home"));
        return builder;
    }

    Tunnel tunnel(int retryLimit = Tunnel::defaultRetryLimit) {
        auto tunnel = Tunnel::created();
        tunnel.name = "fake";
        tunnel.host = "example.test";
        tunnel.retryLimit = retryLimit;
        return tunnel;
    }

    TunnelConnection& connectionRunning(const std::string& body, int retryLimit = 0, Environment base = {}) {
        if (base.empty()) {
            base = {{"PATH", "/usr/bin:/bin"}};
        }
        auto& connection = harness.make(tunnel(retryLimit),
                                        harness.environment(builderRunning(fakeSSH(body)), std::move(base)));
        return connection;
    }

    // A FIFO the script blocks on until the test writes a line to it.
    std::string gate(const std::string& name) {
        const auto path = harness.folder.file(name);
        EXPECT_EQ(::mkfifo(path.c_str(), 0600), 0);
        return path;
    }
    void open(const std::string& fifo) {
        for (int attempt = 0; attempt < 3000; ++attempt) {
            const int fd = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
            if (fd >= 0) {
                EXPECT_EQ(::write(fd, "go\n", 3), 3);
                ::close(fd);
                return;
            }
            harness.queue->runFor(10ms);
        }
        FAIL() << "nobody waits at " << fifo;
    }

    std::vector<std::string> linesStartingWith(const std::string& prefix) const {
        std::vector<std::string> found;
        for (const auto& text : harness.logTexts()) {
            if (text.starts_with(prefix)) {
                found.push_back(text);
            }
        }
        return found;
    }

    ConnectionHarness harness;
    int scripts = 0;
};

// Launching

TEST_F(TunnelConnectionTest, FirstLineIsTheDisplayCommandAndTheStateIsConnecting) {
    auto& connection = connectionRunning("echo hello; exec sleep 1000");
    const auto expected = connection.environment().builder.invocation(connection.tunnel());
    ASSERT_TRUE(expected);

    connection.connect();

    EXPECT_EQ(connection.state(), TunnelState::connecting());
    ASSERT_TRUE(connection.processID());
    ASSERT_FALSE(connection.log().empty());
    EXPECT_EQ(connection.log().front().text, "$ " + expected->displayCommand);
    EXPECT_EQ(connection.log().front().level, SSHLogLine::Level::info);
    EXPECT_TRUE(connection.isActive());
    ASSERT_TRUE(harness.runUntil([&] { return harness.logContains("hello"); }));
    EXPECT_EQ(connection.log()[1].level, SSHLogLine::Level::info);
}

TEST_F(TunnelConnectionTest, MissingExecutableFailsAfterTheCommandLine) {
    auto& connection =
        harness.make(tunnel(), harness.environment(builderRunning(harness.folder.file("no-such-ssh"))));

    connection.connect();

    EXPECT_EQ(connection.state(), TunnelState::failed());
    EXPECT_EQ(connection.problem(), TunnelProblem::launchFailed(LaunchError{ENOENT}));
    ASSERT_EQ(connection.log().size(), 1u);
    EXPECT_TRUE(connection.log().front().text.starts_with("$ "));
    EXPECT_FALSE(connection.processID());
    EXPECT_FALSE(connection.isActive());
    EXPECT_EQ(harness.stateNames(), (Names{"failed"}));

    // Failed means not wanted: a new connect tries again.
    connection.connect();
    EXPECT_EQ(connection.log().size(), 2u);
    EXPECT_EQ(harness.stateNames(), (Names{"failed"}));
}

TEST_F(TunnelConnectionTest, InvalidSettingsFailWithoutStartingAnything) {
    auto record = tunnel();
    record.host = "";
    auto& connection = harness.make(record, harness.environment(builderRunning(fakeSSH("exit 0"))));

    connection.connect();

    EXPECT_EQ(connection.state(), TunnelState::failed());
    EXPECT_EQ(connection.problem(), TunnelProblem::invalidSettings(SSHCommandError::missingHost()));
    EXPECT_TRUE(connection.log().empty());
}

TEST_F(TunnelConnectionTest, UnwritableWrapperConfigurationFailsTheLaunch) {
    const auto blocker = harness.folder.file("a-file");
    ASSERT_TRUE(writeFileAtomically(blocker, "x"));
    auto builder = builderRunning(fakeSSH("exit 0"));
    builder.wrapperURL = blocker + "/wrapper.ssh_config";
    auto& connection = harness.make(tunnel(), harness.environment(builder));

    connection.connect();

    EXPECT_EQ(connection.state(), TunnelState::failed());
    ASSERT_TRUE(connection.problem());
    const auto* failed = connection.problem()->as<TunnelProblem::LaunchFailed>();
    ASSERT_NE(failed, nullptr);
    EXPECT_EQ(failed->reason, (std::variant<FileError, LaunchError>(
                                  FileError::system(FileError::Operation::createFolder, blocker, ENOTDIR))));
    EXPECT_TRUE(connection.log().empty());
}

// ssh's environment

TEST_F(TunnelConnectionTest, SSHGetsTheAskPassVariablesAndNoDisplay) {
    auto& connection = connectionRunning("env; exit 0", 1,
                                         {{"PATH", "/usr/bin:/bin"},
                                          {"DISPLAY", ":7"},
                                          {"KEPT", "yes"},
                                          {"SSH_ASKPASS", "/somewhere/else"},
                                          {"BURROWLIGHT_ATTEMPT", "stale"}});
    connection.connect();
    ASSERT_TRUE(harness.runUntilSettled());

    const auto& id = connection.tunnel().id.toString();
    for (const auto* expected :
         {"BURROWLIGHT_DISPLAY=:7", "KEPT=yes", "SSH_ASKPASS=/bin/false", "SSH_ASKPASS_REQUIRE=force",
          "BURROWLIGHT_ASKPASS=1", "BURROWLIGHT_TUNNEL_NAME=fake"}) {
        EXPECT_EQ(linesStartingWith(expected).size(), 2u) << expected; // once per attempt
    }
    EXPECT_EQ(linesStartingWith("BURROWLIGHT_TUNNEL_ID=" + id).size(), 2u);
    EXPECT_EQ(linesStartingWith("BURROWLIGHT_STATE_DIR=" + connection.environment().stateDirectory).size(),
              2u);
    EXPECT_TRUE(linesStartingWith("DISPLAY=").empty());

    const auto attempts = linesStartingWith("BURROWLIGHT_ATTEMPT=");
    ASSERT_EQ(attempts.size(), 2u);
    EXPECT_NE(attempts[0], attempts[1]);
    EXPECT_TRUE(Uuid::parse(attempts[0].substr(std::strlen("BURROWLIGHT_ATTEMPT="))));
}

// How an attempt ends

TEST_F(TunnelConnectionTest, ExitStatusWithoutFailureLineIsTheProblem) {
    auto& connection = connectionRunning("echo 'nothing ssh would say'; exit 3", 0);
    connection.connect();
    ASSERT_TRUE(harness.runUntilSettled());

    EXPECT_EQ(harness.stateNames(), (Names{"connecting", "failed"}));
    EXPECT_EQ(connection.problem(), TunnelProblem::exited(3));
    EXPECT_EQ(connection.log().back().text, "ssh exited with status 3");
    EXPECT_EQ(connection.log().back().level, SSHLogLine::Level::debug);
}

TEST_F(TunnelConnectionTest, CleanExitIsRetriedUntilTheLimit) {
    auto& connection = connectionRunning("exit 0", 2);
    const auto before = currentDate();
    connection.connect();
    ASSERT_TRUE(harness.runUntilSettled());

    EXPECT_EQ(harness.stateNames(),
              (Names{"connecting", "retrying", "connecting", "retrying", "connecting", "failed"}));
    const auto states = harness.states();
    EXPECT_EQ(states[1].as<TunnelState::Retrying>()->attempt, 1);
    EXPECT_EQ(states[3].as<TunnelState::Retrying>()->attempt, 2);
    EXPECT_GE(states[1].as<TunnelState::Retrying>()->at, before);
    EXPECT_EQ(harness.reports[1].problem, TunnelProblem::exited(0));
    EXPECT_EQ(connection.problem(), TunnelProblem::exited(0));
    EXPECT_EQ(linesStartingWith("$ ").size(), 3u);
}

TEST_F(TunnelConnectionTest, RetryLimitZeroFailsAtTheFirstRetryableProblem) {
    auto& connection =
        connectionRunning("echo 'ssh: connect to host example.test port 22: Connection refused'; exit 255");
    connection.connect();
    ASSERT_TRUE(harness.runUntilSettled());

    EXPECT_EQ(harness.stateNames(), (Names{"connecting", "failed"}));
    EXPECT_EQ(connection.problem(), TunnelProblem::ssh(SSHFailure::connectionRefused()));
}

TEST_F(TunnelConnectionTest, EndBySignalWithoutFailureIsALostConnection) {
    auto& connection = connectionRunning("kill -KILL $$");
    connection.connect();
    ASSERT_TRUE(harness.runUntilSettled());

    EXPECT_EQ(connection.problem(), TunnelProblem::ssh(SSHFailure::connectionLost()));
    EXPECT_FALSE(harness.logContains("ssh exited with status"));
}

TEST_F(TunnelConnectionTest, BeforeTheSessionTheFirstFailureWins) {
    auto& connection =
        connectionRunning("echo 'root@example.test: Permission denied (publickey).'\n"
                          "echo 'ssh: connect to host example.test port 22: Connection refused'\n"
                          "exit 255",
                          Tunnel::defaultRetryLimit);
    connection.connect();
    ASSERT_TRUE(harness.runUntilSettled());

    // Not retryable, so failed at once even with retries left.
    EXPECT_EQ(harness.stateNames(), (Names{"connecting", "failed"}));
    EXPECT_EQ(connection.problem(), TunnelProblem::ssh(SSHFailure::authenticationFailed()));
    EXPECT_EQ(connection.log()[1].level, SSHLogLine::Level::error);
    EXPECT_EQ(connection.log()[2].level, SSHLogLine::Level::error);
}

TEST_F(TunnelConnectionTest, AfterTheSessionChannelFailuresAreIgnoredAndTheLatestFailureCounts) {
    const std::string session = "echo 'debug1: Entering interactive session.'\n"
                                "echo 'channel 2: open failed: connect failed: Connection refused'\n";
    {
        auto& connection = connectionRunning(session + "exit 255");
        connection.connect();
        ASSERT_TRUE(harness.runUntilSettled());
        EXPECT_EQ(harness.stateNames(), (Names{"connecting", "connected", "failed"}));
        EXPECT_EQ(connection.problem(), TunnelProblem::exited(255));
        harness.finish();
    }
    ConnectionHarness second;
    auto& connection = second.make(
        tunnel(0), second.environment(builderRunning(fakeSSH(
                       session + "echo 'Read from remote host example.test: Connection reset by peer'\n"
                                 "exit 255"))));
    connection.connect();
    ASSERT_TRUE(second.runUntilSettled());
    EXPECT_EQ(connection.problem(), TunnelProblem::ssh(SSHFailure::connectionLost()));
}

TEST_F(TunnelConnectionTest, RemoteForwardsKeepItConnectingUntilConfirmed) {
    const auto release = gate("confirm");
    auto& connection =
        connectionRunning("echo 'debug1: ssh_init_forwarding: expecting replies for 2 forwards'\n"
                          "echo 'debug1: Entering interactive session.'\n"
                          "read line < " +
                          release +
                          "\n"
                          "echo 'debug1: forwarding_success: all expected forwarding replies received'\n"
                          "exec sleep 1000");
    connection.connect();
    ASSERT_TRUE(harness.runUntil([&] { return harness.logContains("Entering interactive session"); }));
    harness.queue->runFor(100ms);
    EXPECT_EQ(connection.state(), TunnelState::connecting());

    open(release);
    ASSERT_TRUE(harness.runUntilState<TunnelState::Connected>());
    EXPECT_EQ(connection.log()[harness.reports.back().logSize - 1].text,
              "debug1: forwarding_success: all expected forwarding replies received");
    EXPECT_EQ(connection.problem(), std::nullopt);
}

TEST_F(TunnelConnectionTest, CancelMarkerFailsWithoutRetryAndIsCleared) {
    auto& connection =
        connectionRunning("mkdir -p \"$BURROWLIGHT_STATE_DIR\"\n"
                          ": > \"$BURROWLIGHT_STATE_DIR/$BURROWLIGHT_ATTEMPT.cancelled\"\n"
                          ": > \"$BURROWLIGHT_STATE_DIR/$BURROWLIGHT_ATTEMPT.0123abcd\"\n"
                          ": > \"$BURROWLIGHT_STATE_DIR/11111111-2222-4333-8444-555555555555.cancelled\"\n"
                          "echo 'ssh: connect to host example.test port 22: Connection refused'\n"
                          "exit 255",
                          Tunnel::defaultRetryLimit);
    connection.connect();
    ASSERT_TRUE(harness.runUntilSettled());

    EXPECT_EQ(harness.stateNames(), (Names{"connecting", "failed"}));
    EXPECT_EQ(connection.problem(), TunnelProblem::cancelled());
    std::vector<std::string> left;
    for (const auto& entry : std::filesystem::directory_iterator(connection.environment().stateDirectory)) {
        left.push_back(entry.path().filename().string());
    }
    EXPECT_EQ(left, (Names{"11111111-2222-4333-8444-555555555555.cancelled"}));
}

// Commands

TEST_F(TunnelConnectionTest, DisconnectEndsSSHAndKeepsTheProblem) {
    auto& connection = connectionRunning("echo 'debug1: Entering interactive session.'; exec sleep 1000");
    connection.connect();
    ASSERT_TRUE(harness.runUntilState<TunnelState::Connected>());

    connection.disconnect();
    EXPECT_EQ(connection.state(), TunnelState::disconnecting());
    EXPECT_FALSE(connection.isActive());
    ASSERT_TRUE(harness.runUntilState<TunnelState::Disconnected>());
    EXPECT_EQ(harness.stateNames(), (Names{"connecting", "connected", "disconnecting", "disconnected"}));
    EXPECT_FALSE(connection.processID());
    EXPECT_EQ(connection.problem(), std::nullopt);
}

TEST_F(TunnelConnectionTest, DisconnectWhileRetryingCancelsTheWaitForGood) {
    auto& connection = connectionRunning("exit 1", Tunnel::defaultRetryLimit);
    connection.connect();
    ASSERT_TRUE(harness.runUntilState<TunnelState::Retrying>());

    connection.disconnect();
    EXPECT_EQ(connection.state(), TunnelState::disconnected());
    EXPECT_EQ(connection.problem(), TunnelProblem::exited(1));
    const auto logSize = connection.log().size();
    harness.queue->runFor(500ms); // well past the retry's wait
    EXPECT_EQ(connection.log().size(), logSize);
    EXPECT_EQ(harness.stateNames(), (Names{"connecting", "retrying", "disconnected"}));
}

TEST_F(TunnelConnectionTest, RetryNowSkipsTheWaitAndDoesNothingElsewhere) {
    auto& connection = connectionRunning("exit 1", Tunnel::defaultRetryLimit);
    auto environment = connection.environment();
    environment.retryPolicy = RetryPolicy{std::chrono::hours(1), std::chrono::hours(1)};
    connection.setEnvironment(environment);

    connection.retryNow();
    EXPECT_TRUE(connection.log().empty());
    EXPECT_TRUE(harness.reports.empty());

    connection.connect();
    ASSERT_TRUE(harness.runUntilState<TunnelState::Retrying>());
    connection.retryNow();
    EXPECT_EQ(connection.state(), TunnelState::connecting());
    ASSERT_TRUE(harness.runUntilState<TunnelState::Retrying>());
    // The count was not reset: this is the second retry.
    EXPECT_EQ(connection.state().as<TunnelState::Retrying>()->attempt, 2);
    connection.disconnect();
}

TEST_F(TunnelConnectionTest, ConnectWhileDisconnectingStartsAFreshAttemptAfterTheExit) {
    auto& connection = connectionRunning("echo \"attempt $BURROWLIGHT_ATTEMPT\"\n"
                                         "echo 'debug1: Entering interactive session.'\n"
                                         "exec sleep 1000");
    connection.connect();
    ASSERT_TRUE(harness.runUntilState<TunnelState::Connected>());
    const auto firstPid = connection.processID();

    connection.disconnect();
    connection.connect();
    EXPECT_EQ(connection.state(), TunnelState::disconnecting());
    EXPECT_TRUE(connection.isActive());

    ASSERT_TRUE(harness.runUntilState<TunnelState::Connected>());
    EXPECT_EQ(harness.stateNames(),
              (Names{"connecting", "connected", "disconnecting", "connecting", "connected"}));
    EXPECT_NE(connection.processID(), firstPid);
    const auto attempts = linesStartingWith("attempt ");
    ASSERT_EQ(attempts.size(), 2u);
    EXPECT_NE(attempts[0], attempts[1]);
}

TEST_F(TunnelConnectionTest, RestartRelaunchesOnlyAWantedTunnel) {
    auto& connection = connectionRunning("echo 'debug1: Entering interactive session.'; exec sleep 1000");
    connection.restart();
    EXPECT_TRUE(connection.log().empty());

    connection.connect();
    ASSERT_TRUE(harness.runUntilState<TunnelState::Connected>());
    connection.restart();
    EXPECT_TRUE(connection.state().isConnected()); // unchanged until ssh has exited
    ASSERT_TRUE(harness.runUntil(
        [&] { return linesStartingWith("$ ").size() == 2 && connection.state().isConnected(); }));
    EXPECT_EQ(harness.stateNames(), (Names{"connecting", "connected", "connecting", "connected"}));
}

TEST_F(TunnelConnectionTest, UpdatedRecordDecidesTheNextRetry) {
    const auto release = gate("end");
    auto& connection = connectionRunning("read line < " + release + "; exit 0", Tunnel::defaultRetryLimit);
    connection.connect();
    const auto pid = connection.processID();

    auto changed = connection.tunnel();
    changed.retryLimit = 0;
    connection.update(changed);
    EXPECT_EQ(connection.processID(), pid);

    open(release);
    ASSERT_TRUE(harness.runUntilSettled());
    EXPECT_EQ(harness.stateNames(), (Names{"connecting", "failed"}));
}

TEST_F(TunnelConnectionTest, StateChangesReportOnlyRealChangesWithTheProblemAlreadySet) {
    auto& connection = connectionRunning("exit 4");
    std::vector<TunnelConnection::Change> changes;
    auto subscription =
        connection.observe([&](const TunnelConnection::Change& change) { changes.push_back(change); });

    connection.disconnect(); // disconnected already
    EXPECT_TRUE(harness.reports.empty());
    EXPECT_TRUE(changes.empty());

    connection.connect();
    ASSERT_TRUE(harness.runUntilSettled());
    ASSERT_EQ(harness.reports.size(), 2u);
    EXPECT_EQ(harness.reports[0].old, TunnelState::disconnected());
    EXPECT_EQ(harness.reports[1].old, TunnelState::connecting());
    EXPECT_EQ(harness.reports[1].problem, TunnelProblem::exited(4));

    const auto count = [&](TunnelConnection::Change change) { return std::ranges::count(changes, change); };
    EXPECT_EQ(count(TunnelConnection::Change::state), 2);
    EXPECT_EQ(count(TunnelConnection::Change::problem), 1);
    EXPECT_EQ(count(TunnelConnection::Change::log), static_cast<long>(connection.log().size()));
    EXPECT_EQ(count(TunnelConnection::Change::tunnel), 0);

    connection.update(connection.tunnel());
    EXPECT_EQ(count(TunnelConnection::Change::tunnel), 0);
    auto renamed = connection.tunnel();
    renamed.name = "renamed";
    connection.update(renamed);
    EXPECT_EQ(count(TunnelConnection::Change::tunnel), 1);
}

TEST_F(TunnelConnectionTest, RegistryListsSSHWhileItRuns) {
    const auto release = gate("end");
    auto& connection = connectionRunning("read line < " + release + "; exit 0");
    connection.connect();
    const auto pid = connection.processID();
    ASSERT_TRUE(pid);
    const auto& registry = *connection.environment().registry;
    harness.endTurn();
    ASSERT_EQ(registry.load().size(), 1u) << "written by the end of the turn that started ssh";
    EXPECT_EQ(registry.load().front().pid, *pid);

    open(release);
    ASSERT_TRUE(harness.runUntilSettled());
    harness.endTurn();
    EXPECT_TRUE(registry.load().empty());
}

// The log

TEST_F(TunnelConnectionTest, LogKeepsTheNewestLinesAndIdsSurviveClearing) {
    auto& connection =
        connectionRunning("i=1; while [ $i -le 1999 ]; do echo \"line $i\"; i=$((i+1)); done; exit 0");
    connection.connect();
    ASSERT_TRUE(harness.runUntilSettled());

    // "$ ", 1999 lines and the exit line: 2001 appends.
    ASSERT_EQ(connection.log().size(), TunnelConnection::logLimit);
    EXPECT_EQ(connection.log().front().id, 1);
    EXPECT_EQ(connection.log().front().text, "line 1");
    EXPECT_EQ(connection.log().back().id, 2000);

    connection.clearLog();
    EXPECT_TRUE(connection.log().empty());
    connection.connect();
    ASSERT_FALSE(connection.log().empty());
    EXPECT_EQ(connection.log().front().id, 2001);
    EXPECT_TRUE(connection.log().front().text.starts_with("$ "));
}

TEST_F(TunnelConnectionTest, SessionStartsEmptyAtEveryAttempt) {
    auto& connection = connectionRunning("echo 'debug1: Remote protocol version 2.0, remote software version "
                                         "OpenSSH_9.2p1 Debian-2+deb12u10'\nexit 0",
                                         1);
    std::vector<SessionInfo> sessions;
    auto subscription = connection.observe([&](const TunnelConnection::Change& change) {
        if (change == TunnelConnection::Change::session) {
            sessions.push_back(connection.session());
        }
    });
    connection.connect();
    ASSERT_TRUE(harness.runUntilSettled());

    EXPECT_EQ(connection.session().serverSoftware, "OpenSSH_9.2p1 Debian-2+deb12u10");
    // The second launch emptied what the first had found.
    EXPECT_TRUE(std::ranges::any_of(sessions, [](const SessionInfo& session) { return session.isEmpty(); }));
}

// The log file

class TunnelConnectionLogFileTest : public TunnelConnectionTest {
  protected:
    std::vector<std::string> fileLines(const std::string& path) {
        return testing_support::splitOutputLines(readWholeFile(path));
    }
};

TEST_F(TunnelConnectionLogFileTest, HomePathAndMissingFoldersAreCreatedAndLinesAppended) {
    auto record = tunnel(0);
    record.logFile = "~/logs/deep/tunnel.log";
    auto& connection =
        harness.make(record, harness.environment(builderRunning(fakeSSH("echo from ssh; exit 0"))));
    connection.connect();
    ASSERT_TRUE(harness.runUntilSettled());

    const auto path = harness.folder.file("home/logs/deep/tunnel.log");
    const auto lines = fileLines(path);
    ASSERT_EQ(lines.size(), connection.log().size());
    const std::regex format(R"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\dZ .*)");
    for (size_t i = 0; i < lines.size(); ++i) {
        EXPECT_TRUE(std::regex_match(lines[i], format)) << lines[i];
        EXPECT_EQ(lines[i], formatIsoDate(connection.log()[i].date) + " " + connection.log()[i].text);
    }
    EXPECT_TRUE(
        lines.front().ends_with(" $ " + connection.environment().builder.invocation(record)->displayCommand));

    // A second attempt appends after what is there.
    connection.connect();
    ASSERT_TRUE(harness.runUntilSettled());
    EXPECT_EQ(fileLines(path).size(), 2 * lines.size());
    EXPECT_EQ(fileLines(path).front(), lines.front());
}

TEST_F(TunnelConnectionLogFileTest, FolderThatCannotBeMadeLeavesTheLogAlone) {
    const auto blocker = harness.folder.file("a-file");
    ASSERT_TRUE(writeFileAtomically(blocker, "x"));
    auto record = tunnel(0);
    record.logFile = blocker + "/sub/tunnel.log";
    auto& connection =
        harness.make(record, harness.environment(builderRunning(
                                 fakeSSH("echo 'debug1: Entering interactive session.'; exec sleep 1000"))));
    connection.connect();
    ASSERT_TRUE(harness.runUntilState<TunnelState::Connected>());

    EXPECT_FALSE(harness.logContains("Couldn't write the log file"));
    EXPECT_EQ(connection.log().size(), 2u);
}

TEST_F(TunnelConnectionLogFileTest, WriteErrorIsLoggedOnceAndTheNextAttemptWritesAgain) {
    const auto path = harness.folder.file("tunnel.log");
    auto record = tunnel(1);
    record.logFile = path;
    auto& connection = harness.make(record, harness.environment(builderRunning(
                                                fakeSSH("i=1; while [ $i -le 200 ]; do echo \"a line of some "
                                                        "length to fill the file $i\"; i=$((i+1)); done; "
                                                        "exit 0"))));

    // Files of this process may not grow past the limit; the write then fails with EFBIG.
    rlimit original{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &original), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = original;
    small.rlim_cur = 2048;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    auto restore = [&] { ::setrlimit(RLIMIT_FSIZE, &original); };
    auto subscription = connection.observe([&](const TunnelConnection::Change& change) {
        if (change == TunnelConnection::Change::state && connection.state().is<TunnelState::Retrying>()) {
            restore();
        }
    });
    connection.connect();
    const bool settled = harness.runUntilSettled();
    restore();
    std::signal(SIGXFSZ, previousHandler);
    ASSERT_TRUE(settled);

    const auto errors = linesStartingWith("Couldn't write the log file, no longer writing it: ");
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors.front(),
              std::string("Couldn't write the log file, no longer writing it: ") + std::strerror(EFBIG));

    const auto lines = fileLines(path);
    // The first attempt stopped writing at the error; the second wrote everything it logged.
    const auto secondStart = std::find_if(lines.begin() + 1, lines.end(), [](const std::string& line) {
        return line.find(" $ ") != std::string::npos;
    });
    ASSERT_NE(secondStart, lines.end());
    EXPECT_LT(secondStart - lines.begin(), 60);
    EXPECT_EQ(lines.end() - secondStart, 202); // "$ ", 200 lines, the exit line
    EXPECT_EQ(std::count_if(
                  lines.begin(), lines.end(),
                  [](const std::string& line) { return line.find("Couldn't write") != std::string::npos; }),
              0);
}

} // namespace
