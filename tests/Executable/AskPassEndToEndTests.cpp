// ssh's questions answered by the real executable: the real ssh against the test's own sshd, with
// a key whose passphrase is kept in a real secret service, and the built burrowlight as ssh's
// askpass program. Every test runs inside with-secret-service.sh, so the keyring is a throwaway.
#include "BurrowlightProcess.h"
#include "Platform/LibsecretBackend.h"
#include "TempDir.h"
#include "TunnelKit/AskPass.h"
#include "TunnelKit/ChildProcess.h"
#include "TunnelKit/FileIO.h"
#include "TunnelKit/MainQueue.h"
#include "TunnelKit/SSHCommandBuilder.h"
#include "TunnelKit/SSHLog.h"
#include "TunnelKit/SSHProcess.h"
#include "TunnelKit/SecretStore.h"
#include "TunnelKit/Tunnel.h"

#include <arpa/inet.h>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <pwd.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace tunnelkit;
using namespace std::chrono_literals;
using testing_support::burrowlightExecutable;
using testing_support::TempDir;

namespace {

constexpr const char* bundleIdentifier = "com.tolvan.burrowlight";
constexpr const char* passphrase = "correct horse battery staple";
const std::string refusalLine = "Burrowlight: askpass refused, not started by Burrowlight through ssh";

std::string currentUserName() {
    const auto* entry = ::getpwuid(::getuid());
    return entry ? entry->pw_name : "root";
}

UniqueFd loopbackSocket() { return UniqueFd(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0)); }

sockaddr_in loopbackAddress(int port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}

