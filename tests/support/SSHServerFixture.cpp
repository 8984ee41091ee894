#include "SSHServerFixture.h"

#include "ErrorPrinting.h"
#include "LoopbackNetwork.h"
#include "Platform/LinuxProcessTable.h"
#include "TestFailure.h"
#include "TunnelKit/ChildProcess.h"
#include "TunnelKit/FileIO.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <pwd.h>
#include <sstream>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace testing_support {

using namespace std::chrono_literals;
using tunnelkit::readFile;

namespace {

constexpr const char* sshdExecutable = "/usr/sbin/sshd";

struct ProcessStatus {
    pid_t pid = 0;
    pid_t parent = 0;
    pid_t group = 0;
    char state = '?';
};

// Fields 3 to 5 of /proc/PID/stat, read after the command name's closing parenthesis.
std::optional<ProcessStatus> processStatus(pid_t pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    if (!std::getline(in, line)) {
        return std::nullopt;
    }
    const auto close = line.rfind(')');
    if (close == std::string::npos) {
        return std::nullopt;
    }
    std::istringstream fields(line.substr(close + 1));
    ProcessStatus status;
    status.pid = pid;
    fields >> status.state >> status.parent >> status.group;
    return fields ? std::optional(status) : std::nullopt;
}

std::vector<ProcessStatus> allProcesses() {
    std::vector<ProcessStatus> processes;
    std::error_code ignored;
    for (const auto& entry : std::filesystem::directory_iterator("/proc", ignored)) {
        const auto name = entry.path().filename().string();
        if (name.empty() || name.find_first_not_of("0123456789") != std::string::npos) {
            continue;
        }
        if (auto status = processStatus(static_cast<pid_t>(std::stol(name)))) {
            processes.push_back(*status);
        }
    }
    return processes;
}

std::string commandName(pid_t pid) {
    auto name = readFile("/proc/" + std::to_string(pid) + "/comm").value_or("");
    if (!name.empty() && name.back() == '\n') {
        name.pop_back();
    }
    return name;
}

bool waitUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) {
    const auto until = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() >= until) {
            return done();
        }
        std::this_thread::sleep_for(20ms);
    }
    return true;
}

std::string currentUserName() {
    if (const auto* entry = ::getpwuid(::getuid())) {
        return entry->pw_name;
    }
    return "root";
}

void writeText(const std::string& path, const std::string& text, mode_t mode = 0600) {
    if (!tunnelkit::writeFileAtomically(path, text, mode)) {
        recordFailure("cannot write " + path);
    }
}

// sshd in the foreground, its output appended to `logPath`. Forked rather than spawned so that
// the daemon gets SIGKILL when the test's thread dies, even by a crash.
pid_t startDaemon(const std::string& configPath, const std::string& logPath) {
    std::vector<std::string> words{sshdExecutable, "-D", "-e", "-f", configPath};
    std::vector<char*> argv;
    for (auto& word : words) {
        argv.push_back(word.data());
    }
    argv.push_back(nullptr);
    char path[] = "PATH=/usr/sbin:/usr/bin:/bin";
    char* envp[] = {path, nullptr};
    const pid_t parent = ::getpid();

    const pid_t child = ::fork();
    if (child != 0) {
        return child;
    }
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (::getppid() != parent) {
        ::_exit(127);
    }
    const int null = ::open("/dev/null", O_RDONLY);
    const int log = ::open(logPath.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0600);
    if (null < 0 || log < 0) {
        ::_exit(127);
    }
    ::dup2(null, 0);
    ::dup2(log, 1);
    ::dup2(log, 2);
    ::close_range(3, ~0U, 0);
    ::execve(sshdExecutable, argv.data(), envp);
    ::_exit(127);
}

} // namespace

bool isAlive(pid_t pid) {
    const auto status = processStatus(pid);
    return status && status->state != 'Z' && status->state != 'X';
}

