#pragma once

#include "TunnelKit/Identifiers.h"
#include "TunnelKit/LogFileWriter.h"
#include "TunnelKit/MainQueue.h"
#include "TunnelKit/Observers.h"
#include "TunnelKit/ProcessRegistry.h"
#include "TunnelKit/RetryPolicy.h"
#include "TunnelKit/SSHCommandBuilder.h"
#include "TunnelKit/SSHLog.h"
#include "TunnelKit/SSHProcess.h"
#include "TunnelKit/SessionInfo.h"
#include "TunnelKit/Spawn.h"
#include "TunnelKit/Tunnel.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <variant>

namespace tunnelkit {

// Where one tunnel's connection stands.
struct TunnelState {
    // The session is up and every requested remote forward was confirmed, as seen at `since`.
    struct Connected {
        Date since;
        bool operator==(const Connected&) const = default;
    };
    // An attempt failed and may succeed later: retry number `attempt` (1 for the first) starts at `at`.
    struct Retrying {
        int attempt = 0;
        Date at;
        bool operator==(const Retrying&) const = default;
    };
    // Not wanted, no ssh running.
    struct Disconnected {
        bool operator==(const Disconnected&) const = default;
    };
    // ssh runs and the session is not confirmed yet.
    struct Connecting {
        bool operator==(const Connecting&) const = default;
    };
    // The last attempt ended with a problem that is not retried; not wanted any more.
    struct Failed {
        bool operator==(const Failed&) const = default;
    };
    // ssh has been told to end and has not been reaped yet.
    struct Disconnecting {
        bool operator==(const Disconnecting&) const = default;
    };

    std::variant<Connected, Retrying, Disconnected, Connecting, Failed, Disconnecting> value{Disconnected{}};

    static TunnelState connected(Date since) { return {Connected{since}}; }
    static TunnelState retrying(int attempt, Date at) { return {Retrying{attempt, at}}; }
    static TunnelState disconnected() { return {Disconnected{}}; }
    static TunnelState connecting() { return {Connecting{}}; }
    static TunnelState failed() { return {Failed{}}; }
    static TunnelState disconnecting() { return {Disconnecting{}}; }

    template <class Case> bool is() const { return std::holds_alternative<Case>(value); }
    template <class Case> const Case* as() const { return std::get_if<Case>(&value); }

    // Connected, retrying or connecting: the tunnel is meant to be up.
    bool isActive() const { return is<Connected>() || is<Retrying>() || is<Connecting>(); }
    bool isConnected() const { return is<Connected>(); }

    bool operator==(const TunnelState&) const = default;
};

// Why the last attempt did not hold.
struct TunnelProblem {
    struct SSH {
        SSHFailure failure;
        bool operator==(const SSH&) const = default;
    };
    // The tunnel can't be turned into an ssh command.
    struct InvalidSettings {
        SSHCommandError error;
        bool operator==(const InvalidSettings&) const = default;
    };
    // ssh did not start: the wrapper configuration could not be written (a file error), or the
    // system refused to start the program (an errno).
    struct LaunchFailed {
        std::variant<FileError, LaunchError> reason;
        bool operator==(const LaunchFailed&) const = default;
    };
    // ssh exited with this status without a failure the log parser knows.
    struct Exited {
        int32_t status = 0;
        bool operator==(const Exited&) const = default;
    };
    // The user cancelled one of ssh's questions.
    struct Cancelled {
        bool operator==(const Cancelled&) const = default;
    };

    std::variant<SSH, InvalidSettings, LaunchFailed, Exited, Cancelled> value;

    static TunnelProblem ssh(SSHFailure failure) { return {SSH{std::move(failure)}}; }
    static TunnelProblem invalidSettings(SSHCommandError error) {
        return {InvalidSettings{std::move(error)}};
    }
    static TunnelProblem launchFailed(FileError reason) { return {LaunchFailed{std::move(reason)}}; }
    static TunnelProblem launchFailed(LaunchError reason) { return {LaunchFailed{reason}}; }
    static TunnelProblem exited(int32_t status) { return {Exited{status}}; }
    static TunnelProblem cancelled() { return {Cancelled{}}; }

    template <class Case> bool is() const { return std::holds_alternative<Case>(value); }
    template <class Case> const Case* as() const { return std::get_if<Case>(&value); }

    // An exit always; an ssh failure when that failure may pass; the rest never.
    bool isRetryable() const;

