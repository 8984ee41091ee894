#include "Burrowlight/Core/Texts/CommandErrorTexts.h"

#include <QTest>

using namespace burrowlight;
using tunnelkit::SSHCommandError;

class CommandErrorTextsTests : public QObject {
    Q_OBJECT

  private slots:
    void errorsNameWhatBrokeTheRule() {
        QCOMPARE(texts::message(SSHCommandError::invalidPort(70000)),
                 QStringLiteral("Port 70000 isn't between 1 and 65535."));
        QCOMPARE(texts::message(SSHCommandError::invalidFile("~/my key")),
                 QStringLiteral("The file path ~/my key isn't valid."));
        QCOMPARE(texts::message(
                     SSHCommandError::invalidOption("LogLevel", SSHCommandError::OptionProblem::setByApp)),
                 QStringLiteral("LogLevel is managed by Burrowlight."));
        QCOMPARE(texts::message(SSHCommandError::invalidForward(tunnelkit::Uuid::random(),
                                                                SSHCommandError::ForwardProblem::port)),
                 QStringLiteral("A forward has a port outside 1–65535."));
    }
};

QTEST_GUILESS_MAIN(CommandErrorTextsTests)
#include "CommandErrorTextsTests.moc"
