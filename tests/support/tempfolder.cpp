#include "tempfolder.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace pemu_test {

namespace {

// Fixed storage: the folder is removed from signal handlers, where nothing
// may allocate.
char gFolder[4096];
pid_t gOwner = 0;

struct LinuxDirent64 {
    ino64_t d_ino;
    off64_t d_off;
    unsigned short d_reclen;
    unsigned char d_type;
    char d_name[];
};

// Empties the folder open as `dir`, with system calls only. Entries are
// removed while the folder is read, so it is read again until a pass finds
// nothing left to remove.
void emptyFolder(int dir, int depth) {
    if (depth > 64) return;
    alignas(8) char buf[4096];
    for (bool removed = true; removed;) {
        removed = false;
        if (lseek(dir, 0, SEEK_SET) != 0) return;
        for (;;) {
            const long n = syscall(SYS_getdents64, dir, buf, sizeof buf);
            if (n <= 0) break;
            for (long at = 0; at < n;) {
                const auto* e = reinterpret_cast<const LinuxDirent64*>(buf + at);
                at += e->d_reclen;
                const char* name = e->d_name;
                if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0) continue;
                if (unlinkat(dir, name, 0) == 0) {
                    removed = true;
                    continue;
                }
                const int sub = openat(dir, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
                if (sub < 0) continue;
                emptyFolder(sub, depth + 1);
                close(sub);
                if (unlinkat(dir, name, AT_REMOVEDIR) == 0) removed = true;
            }
        }
    }
}

void removeAtExit() { RemoveProcessTempFolder(); }

constexpr int kFatalSignals[] = {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT, SIGTERM, SIGINT, SIGHUP, SIGQUIT};
struct sigaction gPrevious[std::size(kFatalSignals)];

// Removes the folder, then lets the signal take its course as it would have
// (the sanitizer's report included): a fault happens again on return, a sent
// signal is sent again.
void onFatalSignal(int sig, siginfo_t* info, void*) {
    const int saved = errno;
    RemoveProcessTempFolder();
    for (size_t i = 0; i < std::size(kFatalSignals); ++i)
        if (kFatalSignals[i] == sig) sigaction(sig, &gPrevious[i], nullptr);
    if (info == nullptr || info->si_code <= 0) raise(sig);
    errno = saved;
}

}  // namespace

void MakeProcessTempFolder(const char* programName) {
    std::error_code ec;
    std::filesystem::path base = std::filesystem::temp_directory_path(ec);
    if (ec) base = "/tmp";
    const std::string name = std::filesystem::path(programName ? programName : "test").filename().string();
    std::string pattern = (base / (name + "-XXXXXX")).string();
    if (pattern.size() >= sizeof gFolder || mkdtemp(pattern.data()) == nullptr) {
        std::fprintf(stderr, "cannot make a temporary folder %s: %s\n", pattern.c_str(), std::strerror(errno));
        std::exit(2);
    }
    // Others may pass through, as through the system's temporary folder: a
    // test that drops its privileges still reaches its own folder inside.
    chmod(pattern.c_str(), 0711);
    std::memcpy(gFolder, pattern.c_str(), pattern.size() + 1);
    gOwner = getpid();
    setenv("TMPDIR", gFolder, 1);
    std::atexit(removeAtExit);
    for (size_t i = 0; i < std::size(kFatalSignals); ++i) {
        struct sigaction a {};
        a.sa_sigaction = onFatalSignal;
        a.sa_flags = SA_SIGINFO;
        sigemptyset(&a.sa_mask);
        sigaction(kFatalSignals[i], &a, &gPrevious[i]);
    }
}

void RemoveProcessTempFolder() {
    if (gFolder[0] == '\0' || getpid() != gOwner) return;
    const int dir = open(gFolder, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (dir >= 0) {
        emptyFolder(dir, 0);
        close(dir);
    }
    rmdir(gFolder);
}

}  // namespace pemu_test