    bool operator==(const TunnelProblem&) const = default;
};

// What every connection takes from the application; each connection keeps its own copy.
struct ConnectionEnvironment {
    SSHCommandBuilder builder;
    // The program ssh runs to ask its questions (this application's own executable).
    std::string askPassExecutable;
    // The askpass ledger's folder.
    std::string stateDirectory;
    // Shared by all connections and the manager; none keeps no record.
    std::shared_ptr<ProcessRegistry> registry;
    RetryPolicy retryPolicy;
    // The environment ssh starts from.
    Environment baseEnvironment;
    // Where ssh's lines and exits are handled and retries wait.
    std::shared_ptr<MainQueue> mainQueue;
};

// Keeps one tunnel up: at most one ssh at a time, its lines read into the log, the session facts and
// the state, its end turned into a problem, retryable problems retried with a growing wait. Lives on
// the main queue, in a shared_ptr (ssh's events hold it weakly).
class TunnelConnection : public std::enable_shared_from_this<TunnelConnection> {
    struct Key {};

  public:
    // Which observed property changed.
    enum class Change { tunnel, state, problem, log, session };
    // A real change of state, reported synchronously after `Change::state`.
    struct StateChange {
        const TunnelState& old;
        const TunnelState& now;
    };
    using Log = std::deque<SSHLogLine>;

    static constexpr size_t logLimit = 2000;
    // How long ssh gets to end after SIGTERM before SIGKILL.
    static constexpr SSHProcess::Grace terminationGrace{3.0};

    static std::shared_ptr<TunnelConnection> make(Tunnel tunnel, ConnectionEnvironment environment);
    TunnelConnection(Key, Tunnel tunnel, ConnectionEnvironment environment);
    TunnelConnection(const TunnelConnection&) = delete;
    TunnelConnection& operator=(const TunnelConnection&) = delete;

    void connect();
    void disconnect();
    // A fresh attempt now, when the tunnel is wanted; a running ssh is ended first.
    void restart();
    // Skips the wait of a pending retry; nothing in any other state.
    void retryNow();
    void clearLog();
    // The running ssh is left alone; the next launch and the next retry decision use the new record.
    void update(Tunnel tunnel);

    // Connected, retrying or connecting, or disconnecting with a relaunch pending.
    bool isActive() const;
    std::optional<pid_t> processID() const;
    // The handle of the ssh that runs now; it stays valid after the connection lets it go.
    std::optional<SSHProcess> runningProcess() const { return process_; }

    const Tunnel& tunnel() const { return tunnel_; }
    const TunnelState& state() const { return state_; }
    const std::optional<TunnelProblem>& problem() const { return problem_; }
    const Log& log() const { return log_; }
    const SessionInfo& session() const { return session_; }

    const ConnectionEnvironment& environment() const { return environment_; }
    void setEnvironment(ConnectionEnvironment environment) { environment_ = std::move(environment); }

    [[nodiscard]] ObserverList<Change>::Subscription observe(std::function<void(const Change&)> observer) {
        return observers_.subscribe(std::move(observer));
    }
    // With the old and the new state, for every real change; a problem set with the change is
    // already in place.
    [[nodiscard]] ObserverList<StateChange>::Subscription
    observeStateChanges(std::function<void(const StateChange&)> observer) {
        return stateChanges_.subscribe(std::move(observer));
    }

  private:
    void launch();
    bool prepareLaunch(SSHInvocation& invocation);
    Environment sshEnvironment() const;
    void startProcess(const SSHInvocation& invocation, const Environment& environment);
    void handleLine(const std::string& line);
    void handleExit(const Termination& termination);
    TunnelProblem problemOfEndedAttempt(const Termination& termination, bool wasCancelled) const;
    void scheduleRetry();
    void failLaunch(TunnelProblem problem);

    void append(std::string text, SSHLogLine::Level level);
    void setState(TunnelState state);
    void setProblem(std::optional<TunnelProblem> problem);
    void setSession(SessionInfo session);

    Tunnel tunnel_;
    TunnelState state_;
    std::optional<TunnelProblem> problem_;
    Log log_;
    SessionInfo session_;
    ObserverList<Change> observers_;
    ObserverList<StateChange> stateChanges_;
    ConnectionEnvironment environment_;

    std::optional<SSHProcess> process_;
    Uuid attemptID_ = Uuid::random();
    int retryCount_ = 0;
    DelayedJob retryTask_;
    bool wantsConnection_ = false;
    bool restartsAfterExit_ = false;
    SSHAttemptProgress progress_;
    std::int64_t nextLineID_ = 0;
    std::unique_ptr<LogFileWriter> logWriter_;
};

} // namespace tunnelkit
