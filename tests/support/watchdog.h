// Stops a test program whose running case takes longer than a limit of wall
// time: a case that hangs (a pipe that never opens, a box nobody answers)
// fails by its full name within the limit instead of waiting for ctest's
// own limit, which names no case.
//
// The limit is PEMU_TEST_TIMEOUT seconds (a whole number; 0 turns the
// watchdog off, for a debugger), else kDefaultLimitSeconds: far more than
// the slowest case takes in the sanitizer build.
#pragma once

#include <gtest/gtest.h>

namespace pemu_test {

inline constexpr int kDefaultLimitSeconds = 60;

// The exit status of a program the watchdog stopped.
inline constexpr int kWatchdogStatus = 124;

// Installs the watchdog as a listener of the test events. Call after
// InitGoogleTest.
void InstallWatchdog();

}  // namespace pemu_test
