#include "Burrowlight/Core/Texts/StateTexts.h"
#include "Burrowlight/Core/Texts/StorageTexts.h"

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
        QCOMPARE(texts::message(TunnelProblem::launchFailed(tunnelkit::LaunchError{ENOENT})),
                 QStringLiteral("Couldn't start ssh: no such file or folder"));
        QCOMPARE(texts::message(TunnelProblem::launchFailed(
                     tunnelkit::FileError::system(tunnelkit::FileError::Operation::write, "/run/x", EROFS))),
                 QStringLiteral("Couldn't start ssh: “/run/x” couldn't be written: the disk is read-only."));
        QCOMPARE(texts::message(TunnelProblem::ssh(SSHFailure::connectionLost())),
                 QStringLiteral("The connection was lost."));
        QCOMPARE(texts::message(TunnelProblem::invalidSettings(tunnelkit::SSHCommandError::missingHost())),
                 QStringLiteral("Enter the server's host name or address."));
    }

    void storageErrorsSayWhatWhereAndWhy() {
        using tunnelkit::DecodingError;
        QCOMPARE(texts::message(
                     tunnelkit::StoreError{DecodingError{DecodingError::Problem::numberOutOfRange, "x"}}),
                 QStringLiteral("A number is out of range. (at x)"));
        QCOMPARE(texts::message(tunnelkit::StoreError{
                     tunnelkit::FileError{tunnelkit::FileError::Operation::read, "/a/tunnels.json",
                                          tunnelkit::FileError::Kind::notRegularFile, 0}}),
                 QStringLiteral("“/a/tunnels.json” couldn't be read: it isn't a regular file."));
        QVERIFY(texts::systemReason(EXDEV).contains(QStringLiteral("EXDEV")));
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
