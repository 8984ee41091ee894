#include "Burrowlight/Desktop/TerminationSignals.h"

#include <QSignalSpy>
#include <QTest>
#include <csignal>
#include <thread>
#include <unistd.h>

using namespace burrowlight;

class TerminationSignalsTests : public QObject {
    Q_OBJECT

  private slots:
    void eachSignalArrivesThroughTheEventLoop() {
        const TerminationSignals handling;
        QSignalSpy requested(&handling, &TerminationSignals::terminationRequested);
        for (const int number : TerminationSignals::handledSignals) {
            QVERIFY(::raise(number) == 0);
        }
        // From another thread, as the kernel may pick any thread of the process.
        std::thread([] { ::kill(::getpid(), SIGTERM); }).join();
        QTRY_COMPARE(requested.count(), 4);
        QCOMPARE(requested[0][0].toInt(), SIGTERM);
        QCOMPARE(requested[1][0].toInt(), SIGINT);
        QCOMPARE(requested[2][0].toInt(), SIGHUP);
        QCOMPARE(requested[3][0].toInt(), SIGTERM);
    }

    void whatWasThereBeforeComesBack() {
        struct sigaction ignore {};
        ignore.sa_handler = SIG_IGN;
        struct sigaction before {};
        ::sigaction(SIGHUP, &ignore, &before);
        { const TerminationSignals handling; }
        struct sigaction after {};
        ::sigaction(SIGHUP, &before, &after);
        QVERIFY(after.sa_handler == SIG_IGN);
    }
};

QTEST_GUILESS_MAIN(TerminationSignalsTests)
#include "TerminationSignalsTests.moc"
