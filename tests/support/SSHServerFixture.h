#pragma once

#include "TempDir.h"
#include "TunnelKit/SSHCommandBuilder.h"
#include "TunnelKit/Tunnel.h"

#include <optional>
#include <set>
#include <string>
#include <sys/types.h>
#include <vector>

namespace testing_support {

// Makes a key pair of `type` (as ssh-keygen -t names it) without a passphrase at `path` (and
// `path`.pub); returns the public key line ("ssh-ed25519 AAAA... comment"), empty on failure.
std::string generateKey(const std::string& path, const std::string& type = "ed25519");

// The processes whose parent chain leads to `ancestor`, read from /proc; zombies left out.
std::vector<pid_t> descendantsOf(pid_t ancestor);
// The processes of a process group, read from /proc; zombies (which may wait long for a reaper
// when they were orphaned) left out.
std::vector<pid_t> liveMembersOf(pid_t group);
// Whether `pid` names a process still running; an exited child not yet reaped counts as gone.
bool isAlive(pid_t pid);

// A real OpenSSH server of the test's own on 127.0.0.1: its own host key, one authorized client
// key, no PAM, forwarding allowed, a port chosen at run time. It runs in the foreground as a child
// of the test, dies with the test's thread, and is stopped (with its sessions) when destroyed.
class SSHServer {
  public:
    // `otherHostKeys`: key types the server offers beside ed25519 ("ecdsa", "rsa"), for clients
    // that prefer them.
    explicit SSHServer(const std::vector<std::string>& otherHostKeys = {});
    ~SSHServer();
    SSHServer(const SSHServer&) = delete;
    SSHServer& operator=(const SSHServer&) = delete;

    // False when the server could not be started; the reason is in the failure the test recorded.
    bool isRunning() const { return daemon_ > 0; }
    int port() const { return port_; }
    const std::string& folder() const { return folder_.path(); }
    std::string clientKeyPath() const { return folder_.file("id_test"); }
    // "[127.0.0.1]:PORT ssh-ed25519 AAAA...": the line a known_hosts file needs to trust the server.
    std::string knownHostsLine() const;
    // The same for every host key the server offers, one line each.
    std::string knownHostsLines() const;
    // What sshd wrote so far.
    std::string log() const;

    // Ends the daemon first, so that no client gets in again, then every session it had started.
    void stop();
    // Starts again on the same port.
    bool start();

  private:
    bool startOnce(bool mayChangePort);
    bool writeConfig() const;

    TempDir folder_;
    int port_ = 0;
    pid_t daemon_ = 0;
    std::string hostPublicKey_;
    std::vector<std::string> otherHostKeys_;
    std::vector<std::string> otherHostPublicKeys_;
};

// The client's side: a throwaway home, a known_hosts file that trusts the server, a configuration
// file with the test key, and a builder that writes its wrapper configuration into the same folder.
// Nothing of the real user's ssh configuration, keys, agent or known hosts is read.
class SSHClientSetup {
  public:
    explicit SSHClientSetup(const SSHServer& server);

    const std::string& home() const { return home_; }
    std::string knownHostsPath() const { return folder_.file("known_hosts"); }
    std::string stateDirectory() const { return folder_.file("askpass"); }
    const std::string& folder() const { return folder_.path(); }

    void writeKnownHosts(const std::string& line) const;
    tunnelkit::SSHCommandBuilder builder() const;
    // The server as a tunnel with these forwards: host, port, user and the authorized key set.
    tunnelkit::Tunnel tunnel(std::vector<tunnelkit::Forward> forwards) const;

  private:
    const SSHServer& server_;
    TempDir folder_;
    std::string home_;
};

// Records the ssh processes a test starts and checks at the end that none of them, and nothing in
// their process groups, is left; what is left is killed so that nothing outlives the test.
class ProcessGroupWatch {
  public:
    ~ProcessGroupWatch() { expectAllEnded(); }

    void track(pid_t pid) { pids_.insert(pid); }
    const std::set<pid_t>& tracked() const { return pids_; }
    // Waits a while for the groups to end; records a test failure for each that does not.
    void expectAllEnded();

  private:
    std::set<pid_t> pids_;
};

} // namespace testing_support