std::string generateKey(const std::string& path, const std::string& type) {
    const auto made = tunnelkit::runChildProcess({"/usr/bin/ssh-keygen",
                                                  {"-q", "-t", type, "-N", "", "-C", "test", "-f", path},
                                                  {{"PATH", "/usr/bin:/bin"}},
                                                  tunnelkit::ErrorOutput::joined,
                                                  std::chrono::milliseconds(30'000)});
    if (!made || made->termination != tunnelkit::Termination(tunnelkit::Exited{0})) {
        recordFailure("ssh-keygen failed for " + path + ": " +
                      (made ? made->output : std::string(std::strerror(made.error().code))));
        return {};
    }
    auto publicKey = readFile(path + ".pub").value_or("");
    while (!publicKey.empty() && (publicKey.back() == '\n' || publicKey.back() == '\r')) {
        publicKey.pop_back();
    }
    return publicKey;
}

std::vector<pid_t> liveMembersOf(pid_t group) {
    std::vector<pid_t> members;
    for (const auto& process : allProcesses()) {
        if (process.group == group && process.state != 'Z' && process.state != 'X') {
            members.push_back(process.pid);
        }
    }
    return members;
}

std::vector<pid_t> descendantsOf(pid_t ancestor) {
    const auto processes = allProcesses();
    std::vector<pid_t> found{ancestor};
    for (size_t next = 0; next < found.size(); ++next) {
        for (const auto& process : processes) {
            if (process.parent == found[next] && process.state != 'Z') {
                found.push_back(process.pid);
            }
        }
    }
    found.erase(found.begin());
    return found;
}

SSHServer::SSHServer(const std::vector<std::string>& otherHostKeys) : otherHostKeys_(otherHostKeys) {
    if (::geteuid() == 0) {
        ::mkdir("/run/sshd", 0755); // privilege separation folder; sshd refuses to run as root without it
    }
    hostPublicKey_ = generateKey(folder_.file("host_ed25519"));
    for (const auto& type : otherHostKeys_) {
        otherHostPublicKeys_.push_back(generateKey(folder_.file("host_" + type), type));
        if (otherHostPublicKeys_.back().empty()) {
            return;
        }
    }
    const auto clientKey = generateKey(clientKeyPath());
    if (hostPublicKey_.empty() || clientKey.empty()) {
        return;
    }
    writeText(folder_.file("authorized_keys"), clientKey + "\n");
    startOnce(true);
}

SSHServer::~SSHServer() {
    stop();
}

std::string SSHServer::knownHostsLine() const {
    const auto firstBlank = hostPublicKey_.find(' ');
    const auto secondBlank = hostPublicKey_.find(' ', firstBlank + 1);
    return "[127.0.0.1]:" + std::to_string(port_) + " " + hostPublicKey_.substr(0, secondBlank);
}

std::string SSHServer::knownHostsLines() const {
    std::string lines = knownHostsLine() + "\n";
    for (const auto& key : otherHostPublicKeys_) {
        lines += "[127.0.0.1]:" + std::to_string(port_) + " " + key.substr(0, key.rfind(' ')) + "\n";
    }
    return lines;
}

std::string SSHServer::log() const {
    return readFile(folder_.file("sshd.log")).value_or("");
}

bool SSHServer::writeConfig() const {
    const auto& d = folder_.path();
    std::ostringstream config;
    config << "ListenAddress 127.0.0.1\n"
           << "Port " << port_ << "\n"
           << "HostKey " << d << "/host_ed25519\n";
    for (const auto& type : otherHostKeys_) {
        config << "HostKey " << d << "/host_" << type << "\n";
    }
    config << "PidFile " << d << "/sshd.pid\n"
           << "AuthorizedKeysFile " << d << "/authorized_keys\n"
           << "PasswordAuthentication no\n"
           << "KbdInteractiveAuthentication no\n"
           << "UsePAM no\n"
           << "StrictModes no\n"
           << "PermitRootLogin yes\n"
           << "AllowTcpForwarding yes\n"
           << "X11Forwarding no\n"
           << "PrintMotd no\n"
           << "MaxStartups 100\n"
           << "LogLevel VERBOSE\n";
    return static_cast<bool>(tunnelkit::writeFileAtomically(folder_.file("sshd_config"), config.str(), 0600));
}

bool SSHServer::start() {
    if (isRunning()) {
        return true;
    }
    return startOnce(false);
}

// Waits for sshd's own word that it listens; a port taken meanwhile by another test is changed
// at the first start only, since a restart must come back where the clients expect it.
bool SSHServer::startOnce(bool mayChangePort) {
    for (int attempt = 0; attempt < 10; ++attempt) {
        if (mayChangePort) {
            port_ = freeLoopbackPort();
        }
        if (!writeConfig()) {
            recordFailure("cannot write sshd_config");
            return false;
        }
        const auto logPath = folder_.file("sshd.log");
        const auto logStart = log().size();
        const pid_t daemon = startDaemon(folder_.file("sshd_config"), logPath);
        if (daemon < 0) {
            recordFailure("fork failed");
            return false;
        }
        const std::string listening = "Server listening on 127.0.0.1 port " + std::to_string(port_) + ".";
        int waitStatus = 0;
        bool exited = false;
        const bool ready = waitUntil(
            [&] {
                exited = exited || ::waitpid(daemon, &waitStatus, WNOHANG) == daemon;
                return exited || log().find(listening, logStart) != std::string::npos;
            },
            30s);
        if (ready && !exited) {
            daemon_ = daemon;
            return true;
        }
        if (!exited) {
            ::kill(daemon, SIGKILL);
            ::waitpid(daemon, &waitStatus, 0);
        }
        const bool portTaken = log().find("Address already in use", logStart) != std::string::npos;
        if (!portTaken) {
            break;
        }
        if (!mayChangePort) {
            std::this_thread::sleep_for(200ms);
        }
    }
    recordFailure("sshd did not start on port " + std::to_string(port_) + ":\n" + log());
    return false;
}

void SSHServer::stop() {
    if (!isRunning()) {
        return;
    }
    // Frozen, the daemon forks no new session while its sessions are collected. Once it is gone
    // they become ours (we are their subreaper), so we can reap them rather than leave zombies.
    ::prctl(PR_SET_CHILD_SUBREAPER, 1);
    ::kill(daemon_, SIGSTOP);
    const auto sessions = descendantsOf(daemon_);
    ::kill(daemon_, SIGKILL);
    ::waitpid(daemon_, nullptr, 0);
    daemon_ = 0;
    for (const pid_t session : sessions) {
        ::kill(session, SIGTERM);
    }
    const auto allGone = [&] {
        for (const pid_t session : sessions) {
            ::waitpid(session, nullptr, WNOHANG);
        }
        return std::none_of(sessions.begin(), sessions.end(), [](pid_t pid) { return isAlive(pid); });
    };
    if (!waitUntil(allGone, 5s)) {
        for (const pid_t session : sessions) {
            ::kill(session, SIGKILL);
        }
        waitUntil(allGone, 5s);
    }
    // Helpers of the sessions that ended meanwhile have come to us as well.
    waitUntil(
        [] {
            bool left = false;
            for (const auto& process : allProcesses()) {
                if (process.parent == ::getpid() && commandName(process.pid) == "sshd") {
                    left = left || ::waitpid(process.pid, nullptr, WNOHANG) == 0;
                }
            }
            return !left;
        },
        5s);
    // Only for this collection: orphans of later tests in this process must go where they went before.
    ::prctl(PR_SET_CHILD_SUBREAPER, 0);
}

SSHClientSetup::SSHClientSetup(const SSHServer& server) : server_(server), home_(folder_.file("home")) {
    std::filesystem::create_directories(home_);
    std::filesystem::create_directories(stateDirectory());
    writeKnownHosts(server.knownHostsLine());
    std::ostringstream config;
    config << "Host *\n"
           << "  UserKnownHostsFile " << knownHostsPath() << "\n"
           << "  GlobalKnownHostsFile /dev/null\n"
           << "  StrictHostKeyChecking yes\n"
           << "  IdentitiesOnly yes\n"
           << "  IdentityAgent none\n"
           << "  PasswordAuthentication no\n"
           << "  KbdInteractiveAuthentication no\n"
           << "  UpdateHostKeys no\n";
    writeText(folder_.file("ssh_config"), config.str());
}

void SSHClientSetup::writeKnownHosts(const std::string& line) const {
    writeText(knownHostsPath(), line + "\n");
}

tunnelkit::SSHCommandBuilder SSHClientSetup::builder() const {
    tunnelkit::SSHCommandBuilder builder(tunnelkit::SSHCommandBuilder::defaultExecutable, true, home_);
    builder.configFile = folder_.file("ssh_config");
    builder.wrapperURL = folder_.file("wrapper.ssh_config");
    return builder;
}

tunnelkit::Tunnel SSHClientSetup::tunnel(std::vector<tunnelkit::Forward> forwards) const {
    auto tunnel = tunnelkit::Tunnel::created();
    tunnel.name = "test server";
    tunnel.host = "127.0.0.1";
    tunnel.port = server_.port();
    tunnel.user = currentUserName();
    tunnel.identityFile = server_.clientKeyPath();
    tunnel.forwards = std::move(forwards);
    return tunnel;
}

void ProcessGroupWatch::expectAllEnded() {
    const auto groupExists = [](pid_t group) { return ::kill(-group, 0) == 0 || errno != ESRCH; };
    const auto ourSSHChildren = [] {
        std::vector<pid_t> left;
        for (const auto& process : allProcesses()) {
            if (process.parent == ::getpid() && process.state != 'Z' &&
                platform::processes::executablePath(process.pid) ==
                    tunnelkit::SSHCommandBuilder::defaultExecutable) {
                left.push_back(process.pid);
            }
        }
        return left;
    };
    const auto nothingLeft = [&] {
        return std::none_of(pids_.begin(), pids_.end(), groupExists) && ourSSHChildren().empty();
    };
    if (waitUntil(nothingLeft, 10s)) {
        return;
    }
    for (const pid_t pid : pids_) {
        if (groupExists(pid)) {
            recordFailure("the process group of " + std::to_string(pid) + " is still there");
            ::kill(-pid, SIGKILL);
        }
    }
    for (const pid_t pid : ourSSHChildren()) {
        recordFailure("ssh " + std::to_string(pid) + " is still running");
        ::kill(pid, SIGKILL);
    }
}

} // namespace testing_support
