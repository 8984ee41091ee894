#include "Burrowlight/Core/AppTermination.h"
#include "Burrowlight/Desktop/Relaunch.h"

#include <QCoreApplication>
#include <QTest>
#include <QTimer>
#include <functional>

using namespace burrowlight;

namespace {

// Runs the event loop until something ends it; a loop nobody ends gives up with status 99.
int runEventLoopWhile(const std::function<void()>& action) {
    QTimer::singleShot(0, action);
    QTimer::singleShot(60'000, [] { QCoreApplication::exit(99); });
    return QCoreApplication::exec();
}

struct Quitting {
    bool allows = true;
    int checks = 0;
    int shutdowns = 0;
    std::function<void()> duringCheck;
    AppTermination termination{{.shouldTerminate =
                                    [this] {
                                        ++checks;
                                        if (duringCheck) {
                                            duringCheck();
                                        }
                                        return allows;
                                    },
                                .willTerminate = [this] { ++shutdowns; }}};
};

} // namespace

class AppTerminationTests : public QObject {
    Q_OBJECT

  private slots:
    void aCancelledQuitLeavesEverythingAsItWas() {
        Quitting quitting;
        quitting.allows = false;
        QCOMPARE(AppTermination::instance(), &quitting.termination);
        QVERIFY(quitting.termination.requestTerminationFromMenu());
        QCOMPARE(quitting.checks, 1);
        QCOMPARE(quitting.shutdowns, 0);
        QVERIFY(!quitting.termination.quitRequestedFromMenu());
        QVERIFY(!quitting.termination.isTerminating());

        QVERIFY(!relaunch([&] { return quitting.termination.requestTermination(); }));
        QVERIFY2(!relaunchRequested(), "a later ordinary quit does not relaunch");
    }

    void anAllowedQuitShutsDownOnceAndEndsTheLoop() {
        Quitting quitting;
        bool sawMenuFlag = false;
        quitting.duringCheck = [&] { sawMenuFlag = quitting.termination.quitRequestedFromMenu(); };
        bool cancelled = true;
        QCOMPARE(runEventLoopWhile([&] { cancelled = quitting.termination.requestTerminationFromMenu(); }),
                 0);
        QVERIFY(!cancelled);
        QVERIFY(sawMenuFlag);
        QCOMPARE(quitting.shutdowns, 1);
        QVERIFY(!quitting.termination.requestTermination());
        QCOMPARE(quitting.checks, 1);
        QCOMPARE(quitting.shutdowns, 1);
    }

    // A termination signal while the unsaved-changes alert waits for its answer.
    void signalsSkipTheDialogsAndEndEveryLoop() {
        Quitting quitting;
        int nestedExit = -1;
        quitting.duringCheck = [&] {
            QTimer::singleShot(0, [&] { quitting.termination.terminateNow(); });
            QEventLoop alert;
            nestedExit = alert.exec();
        };
        bool cancelled = true;
        QCOMPARE(runEventLoopWhile([&] { cancelled = quitting.termination.requestTermination(); }), 0);
        QCOMPARE(nestedExit, 0);
        QVERIFY(!cancelled);
        QCOMPARE(quitting.checks, 1);
        QCOMPARE(quitting.shutdowns, 1);
    }

    void aSecondQuitWaitsForTheFirstOnesAnswer() {
        Quitting quitting;
        quitting.allows = false;
        bool secondCancelled = false;
        quitting.duringCheck = [&] { secondCancelled = quitting.termination.requestTermination(); };
        QVERIFY(quitting.termination.requestTermination());
        QVERIFY(secondCancelled);
        QCOMPARE(quitting.checks, 1);
    }

    void anEventLoopEndedElsewhereStillShutsDown() {
        Quitting quitting;
        QCOMPARE(runEventLoopWhile([] { QCoreApplication::quit(); }), 0);
        QCOMPARE(quitting.checks, 0);
        QCOMPARE(quitting.shutdowns, 1);
    }
};

QTEST_GUILESS_MAIN(AppTerminationTests)
#include "AppTerminationTests.moc"
