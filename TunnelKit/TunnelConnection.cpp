#include "TunnelKit/TunnelConnection.h"

#include "TunnelKit/AskPass.h"

#include <cstring>
#include <utility>

namespace tunnelkit {

bool TunnelProblem::isRetryable() const {
    if (is<Exited>()) {
        return true;
    }
    if (const auto* failure = as<SSH>()) {
        return failure->failure.isRetryable();
    }
    return false;
}

std::shared_ptr<TunnelConnection> TunnelConnection::make(Tunnel tunnel, ConnectionEnvironment environment) {
    return std::make_shared<TunnelConnection>(Key{}, std::move(tunnel), std::move(environment));
}

TunnelConnection::TunnelConnection(Key, Tunnel tunnel, ConnectionEnvironment environment)
    : tunnel_(std::move(tunnel)), environment_(std::move(environment)) {}

void TunnelConnection::connect() {
    if (state_.isActive()) {
        return;
    }
    wantsConnection_ = true;
    retryCount_ = 0;
    setProblem(std::nullopt);
    if (process_) {
        restartsAfterExit_ = true;
        return;
    }
    launch();
}

void TunnelConnection::disconnect() {
    wantsConnection_ = false;
    restartsAfterExit_ = false;
    retryTask_.cancel();
    if (process_) {
        setState(TunnelState::disconnecting());
        process_->terminate(terminationGrace);
    } else {
        setState(TunnelState::disconnected());
    }
}

void TunnelConnection::restart() {
    if (!wantsConnection_) {
        return;
    }
    retryCount_ = 0;
    retryTask_.cancel();
    if (process_) {
        restartsAfterExit_ = true;
        process_->terminate(terminationGrace);
    } else {
        launch();
    }
}

void TunnelConnection::retryNow() {
    if (!state_.is<TunnelState::Retrying>()) {
        return;
    }
    retryTask_.cancel();
    launch();
}

void TunnelConnection::clearLog() {
    log_.clear();
    observers_.notify(Change::log);
}

void TunnelConnection::update(Tunnel tunnel) {
    observers_.assign(tunnel_, std::move(tunnel), Change::tunnel);
}

bool TunnelConnection::isActive() const {
    return state_.isActive() || (state_.is<TunnelState::Disconnecting>() && restartsAfterExit_);
}

std::optional<pid_t> TunnelConnection::processID() const {
    if (!process_) {
        return std::nullopt;
    }
    return process_->pid();
}

void TunnelConnection::launch() {
    if (process_) {
        return;
    }
    SSHInvocation invocation;
    if (!prepareLaunch(invocation)) {
        return;
    }
    const auto environment = sshEnvironment();
    if (tunnel_.logFile) {
        logWriter_ = std::make_unique<LogFileWriter>(
            homeExpanded(*tunnel_.logFile, environment_.builder.homeDirectory));
    } else {
        logWriter_.reset();
    }
    append("$ " + invocation.displayCommand, SSHLogLine::Level::info);
    startProcess(invocation, environment);
}

// A fresh attempt, its command and its wrapper configuration; false when the launch has failed.
bool TunnelConnection::prepareLaunch(SSHInvocation& invocation) {
    const AskPassLedger ledger(environment_.stateDirectory);
    ledger.clear(attemptID_);
    attemptID_ = Uuid::random();
    progress_ = SSHAttemptProgress{};
    setSession(SessionInfo{});

    auto built = environment_.builder.invocation(tunnel_);
    if (!built) {
        failLaunch(TunnelProblem::invalidSettings(built.error()));
        return false;
    }
    if (auto written = environment_.builder.writeWrapperConfig(); !written) {
        failLaunch(TunnelProblem::launchFailed(written.error()));
        return false;
    }
    invocation = std::move(*built);
    return true;
}

Environment TunnelConnection::sshEnvironment() const {
    return AskPassEnvironment::sshEnvironment(environment_.baseEnvironment, environment_.askPassExecutable,
                                              tunnel_, attemptID_, environment_.stateDirectory);
}

void TunnelConnection::startProcess(const SSHInvocation& invocation, const Environment& environment) {
    // ssh's events arrive only while this connection exists, so they may use `this`.
    SSHProcessEvents events{weak_from_this(), [this](const std::string& line) { handleLine(line); },
                            [this](const Termination& termination) { handleExit(termination); }};
    auto launched = SSHProcess::launch(invocation.executable, invocation.arguments, environment,
                                       environment_.mainQueue, std::move(events));
    if (!launched) {
        failLaunch(TunnelProblem::launchFailed(launched.error()));
        return;
    }
    process_ = std::move(*launched);
    if (environment_.registry) {
        environment_.registry->registerProcess(process_->pid());
    }
    setState(TunnelState::connecting());
}

void TunnelConnection::failLaunch(TunnelProblem problem) {
    wantsConnection_ = false;
    setProblem(std::move(problem));
    setState(TunnelState::failed());
}

void TunnelConnection::handleLine(const std::string& line) {
    // One parse gives both the signal and the level, which follows from it.
    const auto signal = SSHLogParser::signal(line);
    const auto level = line.starts_with("debug")       ? SSHLogLine::Level::debug
                       : signal && signal->asFailure() ? SSHLogLine::Level::error
                                                       : SSHLogLine::Level::info;
    append(line, level);
    session_.update(line);
    observers_.notify(Change::session);

    if (signal) {
        progress_.apply(*signal, line, state_.isConnected());
    }
    if (state_.is<TunnelState::Connecting>() && progress_.isConfirmed()) {
        retryCount_ = 0;
        setProblem(std::nullopt);
        setState(TunnelState::connected(currentDate()));
    }
}

void TunnelConnection::handleExit(const Termination& termination) {
    if (process_) {
        if (environment_.registry) {
            environment_.registry->unregisterProcess(process_->pid());
        }
        process_.reset();
    }
    const AskPassLedger ledger(environment_.stateDirectory);
    const bool wasCancelled = ledger.isCancelled(attemptID_);
    ledger.clear(attemptID_);

    if (const auto* exited = std::get_if<Exited>(&termination)) {
        append("ssh exited with status " + std::to_string(exited->status), SSHLogLine::Level::debug);
    }
    if (std::exchange(restartsAfterExit_, false) && wantsConnection_) {
        launch();
        return;
    }
    if (!wantsConnection_) {
        setState(TunnelState::disconnected());
        return;
    }
    auto problem = problemOfEndedAttempt(termination, wasCancelled);
    if (problem.isRetryable() && retryCount_ < tunnel_.retryLimit) {
        ++retryCount_;
        setProblem(std::move(problem));
        scheduleRetry();
    } else {
        wantsConnection_ = false;
        setProblem(std::move(problem));
        setState(TunnelState::failed());
    }
}

TunnelProblem TunnelConnection::problemOfEndedAttempt(const Termination& termination,
                                                      bool wasCancelled) const {
    if (wasCancelled) {
        return TunnelProblem::cancelled();
    }
    if (progress_.firstFailure) {
        return TunnelProblem::ssh(*progress_.firstFailure);
    }
    if (const auto* exited = std::get_if<Exited>(&termination)) {
        return TunnelProblem::exited(exited->status);
    }
    return TunnelProblem::ssh(SSHFailure::connectionLost());
}

void TunnelConnection::scheduleRetry() {
    const auto delay = environment_.retryPolicy.delay(retryCount_);
    const auto at = currentDate() + std::chrono::duration_cast<Date::duration>(delay);
    setState(TunnelState::retrying(retryCount_, at));
    retryTask_ = environment_.mainQueue->after(delay, [weak = weak_from_this()] {
        if (const auto self = weak.lock()) {
            self->retryTask_ = {};
            self->launch();
        }
    });
}

void TunnelConnection::append(std::string text, SSHLogLine::Level level) {
    SSHLogLine line{nextLineID_++, currentDate(), std::move(text), level};
    log_.push_back(line);
    while (log_.size() > logLimit) {
        log_.pop_front();
    }
    observers_.notify(Change::log);
    if (!logWriter_) {
        return;
    }
    if (const auto error = logWriter_->write(line)) {
        logWriter_.reset();
        append(std::string("Couldn't write the log file, no longer writing it: ") +
                   std::strerror(error->code),
               SSHLogLine::Level::error);
    }
}

void TunnelConnection::setState(TunnelState state) {
    if (state == state_) {
        return;
    }
    // Copies: an observer may change the state again while it is being told of this change.
    const auto old = std::exchange(state_, state);
    observers_.notify(Change::state);
    stateChanges_.notify(StateChange{old, state});
}

void TunnelConnection::setProblem(std::optional<TunnelProblem> problem) {
    observers_.assign(problem_, std::move(problem), Change::problem);
}

void TunnelConnection::setSession(SessionInfo session) {
    observers_.assign(session_, std::move(session), Change::session);
}

} // namespace tunnelkit
