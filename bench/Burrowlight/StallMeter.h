#pragma once

#include <QTimer>
#include <algorithm>
#include <chrono>
#include <ctime>

namespace bench {

// The longest time the GUI thread went without turning its event loop, from `start` to `stop`: on
// the wall clock, and in the thread's own processor time, which a loaded machine's scheduling does
// not inflate.
class StallMeter {
  public:
    using Clock = std::chrono::steady_clock;

    StallMeter() {
        ticks_.setTimerType(Qt::PreciseTimer);
        ticks_.setInterval(1);
        QObject::connect(&ticks_, &QTimer::timeout, [this] { tick(); });
    }
    void start() {
        longest_ = {};
        longestBusy_ = {};
        last_ = Clock::now();
        lastBusy_ = threadTime();
        ticks_.start();
    }
    void stop() {
        tick();
        ticks_.stop();
    }
    double longestMs() const { return std::chrono::duration<double, std::milli>(longest_).count(); }
    double longestBusyMs() const { return std::chrono::duration<double, std::milli>(longestBusy_).count(); }

  private:
    static std::chrono::nanoseconds threadTime() {
        timespec now{};
        ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
        return std::chrono::seconds(now.tv_sec) + std::chrono::nanoseconds(now.tv_nsec);
    }
    void tick() {
        const auto now = Clock::now();
        const auto busy = threadTime();
        longest_ = std::max(longest_, now - last_);
        longestBusy_ = std::max(longestBusy_, busy - lastBusy_);
        last_ = now;
        lastBusy_ = busy;
    }

    QTimer ticks_;
    Clock::time_point last_;
    std::chrono::nanoseconds lastBusy_{};
    Clock::duration longest_{};
    std::chrono::nanoseconds longestBusy_{};
};

} // namespace bench
