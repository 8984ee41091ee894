#include "Burrowlight/Core/Texts/StateTexts.h"

#include "Burrowlight/Core/Cases.h"
#include "Burrowlight/Core/Texts/CommandErrorTexts.h"
#include "Burrowlight/Core/Texts/StorageTexts.h"

#include <QCoreApplication>

namespace burrowlight::texts {

namespace {

struct StateWords {
    Q_DECLARE_TR_FUNCTIONS(TunnelState)
};
struct ProblemWords {
    Q_DECLARE_TR_FUNCTIONS(TunnelProblem)
};
struct FailureWords {
    Q_DECLARE_TR_FUNCTIONS(SSHFailure)
};

QString fromUtf8(const std::string& text) {
    return QString::fromStdString(text);
}

} // namespace

QString text(const tunnelkit::TunnelState& state) {
    using S = tunnelkit::TunnelState;
    return std::visit(Cases{
                          [](const S::Connected&) { return StateWords::tr("Connected"); },
                          [](const S::Retrying& retrying) {
                              return StateWords::tr("Retrying (attempt %n)", nullptr, retrying.attempt);
                          },
                          [](const S::Disconnected&) { return StateWords::tr("Not Connected"); },
                          [](const S::Connecting&) { return StateWords::tr("Connecting…"); },
                          [](const S::Failed&) { return StateWords::tr("Failed"); },
                          [](const S::Disconnecting&) { return StateWords::tr("Disconnecting…"); },
                      },
                      state.value);
}

QString symbolName(const tunnelkit::TunnelState& state) {
    using S = tunnelkit::TunnelState;
    return std::visit(Cases{
                          [](const S::Connected&) { return QStringLiteral("circle.fill"); },
                          [](const S::Retrying&) { return QStringLiteral("arrow.clockwise.circle"); },
                          [](const S::Disconnected&) { return QStringLiteral("circle"); },
                          [](const S::Connecting&) { return QStringLiteral("circle.dotted"); },
                          [](const S::Failed&) { return QStringLiteral("exclamationmark.circle.fill"); },
                          [](const S::Disconnecting&) { return QStringLiteral("circle.dotted"); },
                      },
                      state.value);
}

QString message(const tunnelkit::TunnelProblem& problem, Quoting quoting) {
    using P = tunnelkit::TunnelProblem;
    return std::visit(
        Cases{
            [](const P::SSH& ssh) { return message(ssh.failure); },
            [quoting](const P::InvalidSettings& invalid) { return message(invalid.error, quoting); },
            [](const P::LaunchFailed& failed) {
                const QString reason =
                    std::visit([](const auto& cause) { return message(cause); }, failed.reason);
                return ProblemWords::tr("Couldn't start ssh: %1").arg(reason);
            },
            [](const P::Exited& exited) {
                return ProblemWords::tr("ssh stopped unexpectedly (status %1).").arg(exited.status);
            },
            [](const P::Cancelled&) { return ProblemWords::tr("The question from ssh was cancelled."); },
        },
        problem.value);
}

QString message(const tunnelkit::SSHFailure& failure) {
    using F = tunnelkit::SSHFailure;
    return std::visit(
        Cases{
            [](const F::LocalPortInUse& inUse) {
                if (inUse.address.empty()) {
                    return FailureWords::tr("A port on this computer is already in use.");
                }
                return FailureWords::tr("%1 is already in use on this computer.")
                    .arg(fromUtf8(inUse.address));
            },
            [](const F::RemoteForwardRejected& rejected) {
                return FailureWords::tr(
                           "The server didn't open port %1. It may be in use, or forwarding may be off.")
                    .arg(fromUtf8(rejected.text));
            },
            [](const F::BadConfiguration& bad) {
                return FailureWords::tr("ssh rejected the settings: %1").arg(fromUtf8(bad.line));
            },
            [](const F::Other& other) { return fromUtf8(other.text); },
            [](const F::ConnectionRefused&) {
                return FailureWords::tr("The server refused the connection. Check the host and port.");
            },
            [](const F::HostNotFound&) { return FailureWords::tr("The host name couldn't be found."); },
            [](const F::TimedOut&) { return FailureWords::tr("The server didn't answer in time."); },
            [](const F::NetworkUnreachable&) {
                return FailureWords::tr("The network can't reach the server.");
            },
            [](const F::ConnectionLost&) { return FailureWords::tr("The connection was lost."); },
            [](const F::AuthenticationFailed&) {
                return FailureWords::tr("The server didn't accept the key or password.");
            },
            [](const F::HostKeyNotTrusted&) {
                return FailureWords::tr("The server's identity wasn't confirmed.");
            },
            [](const F::HostKeyChanged&) {
                return FailureWords::tr(
                    "The server's identity has changed since the last connection. If you didn't expect it, "
                    "someone may be intercepting the connection. Otherwise remove its old entry from "
                    "known_hosts.");
            },
        },
        failure.value);
}

} // namespace burrowlight::texts
