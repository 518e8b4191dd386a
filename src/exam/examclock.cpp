#include "examclock.h"

namespace examclock {

Clock SteadyClock() {
    return [] { return std::chrono::steady_clock::now(); };
}

QString TimeText(long long seconds) {
    if (seconds < 0) seconds = 0;
    auto two = [](long long v) { return QString::number(v).rightJustified(2, u'0'); };
    return two(seconds / 3600) + u':' + two(seconds / 60 % 60) + u':' + two(seconds % 60);
}

Countdown::Countdown(Clock clock) : clock_(std::move(clock)) {}

bool Countdown::Start(int minutes) {
    started_ = true;
    paused_ = false;
    deadline_ = clock_() + std::chrono::minutes(minutes > 0 ? minutes : 0);
    return minutes > 0;
}

void Countdown::Stop() {
    started_ = false;
    paused_ = false;
}

void Countdown::Pause() {
    if (!started_ || paused_) return;
    frozen_ = remaining();
    paused_ = true;
}

void Countdown::Resume() {
    if (!started_ || !paused_) return;
    deadline_ = clock_() + frozen_;
    paused_ = false;
}

std::chrono::nanoseconds Countdown::remaining() const {
    if (!started_) return std::chrono::nanoseconds::max();
    if (paused_) return frozen_;
    return deadline_ - clock_();
}

bool Countdown::IsUp() const { return started_ && remaining().count() <= 0; }

long long Countdown::ShownSeconds() const {
    const auto r = remaining();
    if (!started_ || r.count() <= 0) return 0;
    // The whole seconds still to come after the one running now.
    return (r.count() - 1) / 1'000'000'000;
}

}  // namespace examclock
