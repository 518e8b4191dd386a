// Start-up time as a user waits for it: a fresh process for every run, from the
// launch (a CLOCK_MONOTONIC stamp taken just before the process is started) to
// the sign-in window's first paint, over a copy of the built database.
// Warm runs follow each other; cold runs first drop the program's files (the
// executable, the libraries it maps, the database, the font caches) from the
// page cache, where the system lets a process do so (posix_fadvise).
//
//   bench_startup [warm runs, default 30] [cold runs, default 10]
//
// This launcher links no Qt, so that it keeps none of the libraries mapped.
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

long long nowNs() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return ts.tv_sec * 1000000000LL + ts.tv_nsec;
}

// Runs the child once; returns the milliseconds it reported, or a negative value.
double runOnce(const std::string& child, const fs::path& folder, const std::string& mapsFile) {
    int out[2];
    if (pipe(out) != 0) return -1;
    const long long stamp = nowNs();
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(out[1], 1);
        close(out[0]);
        close(out[1]);
        const std::string s = std::to_string(stamp);
        setenv("PEMU_LAUNCH_NS", s.c_str(), 1);
        const std::string f = folder.string();
        execl(child.c_str(), child.c_str(), f.c_str(), mapsFile.empty() ? nullptr : mapsFile.c_str(),
              static_cast<char*>(nullptr));
        _exit(127);
    }
    close(out[1]);
    std::string text;
    char buf[64];
    for (ssize_t n; (n = read(out[0], buf, sizeof buf)) > 0;) text.append(buf, static_cast<size_t>(n));
    close(out[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 || text.empty()) return -1;
    return std::atoll(text.c_str()) / 1e6;
}

// Drops a file's pages from the page cache; false where the system keeps them.
bool evict(const fs::path& file) {
    const int fd = open(file.c_str(), O_RDONLY);
    if (fd < 0) return false;
    fdatasync(fd);
    const bool ok = posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED) == 0;
    close(fd);
    return ok;
}

std::set<fs::path> mappedFiles(const std::string& mapsFile) {
    std::set<fs::path> files;
    std::ifstream in(mapsFile);
    std::string line;
    while (std::getline(in, line)) {
        const size_t slash = line.find('/');
        if (slash != std::string::npos) files.insert(line.substr(slash));
    }
    return files;
}

void report(const char* what, std::vector<double> ms) {
    if (ms.empty()) return;
    std::sort(ms.begin(), ms.end());
    std::printf("%-34s %3zu runs: median %7.2f ms, min %7.2f ms, max %7.2f ms\n", what, ms.size(), ms[ms.size() / 2],
                ms.front(), ms.back());
}

}  // namespace

int main(int argc, char** argv) {
    const int warmRuns = argc > 1 ? std::atoi(argv[1]) : 30;
    const int coldRuns = argc > 2 ? std::atoi(argv[2]) : 10;
    setenv("QT_QPA_PLATFORM", "offscreen", 0);

    const fs::path self = fs::canonical("/proc/self/exe");
    const std::string child = (self.parent_path() / "bench_startup_child").string();
    char tmpl[] = "/tmp/pemu-bench-XXXXXX";
    const fs::path folder = mkdtemp(tmpl);
    fs::create_directories(folder / "help");
    fs::create_directories(folder / "config");
    fs::copy_file(fs::path(PEMU_PROGRAM_DIR) / "PEMUV2.0.db", folder / "PEMUV2.0.db");
    fs::copy_file(fs::path(PEMU_PROGRAM_DIR) / "help" / "Tavolin.html", folder / "help" / "Tavolin.html");
    setenv("XDG_CONFIG_HOME", (folder / "config").c_str(), 1);
    const std::string mapsFile = (folder / "maps.txt").string();

    // The first run also lists what the program maps.
    if (runOnce(child, folder, mapsFile) < 0) {
        std::fprintf(stderr, "the program did not reach its sign-in window\n");
        return 1;
    }
    std::vector<double> warm;
    for (int i = 0; i < warmRuns; ++i) warm.push_back(runOnce(child, folder, ""));

    std::set<fs::path> files = mappedFiles(mapsFile);
    files.insert(folder / "PEMUV2.0.db");
    files.insert(child);
    for (const char* cacheDir : {"/var/cache/fontconfig", "/usr/share/fonts"}) {
        std::error_code ec;
        for (auto it = fs::recursive_directory_iterator(cacheDir, ec); !ec && it != fs::recursive_directory_iterator();
             it.increment(ec))
            if (it->is_regular_file()) files.insert(it->path());
    }
    std::vector<double> cold;
    size_t evicted = 0;
    for (int i = 0; i < coldRuns; ++i) {
        evicted = 0;
        for (const fs::path& f : files) evicted += evict(f);
        cold.push_back(runOnce(child, folder, ""));
    }

    std::printf("Launch to the sign-in window's first paint (fresh process per run, %s platform)\n",
                std::getenv("QT_QPA_PLATFORM"));
    report("warm", warm);
    report("cold (files dropped from cache)", cold);
    std::printf("cold runs dropped %zu of %zu files from the page cache before each run\n", evicted, files.size());
    fs::remove_all(folder);
    return 0;
}
