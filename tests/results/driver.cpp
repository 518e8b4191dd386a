#include "driver.h"

#include <gtest/gtest.h>

#include <csignal>
#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

namespace results_test {

pid_t StartDriver(const std::filesystem::path& work, const std::vector<std::string>& given, const Settings& settings) {
    std::vector<std::string> args = {PEMU_KILL_DRIVER, work.string(), (work / "PEMUV2.0.db").string()};
    args.insert(args.end(), given.begin(), given.end());
    std::vector<std::string> env;
    std::string asan = "ASAN_OPTIONS=verify_asan_link_order=0";
    auto ours = [&](const std::string& v) {
        for (const char* name : {"LD_PRELOAD=", "PEMU_KILL_AT=", "PEMU_KILL_LOG=", "PEMU_NO_LINK=",
                                 "PEMU_NO_RENAME_NOREPLACE="})
            if (v.rfind(name, 0) == 0) return true;
        return false;
    };
    for (char** e = environ; *e; ++e) {
        const std::string v = *e;
        if (v.rfind("ASAN_OPTIONS=", 0) == 0) asan = v + ":verify_asan_link_order=0";
        else if (!ours(v)) env.push_back(v);
    }
    env.push_back(asan);
    env.push_back(std::string("LD_PRELOAD=") + PEMU_KILL_SHIM);
    env.insert(env.end(), settings.begin(), settings.end());
    std::vector<char*> argv, envp;
    for (std::string& a : args) argv.push_back(a.data());
    for (std::string& e : env) envp.push_back(e.data());
    argv.push_back(nullptr);
    envp.push_back(nullptr);
    pid_t pid = 0;
    EXPECT_EQ(posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), envp.data()), 0);
    return pid;
}

Ending WaitFor(pid_t child) {
    int status = 0;
    EXPECT_EQ(waitpid(child, &status, 0), child);
    Ending e;
    if (WIFSIGNALED(status)) {
        EXPECT_EQ(WTERMSIG(status), SIGKILL);
        e.killed = true;
    } else if (WIFEXITED(status)) {
        e.status = WEXITSTATUS(status);
    }
    return e;
}

}  // namespace results_test
