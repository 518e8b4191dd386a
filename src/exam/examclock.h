// The exam's countdown. The remaining time is a deadline on the monotonic
// clock: a late tick or a window that was busy never gives extra time, and
// the timer's tick only redraws what this says.
#pragma once

#include <QString>

#include <chrono>
#include <functional>

namespace examclock {

using TimePoint = std::chrono::steady_clock::time_point;
using Clock = std::function<TimePoint()>;

// std::chrono::steady_clock::now.
Clock SteadyClock();

// "hh:mm:ss": hours, minutes and seconds, each at least two digits.
QString TimeText(long long seconds);

class Countdown {
public:
    explicit Countdown(Clock clock = SteadyClock());

    // Starts a run of `minutes`; false, with the time up at once, when it is 0
    // or less.
    bool Start(int minutes);
    // Stopped: nothing runs and nothing is up (no run, or a saved result).
    void Stop();

    // Pause keeps the remaining time; Resume sets a new deadline from it.
    void Pause();
    void Resume();
    bool Paused() const { return paused_; }
    bool Started() const { return started_; }

    bool IsUp() const;
    // The whole seconds shown: minutes x 60 - 1 right after the start, 0 in
    // the last second, so the time is up exactly `minutes` after the start.
    long long ShownSeconds() const;
    QString Text() const { return TimeText(ShownSeconds()); }

private:
    std::chrono::nanoseconds remaining() const;

    Clock clock_;
    bool started_ = false;
    bool paused_ = false;
    TimePoint deadline_{};
    std::chrono::nanoseconds frozen_{0};  // the remaining time while paused
};

}  // namespace examclock
