// The result driver (tests/results/killdriver) started as a child process, as
// a second copy of the program or one that is stopped part-way, with the
// counting library preloaded into it.
#pragma once

#include <sys/types.h>

#include <filesystem>
#include <string>
#include <vector>

namespace results_test {

// What the child's environment adds to this process's own: "NAME=value"
// settings of the counting library (PEMU_KILL_AT, PEMU_KILL_LOG,
// PEMU_NO_LINK, PEMU_NO_RENAME_NOREPLACE).
using Settings = std::vector<std::string>;

// Starts the driver on the program folder `work` (its database is the
// folder's own) with the arguments after it.
pid_t StartDriver(const std::filesystem::path& work, const std::vector<std::string>& args, const Settings& settings);

struct Ending {
    bool killed = false;  // stopped by SIGKILL
    int status = -1;      // the exit status otherwise
};
Ending WaitFor(pid_t child);

}  // namespace results_test
