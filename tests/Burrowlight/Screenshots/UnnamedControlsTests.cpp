// Has the screenshot program open every window state and look for controls that assistive
// technology would find without a name.
#include <QProcess>
#include <QTest>

class UnnamedControlsTests : public QObject {
    Q_OBJECT

  private slots:
    void everyControlInEveryWindowHasAName() {
        QProcess program;
        program.start(QStringLiteral(SCREENSHOTS_PROGRAM), {QStringLiteral("--unnamed")});
        QVERIFY(program.waitForFinished(300'000));
        QVERIFY2(program.exitStatus() == QProcess::NormalExit && program.exitCode() == 0,
                 qPrintable(program.readAllStandardOutput() + program.readAllStandardError()));
    }
};

QTEST_GUILESS_MAIN(UnnamedControlsTests)
#include "UnnamedControlsTests.moc"
