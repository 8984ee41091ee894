#include "Burrowlight/Desktop/ProcessEndGuard.h"

#include <QTest>
#include <QThread>
#include <thread>

using namespace burrowlight;

class ProcessEndGuardTests : public QObject {
    Q_OBJECT

  private slots:
    // Qt's Wayland plugin warns, then calls _exit(): its warning is the last moment to act, and it may
    // come from the plugin's event thread. (The X11 end runs end to end in ApplicationProcessTests.)
    void theDisplaysLastWordRunsTheStepOnceOnTheGuardsThread() {
        int runs = 0;
        QThread* ranOn = nullptr;
        const ProcessEndGuard guard([&] {
            ++runs;
            ranOn = QThread::currentThread();
        });
        QTest::ignoreMessage(QtWarningMsg, "The session bus went away");
        qWarning("The session bus went away");
        QCOMPARE(runs, 0);

        const char* lost = "The Wayland connection broke. Did the Wayland compositor die?";
        QTest::ignoreMessage(QtWarningMsg, lost);
        std::thread display([lost] { qWarning("%s", lost); });
        QTRY_COMPARE(runs, 1);
        display.join();
        QCOMPARE(ranOn, QThread::currentThread());

        QTest::ignoreMessage(QtWarningMsg, "The X11 connection broke (error 1). Did the X11 server die?");
        qWarning("The X11 connection broke (error 1). Did the X11 server die?");
        QCOMPARE(runs, 1);
    }
};

QTEST_GUILESS_MAIN(ProcessEndGuardTests)
#include "ProcessEndGuardTests.moc"
