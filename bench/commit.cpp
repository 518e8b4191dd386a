// The cost of saving one answer: the exam window's save step (one transaction:
// delete the question's answers, insert the chosen ones, commit) in a loop, on a
// copy of the shipped database, with the rollback journal the database used
// before and with the write-ahead log it opens with now. Both sync every commit
// to disk (synchronous FULL), so the figures follow the disk under the folder.
//
//   bench_commit [FOLDER] [SAVES]    (FOLDER defaults to the current one)
//
// Count the flushes with: strace -f -c -e trace=fsync,fdatasync bench_commit
#include "dbbuild/dbbuild.h"
#include "exam/examrun.h"
#include "platform/database.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct Figures {
    double median, mean, worst;
};

Figures Saves(plat::Database& db, int saves) {
    std::vector<double> ms;
    ms.reserve(saves);
    for (int i = 0; i < saves; ++i) {
        const auto qid = static_cast<int16_t>(i % 500 + 1);
        const auto start = std::chrono::steady_clock::now();
        examrun::SaveAnswers(db, qid, {qid, static_cast<int16_t>(qid + 1)});
        ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    std::vector<double> sorted = ms;
    std::sort(sorted.begin(), sorted.end());
    double sum = 0;
    for (double v : ms) sum += v;
    return {sorted[sorted.size() / 2], sum / saves, sorted.back()};
}

}  // namespace

int main(int argc, char** argv) {
    const fs::path folder = fs::absolute(argc > 1 ? fs::path(argv[1]) : fs::current_path()) / "bench_commit.tmp";
    const int saves = argc > 2 ? std::max(1, std::atoi(argv[2])) : 300;
    fs::remove_all(folder);
    fs::create_directories(folder);
    const fs::path shipped = folder / "shipped.db";
    dbbuild::makeDatabase(PEMU_DATA_DIR, shipped);

    std::printf("%d saves of one answer each, in %s\n\n", saves, folder.string().c_str());
    std::printf("%-28s %10s %10s %10s\n", "journal", "median ms", "mean ms", "worst ms");
    {
        fs::copy_file(shipped, folder / "rollback.db");
        // Opened without switching to the log: as every commit went before.
        plat::Database db = plat::Database::Create(folder / "rollback.db");
        db.Execute("PRAGMA synchronous = FULL");
        const Figures f = Saves(db, saves);
        std::printf("%-28s %10.3f %10.3f %10.3f\n", ("rollback (" + db.JournalMode() + ")").c_str(), f.median,
                    f.mean, f.worst);
    }
    {
        fs::copy_file(shipped, folder / "wal.db");
        plat::Database db = plat::Database::Open(folder / "wal.db");
        const Figures f = Saves(db, saves);
        std::printf("%-28s %10.3f %10.3f %10.3f\n", ("write-ahead log (" + db.JournalMode() + ")").c_str(),
                    f.median, f.mean, f.worst);
    }
    fs::remove_all(folder);
    return 0;
}
