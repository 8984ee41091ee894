#include "TunnelKit/MainQueue.h"

#include <algorithm>
#include <ctime>
#include <utility>

namespace tunnelkit {

BootClock::time_point BootClock::now() noexcept {
    timespec now{};
    ::clock_gettime(CLOCK_BOOTTIME, &now);
    return time_point(std::chrono::seconds(now.tv_sec) + std::chrono::nanoseconds(now.tv_nsec));
}

struct DelayedJob::State {
    std::mutex mutex;
    Job job;

    Job take() {
        std::lock_guard lock(mutex);
        return std::exchange(job, nullptr);
    }
};

DelayedJob& DelayedJob::operator=(DelayedJob&& other) noexcept {
    if (this != &other) {
        cancel();
        state_ = std::move(other.state_);
    }
    return *this;
}

void DelayedJob::cancel() {
    if (state_) {
        // Destroyed outside the lock: the job's captures may be owners with destructors of their own.
        const Job dropped = state_->take();
        state_.reset();
    }
}

DelayedJob MainQueue::after(BootClock::duration delay, Job job) {
    auto state = std::make_shared<DelayedJob::State>();
    state->job = std::move(job);
    schedule(BootClock::now() + delay, [weak = std::weak_ptr(state)] {
        if (const auto alive = weak.lock()) {
            if (const Job job = alive->take()) {
                job();
            }
        }
    });
    return DelayedJob(std::move(state));
}

void RunLoopQueue::post(Job job) {
    {
        std::lock_guard lock(mutex_);
        ready_.push_back(std::move(job));
    }
    wake_.notify_all();
}

void RunLoopQueue::schedule(BootClock::time_point deadline, Job job) {
    {
        std::lock_guard lock(mutex_);
        timed_.emplace(deadline, std::move(job));
    }
    wake_.notify_all();
}

void RunLoopQueue::stop() {
    {
        std::lock_guard lock(mutex_);
        stopRequested_ = true;
    }
    wake_.notify_all();
}

// Runs one job that is due, or waits (at most until `until`) for one to become due.
bool RunLoopQueue::runOne(std::unique_lock<std::mutex>& lock, BootClock::time_point until) {
    const auto now = BootClock::now();
    while (!timed_.empty() && timed_.begin()->first <= now) {
        ready_.push_back(std::move(timed_.begin()->second));
        timed_.erase(timed_.begin());
    }
    if (!ready_.empty()) {
        Job job = std::move(ready_.front());
        ready_.pop_front();
        lock.unlock();
        job();
        job = nullptr;
        lock.lock();
        return true;
    }
    auto wakeAt = until;
    if (!timed_.empty() && timed_.begin()->first < wakeAt) {
        wakeAt = timed_.begin()->first;
    }
    // The condition variable sleeps on the monotonic clock; the deadlines are rechecked on waking,
    // and a long sleep is cut into short waits so that time slept while suspended is noticed.
    wake_.wait_for(lock, std::min<BootClock::duration>(wakeAt - now, std::chrono::seconds(1)));
    return false;
}

void RunLoopQueue::run() {
    std::unique_lock lock(mutex_);
    while (!std::exchange(stopRequested_, false)) {
        runOne(lock, BootClock::time_point::max());
    }
}

bool RunLoopQueue::runUntil(const std::function<bool()>& done, BootClock::duration timeout) {
    const auto until = BootClock::now() + timeout;
    while (true) {
        if (done()) {
            return true;
        }
        std::unique_lock lock(mutex_);
        if (std::exchange(stopRequested_, false) || BootClock::now() >= until) {
            lock.unlock();
            return done();
        }
        runOne(lock, until);
    }
}

void RunLoopQueue::runFor(BootClock::duration duration) {
    runUntil([] { return false; }, duration);
}

} // namespace tunnelkit
