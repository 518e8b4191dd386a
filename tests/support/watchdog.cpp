#include "watchdog.h"

#include "tempfolder.h"

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>

#include <unistd.h>

namespace pemu_test {

namespace {

using Clock = std::chrono::steady_clock;

int LimitSeconds() {
    const char* v = std::getenv("PEMU_TEST_TIMEOUT");
    if (!v || !*v) return kDefaultLimitSeconds;
    char* end = nullptr;
    const long n = std::strtol(v, &end, 10);
    if (*end != '\0' || n < 0 || n > 24 * 3600) {
        std::fprintf(stderr, "PEMU_TEST_TIMEOUT=%s is not a number of seconds; the limit stays %d s\n", v,
                     kDefaultLimitSeconds);
        return kDefaultLimitSeconds;
    }
    return static_cast<int>(n);
}

// Shared by the test thread (through the listener) and the watchdog's own
// thread. Made once and never destroyed: a case may end the program with
// exit() while the watchdog's thread still waits.
struct State {
    std::mutex m;
    std::condition_variable cv;
    std::string running;  // the case's full name; empty between cases
    Clock::time_point deadline;
    int limit = kDefaultLimitSeconds;
};
State* gState = nullptr;

[[noreturn]] void Stop(const std::string& name, int limit) {
    std::fflush(stdout);
    std::fprintf(stderr,
                 "\n[ TIMEOUT  ] %s is still running after %d s (the limit set by PEMU_TEST_TIMEOUT); "
                 "the test program stops here\n",
                 name.c_str(), limit);
    std::fflush(stderr);
    RemoveProcessTempFolder();
    _exit(kWatchdogStatus);
}

void Watch(State* s) {
    std::unique_lock lock(s->m);
    for (;;) {
        if (s->running.empty()) {
            s->cv.wait(lock);
            continue;
        }
        if (Clock::now() >= s->deadline) Stop(s->running, s->limit);
        s->cv.wait_until(lock, s->deadline);
    }
}

class Listener : public ::testing::EmptyTestEventListener {
public:
    explicit Listener(State* s) : s_(s) {}
    void OnTestStart(const ::testing::TestInfo& t) override {
        {
            std::lock_guard lock(s_->m);
            s_->running = std::string(t.test_suite_name()) + "." + t.name();
            s_->deadline = Clock::now() + std::chrono::seconds(s_->limit);
        }
        s_->cv.notify_one();
    }
    void OnTestEnd(const ::testing::TestInfo&) override {
        {
            std::lock_guard lock(s_->m);
            s_->running.clear();
        }
        s_->cv.notify_one();
    }

private:
    State* s_;
};

}  // namespace

void InstallWatchdog() {
    const int limit = LimitSeconds();
    if (limit == 0 || gState) return;
    gState = new State;
    gState->limit = limit;
    std::thread(Watch, gState).detach();
    ::testing::UnitTest::GetInstance()->listeners().Append(new Listener(gState));
}

}  // namespace pemu_test
