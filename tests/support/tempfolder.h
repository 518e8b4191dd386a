// One temporary folder per test process, holding everything the process and
// its children make in the temporary folder (TMPDIR points into it), removed
// however the process ends: by returning from main, by exit(), by a fatal
// signal, or by the watchdog. A death-test child or any other program the
// tests start makes its own folder inside its parent's, so what a killed
// child leaves goes with its parent's.
#pragma once

namespace pemu_test {

// Makes the folder under the temporary folder in force, named after the
// program, points TMPDIR at it and arranges its removal. Call once, first
// thing in main.
void MakeProcessTempFolder(const char* programName);

// Removes the folder now (only in the process that made it; a forked child
// shares it with its parent). Safe inside a signal handler.
void RemoveProcessTempFolder();

}  // namespace pemu_test
