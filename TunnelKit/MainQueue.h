#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>

namespace tunnelkit {

// The continuous clock: CLOCK_BOOTTIME, which keeps counting while the computer sleeps.
struct BootClock {
    using duration = std::chrono::nanoseconds;
    using rep = duration::rep;
    using period = duration::period;
    using time_point = std::chrono::time_point<BootClock>;
    static constexpr bool is_steady = true;
    static time_point now() noexcept;
};

using Job = std::function<void()>;

// The handle of a job that waits for its time on the main queue. Cancelling it, or letting the
// handle go, guarantees the job never runs, even when its time has already come, provided that
// happens on the main queue (where the job would run). The job and what it holds are released at
// once.
class [[nodiscard]] DelayedJob {
  public:
    struct State;

    DelayedJob() = default;
    explicit DelayedJob(std::shared_ptr<State> state) : state_(std::move(state)) {}
    DelayedJob(DelayedJob&&) noexcept = default;
    DelayedJob& operator=(DelayedJob&& other) noexcept;
    DelayedJob(const DelayedJob&) = delete;
    DelayedJob& operator=(const DelayedJob&) = delete;
    ~DelayedJob() { cancel(); }

    void cancel();

  private:
    std::shared_ptr<State> state_;
};

// The one thread the engine's owners live on. The application implements it over its event loop;
// RunLoopQueue implements it for tests and tools.
class MainQueue {
  public:
    virtual ~MainQueue() = default;

    // Callable from any thread. Jobs posted from one thread run in the order they were posted.
    virtual void post(Job job) = 0;

    // Callable from any thread. The job runs on the main queue once `delay` has passed on the
    // continuous clock, unless the returned handle was cancelled or released first.
    DelayedJob after(BootClock::duration delay, Job job);

  protected:
    // Runs `job` on the main queue at `deadline` or soon after. Callable from any thread.
    virtual void schedule(BootClock::time_point deadline, Job job) = 0;
};

// A main queue whose jobs run on the thread that calls one of the run functions.
class RunLoopQueue final : public MainQueue {
  public:
    void post(Job job) override;

    // Runs jobs until `stop()` is called.
    void run();
    // Runs jobs until `done()` holds (checked before waiting and after every job) or the time-out
    // has passed; returns whether `done()` holds.
    bool runUntil(const std::function<bool()>& done, BootClock::duration timeout);
    // Runs jobs for the given time, then returns.
    void runFor(BootClock::duration duration);
    // Makes the current (or next) run return; callable from any thread and from a job.
    void stop();

  protected:
    void schedule(BootClock::time_point deadline, Job job) override;

  private:
    bool runOne(std::unique_lock<std::mutex>& lock, BootClock::time_point until);

    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<Job> ready_;
    std::multimap<BootClock::time_point, Job> timed_;
    bool stopRequested_ = false;
};

} // namespace tunnelkit
