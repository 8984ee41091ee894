#include "LiveServer.h"

#include "Burrowlight/Core/AppModel.h"
#include "LoopbackNetwork.h"
#include "SSHServerFixture.h"
#include "Screenshots.h"
#include "TestFailure.h"
#include "TunnelKit/ChildProcess.h"
#include "TunnelKit/FileIO.h"
#include "TunnelKit/TunnelConnection.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QThread>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

using namespace tunnelkit;

namespace testing_support {

// The helpers of the tests' server report here: a picture without its server would show nothing.
void recordFailure(const std::string& message, std::source_location where) {
    std::fprintf(stderr, "%s:%u: %s\n", where.file_name(), where.line(), message.c_str());
    std::exit(EXIT_FAILURE);
}

} // namespace testing_support

namespace screenshots {

namespace {

std::string homeFile(const std::string& name) {
    return QDir(Stage::home()).filePath(QString::fromStdString(name)).toStdString();
}

void run(const std::vector<std::string>& arguments) {
    const auto done = runChildProcess({"/usr/bin/ssh-keygen",
                                       arguments,
                                       {{"PATH", "/usr/bin:/bin"}},
                                       ErrorOutput::joined,
                                       std::chrono::milliseconds(30'000)});
    if (!done || done->termination != Termination(Exited{0})) {
        testing_support::recordFailure("ssh-keygen failed" + (done ? ": " + done->output : std::string()));
    }
}

// The server, and the client's files in the stage's home: made once for every picture.
struct Server {
    testing_support::SSHServer sshd{{"ecdsa", "rsa"}};
    std::string key = homeFile(".ssh/production-bastion_ed25519");
    std::string knownHosts = homeFile(".ssh/known_hosts.d/bastion.internal.example.com");

    Server() {
        std::filesystem::create_directories(homeFile(".ssh/known_hosts.d"));
        std::filesystem::create_directories(homeFile(".local/state/com.tolvan.burrowlight"));
        std::filesystem::copy_file(sshd.clientKeyPath(), key);
        std::filesystem::copy_file(sshd.clientKeyPath() + ".pub", key + ".pub");
        std::filesystem::permissions(key, std::filesystem::perms::owner_read |
                                              std::filesystem::perms::owner_write);
        // A certificate beside the key, signed by an authority the server does not know: ssh offers
        // it, then the key.
        const std::string authority = sshd.folder() + "/user_ca";
        testing_support::generateKey(authority);
        run({"-q", "-s", authority, "-I", "anna@laptop", "-n", "anna", "-V", "+52w", key + ".pub"});
        if (!writeFileAtomically(knownHosts, sshd.knownHostsLines(), 0600)) {
            testing_support::recordFailure("cannot write " + knownHosts);
        }
    }
};

Server& server() {
    static Server started;
    return started;
}

std::string userName() {
    return qEnvironmentVariable("USER", QStringLiteral("root")).toStdString();
}

Tunnel liveTunnel(const std::string& name, const std::string& hostKeyAlgorithm) {
    Server& live = server();
    const auto port = testing_support::freeLoopbackPort;
    Tunnel tunnel = Tunnel::created();
    tunnel.name = name;
    tunnel.host = "127.0.0.1";
    tunnel.port = live.sshd.port();
    tunnel.user = userName();
    tunnel.identityFile = "~/.ssh/production-bastion_ed25519";
    tunnel.certificateFile = "~/.ssh/production-bastion_ed25519-cert.pub";
    tunnel.tags = {"databases", "work"};
    tunnel.note = "Replica for the nightly reports; ask ops before changing the key.";
    tunnel.connectsAtLaunch = true;
    tunnel.retryLimit = 3;
    tunnel.logFile = "~/.local/state/com.tolvan.burrowlight/production-bastion.log";
    tunnel.forwards = {
        Forward::make(Uuid::random(), Forward::Kind::local, true, Endpoint::tcp("localhost", port()),
                      Endpoint::tcp("127.0.0.1", 5432), "PostgreSQL"),
        Forward::make(Uuid::random(), Forward::Kind::local, true, Endpoint::tcp("127.0.0.1", port()),
                      Endpoint::tcp("localhost", 9), "Grafana on the warehouse replica"),
        Forward::make(Uuid::random(), Forward::Kind::remote, true, Endpoint::tcp("", port()),
                      Endpoint::tcp("localhost", 3000), "Webhooks to my laptop"),
        Forward::make(Uuid::random(), Forward::Kind::dynamic, true, Endpoint::tcp("localhost", port()),
                      std::nullopt, "Browser proxy"),
        Forward::make(Uuid::random(), Forward::Kind::remoteDynamic, true, Endpoint::tcp("", port()),
                      std::nullopt, ""),
    };
    tunnel.options = {
        {Uuid::random(), "UserKnownHostsFile", live.knownHosts},
        {Uuid::random(), "StrictHostKeyChecking", "yes"},
        {Uuid::random(), "HostKeyAlgorithms", hostKeyAlgorithm},
        {Uuid::random(), "ServerAliveInterval", "30"},
        {Uuid::random(), "ConnectTimeout", "10"},
        {Uuid::random(), "NoHostAuthenticationForLocalhost", "no"},
        {Uuid::random(), "IdentitiesOnly", "yes"},
        {Uuid::random(), "ProxyCommand", "none"},
    };
    return tunnel;
}

// Saves and connects `tunnel`, waiting until ssh has set it up; what ssh said is added to `log`.
bool connectsWithin(burrowlight::AppModel& app, const Tunnel& tunnel, std::string& log) {
    app.controller().save(tunnel);
    app.controller().connect({tunnel.id});
    const auto connection = app.controller().connection(tunnel.id);
    QDeadlineTimer deadline(30'000);
    while (connection && !connection->state().isConnected() && !deadline.hasExpired()) {
        QApplication::processEvents(QEventLoop::AllEvents, 50);
        QThread::msleep(10);
    }
    if (connection && connection->state().isConnected()) {
        return true;
    }
    for (const auto& line : connection ? connection->log() : TunnelConnection::Log{}) {
        log += line.text + "\n";
    }
    app.controller().disconnect({tunnel.id});
    return false;
}

} // namespace

void connectLiveTunnel(burrowlight::AppModel& app, const std::string& name,
                       const std::string& hostKeyAlgorithm) {
    app.setTermsAccepted(true);
    const Uuid id = Uuid::random();
    // Tests running beside this program may take a drawn port before ssh binds it; fresh ports then.
    constexpr int attempts = 3;
    std::string log;
    for (int tried = 0; tried < attempts; ++tried) {
        Tunnel tunnel = liveTunnel(name, hostKeyAlgorithm);
        tunnel.id = id;
        if (connectsWithin(app, tunnel, log)) {
            return;
        }
    }
    testing_support::recordFailure("the tunnel did not connect:\n" + log);
}

} // namespace screenshots
