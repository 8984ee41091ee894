#include "Burrowlight/Core/QtMainQueue.h"

#include <QCoreApplication>
#include <QSignalSpy>
#include <QTest>
#include <atomic>
#include <map>
#include <thread>

using namespace burrowlight;
using namespace std::chrono_literals;

namespace {

// Timers whose time passes only when the test advances it.
struct DrivenTimers {
    std::chrono::milliseconds now{0};
    std::multimap<std::chrono::milliseconds, tunnelkit::Job> pending;

    QtMainQueue::StartTimer starter() {
        return [this](std::chrono::milliseconds wait, QObject*, tunnelkit::Job job) {
            pending.emplace(now + wait, std::move(job));
        };
    }

    // Runs, in order, every timer whose time has come by then.
    void advance(std::chrono::milliseconds by) {
        now += by;
        while (!pending.empty() && pending.begin()->first <= now) {
            auto job = std::move(pending.begin()->second);
            pending.erase(pending.begin());
            job();
        }
    }
};

} // namespace

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
        DrivenTimers timers;
        auto queue = std::make_shared<QtMainQueue>(timers.starter());
        bool ran = false;
        bool cancelledRan = false;
        auto kept = queue->after(20ms, [&] { ran = true; });
        auto dropped = queue->after(1ms, [&] { cancelledRan = true; });
        dropped.cancel();
        QCoreApplication::sendPostedEvents();
        QCOMPARE(timers.pending.size(), size_t(2));
        timers.advance(20ms);
        QVERIFY(ran);
        QVERIFY(!cancelledRan);
        QVERIFY(timers.pending.empty());
    }

    void jobCancelledAfterItsTimeCameNeverRuns() {
        DrivenTimers timers;
        auto queue = std::make_shared<QtMainQueue>(timers.starter());
        bool ran = false;
        auto job = queue->after(0ms, [&] { ran = true; });
        QCoreApplication::sendPostedEvents();
        // Its time has come, but its timer has not fired yet: cancelling still wins.
        job.cancel();
        timers.advance(1ms);
        QVERIFY(timers.pending.empty());
        QVERIFY(!ran);
    }

    void qtTimersRunADelayedJob() {
        auto queue = std::make_shared<QtMainQueue>();
        bool ran = false;
        auto job = queue->after(1ms, [&] { ran = true; });
        QTRY_VERIFY(ran);
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