// A port nobody listens on right now; the kernel picks it.
int freePort() {
    const auto socket = loopbackSocket();
    auto address = loopbackAddress(0);
    socklen_t length = sizeof address;
    if (::bind(socket.get(), reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::getsockname(socket.get(), reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        return 0;
    }
    return ntohs(address.sin_port);
}

// What a server at the port says first, or nothing when no connection can be made.
std::optional<std::string> greeting(int port) {
    const auto socket = loopbackSocket();
    const auto address = loopbackAddress(port);
    if (::connect(socket.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        return std::nullopt;
    }
    timeval limit{10, 0};
    ::setsockopt(socket.get(), SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
    char buffer[256];
    const auto count = ::read(socket.get(), buffer, sizeof buffer);
    return count > 0 ? std::optional(std::string(buffer, static_cast<size_t>(count))) : std::nullopt;
}

bool ranSuccessfully(const Result<ChildProcessResult, LaunchError>& result) {
    return result && result->termination == Termination(Exited{0});
}

std::string firstTwoWords(const std::string& line) {
    const auto first = line.find(' ');
    return line.substr(0, line.find(' ', first + 1));
}

// The test's own sshd on 127.0.0.1, and a client key that only opens with the passphrase. The
// daemon runs in the foreground as the test's child and gets SIGKILL should the test die.
class PassphraseKeyServer {
public:
    PassphraseKeyServer() {
        if (::geteuid() == 0) {
            ::mkdir("/run/sshd", 0755); // sshd's privilege separation folder, needed as root
        }
        const Environment tools{{"PATH", "/usr/bin:/bin"}};
        const auto keygen = [&](const std::string& path, const std::string& keyPassphrase) {
            return ranSuccessfully(runChildProcess({"/usr/bin/ssh-keygen",
                                                    {"-q", "-t", "ed25519", "-N", keyPassphrase, "-C", "test", "-f", path},
                                                    tools,
                                                    ErrorOutput::joined,
                                                    std::chrono::milliseconds(30s)}));
        };
        if (!keygen(folder_.file("host_ed25519"), "") || !keygen(clientKeyPath(), passphrase)) {
            ADD_FAILURE() << "ssh-keygen failed";
            return;
        }
        hostKey_ = firstTwoWords(readFile(folder_.file("host_ed25519.pub")).value_or(""));
        if (!writeFileAtomically(folder_.file("authorized_keys"), readFile(clientKeyPath() + ".pub").value_or(""),
                                 0600)) {
            ADD_FAILURE() << "no authorized_keys";
            return;
        }
        // Another process may take the chosen port before sshd binds it: then choose again.
        for (int tries = 0; tries < 5 && daemon_ == 0; ++tries) {
            start();
        }
        if (daemon_ == 0) {
            ADD_FAILURE() << "sshd did not start: " << readFile(folder_.file("sshd.log")).value_or("");
        }
    }

    ~PassphraseKeyServer() {
        if (daemon_ > 0) {
            ::kill(daemon_, SIGTERM);
            ::waitpid(daemon_, nullptr, 0);
        }
    }

    PassphraseKeyServer(const PassphraseKeyServer&) = delete;
    PassphraseKeyServer& operator=(const PassphraseKeyServer&) = delete;

    bool isRunning() const { return daemon_ > 0; }
    int port() const { return port_; }
    std::string clientKeyPath() const { return folder_.file("id_test"); }
    std::string knownHostsLine() const { return "[127.0.0.1]:" + std::to_string(port_) + " " + hostKey_ + "\n"; }
    std::string log() const { return readFile(folder_.file("sshd.log")).value_or(""); }

private:
    void start() {
        port_ = freePort();
        const std::string config = "ListenAddress 127.0.0.1\n"
                                   "Port " + std::to_string(port_) + "\n"
                                   "HostKey " + folder_.file("host_ed25519") + "\n"
                                   "PidFile none\n"
                                   "AuthorizedKeysFile " + folder_.file("authorized_keys") + "\n"
                                   "PasswordAuthentication no\n"
                                   "KbdInteractiveAuthentication no\n"
                                   "UsePAM no\n"
                                   "StrictModes no\n"
                                   "PermitRootLogin yes\n"
                                   "AllowTcpForwarding yes\n"
                                   "LogLevel VERBOSE\n";
        if (!writeFileAtomically(folder_.file("sshd_config"), config, 0600)) {
            return;
        }
        const pid_t daemon = startDaemon();
        const auto giveUp = std::chrono::steady_clock::now() + 30s;
        while (std::chrono::steady_clock::now() < giveUp) {
            if (::waitpid(daemon, nullptr, WNOHANG) == daemon) {
                return;
            }
            if (greeting(port_)) {
                daemon_ = daemon;
                return;
            }
            std::this_thread::sleep_for(20ms);
        }
        ::kill(daemon, SIGKILL);
        ::waitpid(daemon, nullptr, 0);
    }

    // Forked rather than spawned, so that the daemon dies with the test's thread even by a crash.
    pid_t startDaemon() const {
        const std::string executable = "/usr/sbin/sshd";
        const std::string config = folder_.file("sshd_config");
        const std::string log = folder_.file("sshd.log");
        const char* argv[] = {executable.c_str(), "-D", "-e", "-f", config.c_str(), nullptr};
        const char* envp[] = {"PATH=/usr/sbin:/usr/bin:/bin", nullptr};
        const pid_t parent = ::getpid();
        const pid_t child = ::fork();
        if (child != 0) {
            return child;
        }
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        const int null = ::open("/dev/null", O_RDONLY);
        const int output = ::open(log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0600);
        if (::getppid() != parent || null < 0 || output < 0) {
            ::_exit(127);
        }
        ::dup2(null, 0);
        ::dup2(output, 1);
        ::dup2(output, 2);
        ::close_range(3, ~0U, 0);
        ::execve(executable.c_str(), const_cast<char**>(argv), const_cast<char**>(envp));
        ::_exit(127);
    }

    TempDir folder_;
    std::string hostKey_;
    int port_ = 0;
    pid_t daemon_ = 0;
};

// The client's side: a tunnel to the server with one local forward, ssh's own configuration that
// trusts the server and uses only the tunnel's key, and the askpass ledger.
class AskPassEndToEnd : public testing::Test {
protected:
    void SetUp() override {
        const char* throwaway = std::getenv("BURROWLIGHT_THROWAWAY_KEYRING");
        const char* home = std::getenv("HOME");
        ASSERT_TRUE(throwaway && home && std::string(throwaway) == home)
            << "run through tests/support/with-secret-service.sh";
        ASSERT_TRUE(server.isRunning());

        ASSERT_TRUE(writeFileAtomically(client.file("known_hosts"), server.knownHostsLine(), 0600));
        const std::string configuration = "UserKnownHostsFile " + client.file("known_hosts") + "\n"
                                          "GlobalKnownHostsFile /dev/null\n"
                                          "StrictHostKeyChecking yes\n"
                                          "IdentitiesOnly yes\n"
                                          "IdentityAgent none\n"
                                          "PreferredAuthentications publickey\n";
        ASSERT_TRUE(writeFileAtomically(client.file("ssh_config"), configuration, 0600));

        tunnel = Tunnel::created();
        tunnel.name = "Test server";
        tunnel.host = "127.0.0.1";
        tunnel.port = server.port();
        tunnel.user = currentUserName();
        tunnel.identityFile = server.clientKeyPath();
        localPort = freePort();
        tunnel.forwards.push_back(Forward::make(Uuid::random(), Forward::Kind::local, true,
                                                Endpoint::tcp("127.0.0.1", localPort),
                                                Endpoint::tcp("127.0.0.1", server.port()), ""));

        SSHCommandBuilder builder(SSHCommandBuilder::defaultExecutable, true, std::getenv("HOME"));
        builder.configFile = client.file("ssh_config");
        builder.wrapperURL = client.file("wrapper_ssh_config");
        ASSERT_TRUE(builder.writeWrapperConfig());
        auto built = builder.invocation(tunnel);
        ASSERT_TRUE(built) << describe(built.error());
        invocation = *built;
    }

    // ssh's environment as a connection makes it, for the given attempt.
    Environment sshEnvironment(Uuid attempt) const {
        auto environment = AskPassEnvironment::sshEnvironment(testing_support::cleanEnvironment(),
                                                              burrowlightExecutable, tunnel, attempt, ledgerDirectory());
        // A helper that tried to show its dialog would fail at once instead of waiting for a click.
        environment["QT_QPA_PLATFORM"] = "no-such-platform";
        return environment;
    }

    std::string ledgerDirectory() const { return client.file("askpass"); }
    SecretKey passphraseKey() const { return {SecretKind::passphrase, server.clientKeyPath()}; }

    // Runs ssh to its end or until the tunnel is up, its lines folded as the connection does.
    struct SshRun {
        std::vector<std::string> lines;
        SSHAttemptProgress progress;
        std::optional<Termination> termination;

        std::string log() const {
            std::string all;
            for (const auto& line : lines) {
                all += line + "\n";
            }
            return all;
        }
    };

    std::optional<SSHProcess> launch(const std::string& executable, std::vector<std::string> arguments,
                                     const Environment& environment, SshRun& run) {
        auto launched = SSHProcess::launch(
            executable, std::move(arguments), environment, queue,
            {owner,
             [&run](const std::string& line) {
                 run.lines.push_back(line);
                 if (const auto signal = SSHLogParser::signal(line)) {
                     run.progress.apply(*signal, line, run.progress.isConfirmed());
                 }
             },
             [&run](const Termination& termination) { run.termination = termination; }});
        if (!launched) {
            ADD_FAILURE() << launched.error().message();
            return std::nullopt;
        }
        return std::move(*launched);
    }

    PassphraseKeyServer server;
    TempDir client;
    Tunnel tunnel;
    int localPort = 0;
    SSHInvocation invocation;
    std::shared_ptr<RunLoopQueue> queue = std::make_shared<RunLoopQueue>();
    std::shared_ptr<int> owner = std::make_shared<int>(0);
    SecretStore store{bundleIdentifier, std::make_shared<platform::secrets::LibsecretBackend>(bundleIdentifier)};
};

} // namespace

TEST_F(AskPassEndToEnd, savedPassphraseAnswersSshWithoutADialogAndTheTunnelComesUp) {
    ASSERT_TRUE(store.save(passphrase, tunnel.id, passphraseKey(), "Burrowlight: Test server"));
    const auto attempt = Uuid::random();

    // The application's place in the process tree: ssh's parent runs the burrowlight executable,
    // so the helper ssh starts finds its application among its ancestors.
    auto environment = sshEnvironment(attempt);
    testing_support::runArgumentsAsChild(environment);
    std::vector<std::string> arguments{invocation.executable};
    arguments.insert(arguments.end(), invocation.arguments.begin(), invocation.arguments.end());
    SshRun run;
    auto ssh = launch(burrowlightExecutable, arguments, environment, run);
    ASSERT_TRUE(ssh);

    queue->runUntil([&] { return run.progress.isConfirmed() || run.termination.has_value(); }, 60s);
    ASSERT_TRUE(run.progress.isConfirmed()) << run.log() << "\nsshd:\n" << server.log();
    EXPECT_FALSE(run.termination);
    // ssh asked, and the helper gave the saved passphrase.
    EXPECT_NE(run.log().find("Server accepts key: " + server.clientKeyPath()), std::string::npos) << run.log();
    EXPECT_NE(run.log().find("Authenticated to 127.0.0.1"), std::string::npos) << run.log();
    EXPECT_EQ(run.log().find(passphrase), std::string::npos) << "the secret never shows in ssh's log";

    // The forward carries a connection: through it the server's own greeting comes back.
    const auto answer = greeting(localPort);
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->rfind("SSH-2.0-", 0), 0u) << *answer;

    // The helper recorded the use under the key as ssh named it, and nothing was cancelled.
    const AskPassLedger ledger(ledgerDirectory());
    EXPECT_TRUE(fileExists(ledgerDirectory() + "/" + AskPassLedger::markerName(passphraseKey(), attempt)));
    EXPECT_FALSE(ledger.isCancelled(attempt));

    // Were ssh to ask again in the same attempt, the passphrase was refused: the user is asked,
    // told so. A new attempt offers the saved one again.
    const AskPassRequest again("Enter passphrase for key '" + server.clientKeyPath() + "': ", std::nullopt);
    const auto lookup = [&](const SecretKey& key) { return store.secret(tunnel.id, key); };
    EXPECT_EQ(AskPassDecision::decide(again, attempt, ledger, lookup), AskPassDecision::ask(true));
    EXPECT_EQ(AskPassDecision::decide(again, Uuid::random(), ledger, lookup), AskPassDecision::answer(passphrase));

    ssh->terminate(3s);
    queue->runUntil([&] { return run.termination.has_value(); }, 30s);
    EXPECT_TRUE(run.termination);
}

TEST_F(AskPassEndToEnd, sshStartedOutsideTheApplicationGetsNoSecret) {
    ASSERT_TRUE(store.save(passphrase, tunnel.id, passphraseKey(), "Burrowlight: Test server"));
    const auto attempt = Uuid::random();

    // Here ssh's ancestors are this test and what started it: no burrowlight among them.
    SshRun run;
    auto ssh = launch(invocation.executable, invocation.arguments, sshEnvironment(attempt), run);
    ASSERT_TRUE(ssh);
    queue->runUntil([&] { return run.termination.has_value(); }, 60s);

    ASSERT_TRUE(run.termination) << run.log();
    EXPECT_EQ(*run.termination, Termination(Exited{255})) << run.log();
    EXPECT_FALSE(run.progress.sessionStarted);
    EXPECT_NE(run.log().find(refusalLine), std::string::npos) << run.log();
    EXPECT_NE(run.log().find("Permission denied"), std::string::npos) << run.log();
    EXPECT_FALSE(std::filesystem::exists(ledgerDirectory())) << "the refusing helper leaves no marker";
}
