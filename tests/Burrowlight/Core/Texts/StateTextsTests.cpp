#include "Burrowlight/Core/Texts/StateTexts.h"

#include <QTest>

using namespace burrowlight;
using tunnelkit::SSHFailure;
using tunnelkit::TunnelProblem;
using tunnelkit::TunnelState;

class StateTextsTests : public QObject {
    Q_OBJECT

  private slots:
    void statesWithTheirNumbers() {
        QCOMPARE(texts::text(TunnelState::retrying(3, {})), QStringLiteral("Retrying (attempt 3)"));
        QCOMPARE(texts::text(TunnelState::retrying(1000, {})), QStringLiteral("Retrying (attempt 1000)"));
        QCOMPARE(texts::text(TunnelState::connecting()), QStringLiteral("Connecting…"));
        QCOMPARE(texts::symbolName(TunnelState::disconnecting()),
                 texts::symbolName(TunnelState::connecting()));
    }

    void problemsCarryTheirDetails() {
        QCOMPARE(texts::message(TunnelProblem::exited(255)),
                 QStringLiteral("ssh stopped unexpectedly (status 255)."));
        QCOMPARE(texts::message(TunnelProblem::launchFailed("No such file or directory")),
                 QStringLiteral("Couldn't start ssh: No such file or directory"));
        QCOMPARE(texts::message(TunnelProblem::ssh(SSHFailure::connectionLost())),
                 QStringLiteral("The connection was lost."));
        QCOMPARE(texts::message(TunnelProblem::invalidSettings(tunnelkit::SSHCommandError::missingHost())),
                 QStringLiteral("Enter the server's host name or address."));
    }

    void sshFailuresKeepSshsOwnWords() {
        QCOMPARE(texts::message(SSHFailure::localPortInUse("")),
                 QStringLiteral("A port on this computer is already in use."));
        QCOMPARE(texts::message(SSHFailure::localPortInUse("127.0.0.1:8080")),
                 QStringLiteral("127.0.0.1:8080 is already in use on this computer."));
        QCOMPARE(
            texts::message(SSHFailure::remoteForwardRejected("0.0.0.0:80 %1")),
            QStringLiteral(
                "The server didn't open port 0.0.0.0:80 %1. It may be in use, or forwarding may be off."));
        QCOMPARE(texts::message(SSHFailure::other("connect to host db port 22: Bad file number %n")),
                 QStringLiteral("connect to host db port 22: Bad file number %n"));
    }
};

QTEST_GUILESS_MAIN(StateTextsTests)
#include "StateTextsTests.moc"
