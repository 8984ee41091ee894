#include "Burrowlight/Core/QtMainQueue.h"

#include <QCoreApplication>
#include <QSignalSpy>
#include <QTest>
#include <atomic>
#include <thread>

using namespace burrowlight;
using namespace std::chrono_literals;

class QtMainQueueTests : public QObject {
    Q_OBJECT

  private slots:
    void postedJobsRunOnTheGuiThreadInOrder() {
        auto queue = std::make_shared<QtMainQueue>();
        std::vector<int> order;
        std::vector<bool> onGuiThread;
        std::thread worker([&] {
            for (int i = 0; i < 100; ++i) {
                queue->post([&, i] {
                    order.push_back(i);
                    onGuiThread.push_back(QThread::currentThread() == QCoreApplication::instance()->thread());
                });
            }
        });
        worker.join();
        QTRY_COMPARE(order.size(), size_t(100));
        for (int i = 0; i < 100; ++i) {
            QCOMPARE(order[size_t(i)], i);
            QVERIFY(onGuiThread[size_t(i)]);
        }
    }

    void delayedJobRunsUnlessCancelled() {
        auto queue = std::make_shared<QtMainQueue>();
        bool ran = false;
        bool cancelledRan = false;
        auto kept = queue->after(20ms, [&] { ran = true; });
        auto dropped = queue->after(1ms, [&] { cancelledRan = true; });
        dropped.cancel();
        QTRY_VERIFY(ran);
        QTest::qWait(50);
        QVERIFY(!cancelledRan);
    }

    void jobCancelledAfterItsTimeCameNeverRuns() {
        auto queue = std::make_shared<QtMainQueue>();
        bool ran = false;
        auto job = queue->after(0ms, [&] { ran = true; });
        // Its time has come, but the loop has not run yet: cancelling still wins.
        std::this_thread::sleep_for(5ms);
        job.cancel();
        QTest::qWait(50);
        QVERIFY(!ran);
    }

    void releasedFromAnotherThreadIsSafe() {
        auto queue = std::make_shared<QtMainQueue>();
        std::atomic<bool> ran = false;
        queue->post([&] { ran = true; });
        std::thread([q = std::move(queue)]() mutable { q.reset(); }).join();
        // The context is deleted later on the GUI thread; a job already posted still runs first.
        QTRY_VERIFY(ran.load());
    }
};

QTEST_GUILESS_MAIN(QtMainQueueTests)
#include "QtMainQueueTests.moc"
