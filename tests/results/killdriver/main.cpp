// Saves or deletes one result in a program folder, as the program does, for a
// test that stops it part-way. The preloaded counting library, when present,
// is armed just before the step, so that only the step's own changes to files
// are counted.
//   pemu_killdriver <program folder> <database> save
//   pemu_killdriver <program folder> <database> delete <list position>
// Exit status 0: done; 2: the step failed (its message on standard error).
#include "results/savedresults.h"

#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: %s <program folder> <database> save | delete <position>\n", argv[0]);
        return 64;
    }
    const std::filesystem::path folder = argv[1];
    plat::Database db = plat::Database::Open(argv[2]);
    const std::string step = argv[3];
    auto arm = reinterpret_cast<void (*)()>(dlsym(RTLD_DEFAULT, "pemu_killshim_arm"));
    const results::Viewer admin{"norvi", true};

    QString failure;
    if (step == "save") {
        results::SaveRequest r;
        r.candName = "Kim Candidate";
        r.userName = "kim";
        r.examName = "Practice";
        r.date = QDate(2026, 12, 7);
        r.time = QTime(14, 5, 33);
        r.scoreObt = 300;
        r.passScore = 700;
        r.maxScore = 1000;
        r.percentage = 30;
        r.result = "Fail";
        if (arm) arm();
        const results::SaveOutcome o = results::SaveResult(db, folder, r);
        if (!o.saved) failure = o.message.text;
    } else if (step == "delete" && argc > 4) {
        const results::DeleteSelection s = results::SelectForDelete(db, admin, std::atoi(argv[4]));
        if (!s.target) {
            std::fprintf(stderr, "no result at position %s\n", argv[4]);
            return 2;
        }
        if (arm) arm();
        const results::DeleteOutcome o = results::DeleteResult(db, folder, *s.target);
        if (!o.deleted) failure = o.message.text;
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
