#include "TunnelKit/MainQueue.h"

#include <atomic>
#include <gtest/gtest.h>
#include <thread>
#include <vector>

using namespace tunnelkit;
using namespace std::chrono_literals;

TEST(MainQueue, JobsPostedFromOtherThreadsAllRunInTheirThreadsOrder) {
    RunLoopQueue queue;
    const std::thread::id mainThread = std::this_thread::get_id();
    constexpr int threads = 4;
    constexpr int perThread = 500;
    std::vector<std::vector<int>> seen(threads);
    bool allOnMainThread = true;
    std::vector<std::thread> posters;
    for (int t = 0; t < threads; ++t) {
        posters.emplace_back([&, t] {
            for (int i = 0; i < perThread; ++i) {
                queue.post([&, t, i] {
                    allOnMainThread = allOnMainThread && std::this_thread::get_id() == mainThread;
                    seen[t].push_back(i);
                });
            }
        });
    }
    const auto total = [&] {
        size_t n = 0;
        for (const auto& s : seen) {
            n += s.size();
        }
        return n;
    };
    EXPECT_TRUE(queue.runUntil([&] { return total() == threads * perThread; }, 30s));
    for (auto& poster : posters) {
        poster.join();
    }
    EXPECT_TRUE(allOnMainThread);
    for (const auto& s : seen) {
        ASSERT_EQ(s.size(), size_t{perThread});
        EXPECT_TRUE(std::is_sorted(s.begin(), s.end()));
    }
}

TEST(MainQueue, DelayedJobRunsNoEarlierThanItsDelay) {
    RunLoopQueue queue;
    const auto scheduled = BootClock::now();
    std::optional<BootClock::time_point> ranAt;
    auto handle = queue.after(50ms, [&] { ranAt = BootClock::now(); });
    bool posted = false;
    queue.post([&] { posted = true; });
    EXPECT_TRUE(queue.runUntil([&] { return ranAt.has_value(); }, 10s));
    EXPECT_TRUE(posted);
    EXPECT_GE(*ranAt - scheduled, 50ms);
}

TEST(MainQueue, DelayedJobsRunInDeadlineOrder) {
    RunLoopQueue queue;
    std::vector<int> order;
    auto late = queue.after(60ms, [&] { order.push_back(2); });
    auto early = queue.after(10ms, [&] { order.push_back(1); });
    EXPECT_TRUE(queue.runUntil([&] { return order.size() == 2; }, 10s));
    EXPECT_EQ(order, (std::vector<int>{1, 2}));
}

TEST(MainQueue, CancelledJobNeverRunsEvenWhenItsTimeHadCome) {
    RunLoopQueue queue;
    bool ran = false;
    auto handle = queue.after(0ms, [&] { ran = true; });
    std::this_thread::sleep_for(20ms); // the job is due before the loop looks at it
    handle.cancel();
    queue.runFor(50ms);
    EXPECT_FALSE(ran);
}

TEST(MainQueue, JobCancelledByAJobRunJustBeforeItNeverRuns) {
    RunLoopQueue queue;
    bool ran = false;
    DelayedJob retry = queue.after(0ms, [&] { ran = true; });
    queue.post([&] { retry.cancel(); });
    std::this_thread::sleep_for(20ms);
    queue.runFor(50ms);
    EXPECT_FALSE(ran);
}

TEST(MainQueue, ReleasingOrReplacingTheHandleCancelsAndFreesTheJob) {
    RunLoopQueue queue;
    auto owner = std::make_shared<int>(0);
    std::weak_ptr<int> watched = owner;
    int runs = 0;
    {
        auto dropped = queue.after(0ms, [owner, &runs] { ++runs; });
    }
    DelayedJob replaced = queue.after(0ms, [owner, &runs] { ++runs; });
    replaced = queue.after(0ms, [&runs] { runs += 10; });
    owner.reset();
    EXPECT_TRUE(watched.expired()) << "a cancelled job lets go of what it holds at once";
    queue.runFor(30ms);
    EXPECT_EQ(runs, 10);
}

TEST(MainQueue, StopEndsRunFromAJobOrAnotherThread) {
    RunLoopQueue queue;
    queue.post([&] { queue.stop(); });
    queue.run();

    std::thread stopper([&] {
        std::this_thread::sleep_for(20ms);
        queue.stop();
    });
    queue.run();
    stopper.join();
}

TEST(MainQueue, RunUntilGivesUpAtItsTimeOut) {
    RunLoopQueue queue;
    auto never = queue.after(1h, [] { FAIL() << "not due"; });
    EXPECT_FALSE(queue.runUntil([] { return false; }, 30ms));
}
