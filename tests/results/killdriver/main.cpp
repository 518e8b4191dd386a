// Saves or deletes results in a program folder, as the program does, for the
// tests that stop it part-way or run two of it at once. The preloaded counting
// library, when present, is armed just before the step, so that only the
// step's own changes to files are counted.
//   pemu_killdriver <program folder> <database> save
//   pemu_killdriver <program folder> <database> delete <list position>
// and, for two copies at work on one folder, each writing what it did to a
// log, one line a step ("saved <key>", "deleted <key>", "failed <message>"):
//   ... saves <count> <login name> <log>        saves in a row
//   ... deletes <count> <login name> <log>      deletes that user's last result, again and again
//   ... starts <count> <login name> <log>       starts (opens the database, puts the folder
//                                               straight), saves and deletes what it saved
// Exit status 0: done; 2: a step failed (its message on standard error).
#include "results/resultfolder.h"
#include "results/savedresults.h"
#include "run.h"

#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

namespace {

const results::Viewer kAdmin{"norvi", true};

// The n-th run of a day: a minute apiece.
results::SaveRequest Request(const QString& user, int n) {
    return results_test::FailedRunRequest("Kim Candidate", user, "Practice", QDate(2026, 12, 7),
                                          QTime(n / 60 % 24, n % 60, 33));
}

class Log {
public:
    explicit Log(const char* path) : out_(path, std::ios::app) {}
    void Saved(const results::SaveOutcome& o) {
        Line(o.saved ? "saved " + o.key.toStdString() : "failed " + o.message.text.toStdString());
    }
    void Deleted(const QString& key, const results::DeleteOutcome& o) {
        Line(o.deleted ? "deleted " + key.toStdString() : "failed " + o.message.text.toStdString());
    }

private:
    void Line(const std::string& s) { out_ << s << std::endl; }
    std::ofstream out_;
};

// Deletes the user's last result; false when there is none.
bool DeleteLast(plat::Database& db, const std::filesystem::path& folder, const QString& user, Log& log) {
    const results::Viewer viewer{user, false};
    const int n = static_cast<int>(results::ListResults(db, viewer).size());
    const results::DeleteSelection s = results::SelectForDelete(db, viewer, n);
    if (!s.target) return false;
    log.Deleted(s.target->fileName, results::DeleteResult(db, folder, *s.target));
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: %s <program folder> <database> save | delete <position> | saves | deletes | "
                             "starts ...\n", argv[0]);
        return 64;
    }
    const std::filesystem::path folder = argv[1];
    const std::string database = argv[2];
    plat::Database db = plat::Database::Open(database);
    const std::string step = argv[3];
    auto arm = reinterpret_cast<void (*)()>(dlsym(RTLD_DEFAULT, "pemu_killshim_arm"));

    QString failure;
    if (step == "save") {
        if (arm) arm();
        const results::SaveOutcome o = results::SaveResult(db, folder, Request("kim", 14 * 60 + 5));
        if (!o.saved) failure = o.message.text;
    } else if (step == "delete" && argc > 4) {
        const results::DeleteSelection s = results::SelectForDelete(db, kAdmin, std::atoi(argv[4]));
        if (!s.target) {
            std::fprintf(stderr, "no result at position %s\n", argv[4]);
            return 2;
        }
        if (arm) arm();
        const results::DeleteOutcome o = results::DeleteResult(db, folder, *s.target);
        if (!o.deleted) failure = o.message.text;
    } else if (step == "saves" && argc > 6) {
        Log log(argv[6]);
        for (int i = 0; i < std::atoi(argv[4]); ++i) log.Saved(results::SaveResult(db, folder, Request(argv[5], i)));
    } else if (step == "deletes" && argc > 6) {
        Log log(argv[6]);
        for (int i = 0; i < std::atoi(argv[4]); ++i) DeleteLast(db, folder, argv[5], log);
    } else if (step == "starts" && argc > 6) {
        Log log(argv[6]);
        for (int i = 0; i < std::atoi(argv[4]); ++i) {
            plat::Database started = plat::Database::Open(database);
            results::RecoverResultFiles(started, results::ResultsFolder(folder));
            const results::SaveOutcome o = results::SaveResult(started, folder, Request(argv[5], i));
            log.Saved(o);
            // Every other result is deleted again, by its own row.
            if (o.saved && i % 2 == 0)
                log.Deleted(o.key, results::DeleteResult(started, folder, {o.index, o.key}));
        }
    } else {
        std::fprintf(stderr, "unknown step %s\n", step.c_str());
        return 64;
    }
    if (!failure.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(failure));
        return 2;
    }
    return 0;
}
