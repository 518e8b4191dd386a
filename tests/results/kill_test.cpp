// A save or a delete killed before each of its changes to a file, then the
// program started again: every listed result reopens whole, a result is either
// listed with its file or gone, no temporary file stays behind, and the result
// can be saved or deleted again.
#include "results/resultfolder.h"
#include "results/savedresults.h"
#include "run.h"
#include "startup/module1.h"
#include "startup/state.h"
#include "support/fixture.h"

#include <QTemporaryDir>

#include <cstring>
#include <set>
#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

using namespace results;
using namespace results_test;
namespace fs = std::filesystem;

namespace {

// What the folder held after a kill, before it was put straight.
enum class Found { PartOnly, PartAndFileWithoutRow, PartWithRow, ParkedWithRow, ParkedWithoutRow };

class KillTest : public pemu_test::ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        for (long long q : {Pick(*gcnExam, "S"), Pick(*gcnExam, "D"), Pick(*gcnExam, "M"), Pick(*gcnExam, "SIM")}) {
            AddToRun(*gcnExam, q);
            Answer(*gcnExam, q, false);
        }
        for (int i = 0; i < 3; ++i) {
            const SaveOutcome o = SaveResult(*gcnExam, folder(),
                                             FailedRunRequest("Cand", "cand0" + QString::number(i), "Exam",
                                                              QDate(2026, 12, 7), QTime(9, i, 0)));
            ASSERT_TRUE(o.saved) << o.message.text.toStdString();
            originals.insert(o.key.toStdString());
        }
        // Everything in the database file itself, so that a copy of it is whole.
        gcnExam->Execute("PRAGMA wal_checkpoint(TRUNCATE)");
    }

    // A copy of the program folder's database and results.
    static void copyProgram(const fs::path& from, const fs::path& to) {
        fs::copy_file(from / "PEMUV2.0.db", to / "PEMUV2.0.db");
        fs::copy(from / "results", to / "results");
    }

    // Runs the driver with the library that kills it before its n-th change
    // to a file; true when it was killed, false when it finished its step.
    static bool runKilledAt(const fs::path& work, std::vector<std::string> args, long n) {
        args.insert(args.begin(), {PEMU_KILL_DRIVER, work.string(), (work / "PEMUV2.0.db").string()});
        std::vector<std::string> env;
        std::string asan = "ASAN_OPTIONS=verify_asan_link_order=0";
        for (char** e = environ; *e; ++e) {
            const std::string v = *e;
            if (v.rfind("ASAN_OPTIONS=", 0) == 0) asan = v + ":verify_asan_link_order=0";
            else if (v.rfind("LD_PRELOAD=", 0) != 0 && v.rfind("PEMU_KILL_AT=", 0) != 0) env.push_back(v);
        }
        env.push_back(asan);
        env.push_back(std::string("LD_PRELOAD=") + PEMU_KILL_SHIM);
        env.push_back("PEMU_KILL_AT=" + std::to_string(n));
        std::vector<char*> argv, envp;
        for (std::string& a : args) argv.push_back(a.data());
        for (std::string& e : env) envp.push_back(e.data());
        argv.push_back(nullptr);
        envp.push_back(nullptr);
        pid_t pid = 0;
        EXPECT_EQ(posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), envp.data()), 0);
        int status = 0;
        EXPECT_EQ(waitpid(pid, &status, 0), pid);
        if (WIFSIGNALED(status)) {
            EXPECT_EQ(WTERMSIG(status), SIGKILL);
            return true;
        }
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the driver failed at kill " << n;
        return false;
    }

    static bool rowNames(plat::Database& db, const std::string& key) {
        return db.Scalar("SELECT count(*) FROM ResultsBrief where FileName = ?", {key}).toInt() > 0;
    }

    // What an interrupted step left, told by its leftover names.
    static std::set<Found> leftovers(plat::Database& db, const fs::path& results) {
        std::set<Found> found;
        for (const auto& e : fs::directory_iterator(results)) {
            const std::string name = e.path().filename().string();
            auto ends = [&](const std::string& end) {
                return name.size() > end.size() && name.compare(name.size() - end.size(), end.size(), end) == 0;
            };
            const auto keyOf = [&](const char* end) { return name.substr(0, name.size() - std::strlen(end)); };
            if (ends(kSavingEnding)) {
                const std::string key = keyOf(kSavingEnding);
                found.insert(rowNames(db, key)                          ? Found::PartWithRow
                             : fs::exists(results / (key + kResultEnding)) ? Found::PartAndFileWithoutRow
                                                                          : Found::PartOnly);
            } else if (ends(kDeletingEnding)) {
                found.insert(rowNames(db, keyOf(kDeletingEnding)) ? Found::ParkedWithRow : Found::ParkedWithoutRow);
            }
        }
        return found;
    }

    // The program started again: the folder put straight, then every listed
    // result reopens and every file is a listed result's. The listed keys.
    static std::set<std::string> restarted(plat::Database& db, const fs::path& work) {
        const fs::path results = ResultsFolder(work);
        RecoverResultFiles(db, results);
        std::set<std::string> files, listed;
        for (const auto& e : fs::directory_iterator(results)) {
            const std::string name = e.path().filename().string();
            EXPECT_EQ(name.find(".erf."), std::string::npos) << name << " stayed behind";
            files.insert(name);
        }
        const std::vector<SavedResult> list = ListResults(db, admin);
        for (size_t i = 0; i < list.size(); ++i) {
            const std::string key = list[i].fileName.toStdString();
            listed.insert(key);
            EXPECT_TRUE(files.count(key + kResultEnding)) << key << " is listed without its file";
            const ReopenOutcome o = ReopenResult(db, work, admin, static_cast<int>(i) + 1);
            EXPECT_TRUE(o.ok) << key << ": " << o.message.text.toStdString();
        }
        for (const std::string& f : files)
            EXPECT_TRUE(f.size() > 4 && listed.count(f.substr(0, f.size() - 4))) << f << " is no listed result's";
        return listed;
    }

    static inline const Viewer admin{"norvi", true};
    std::set<std::string> originals;
};

}  // namespace

TEST_F(KillTest, ASaveKilledAtAnyMomentLeavesTheResultWholeOrGone) {
    std::set<Found> seen;
    int kills = 0;
    for (long n = 1;; ++n) {
        ASSERT_LT(n, 400) << "the save never finished";
        QTemporaryDir dir;
        const fs::path work = dir.path().toStdString();
        copyProgram(folder(), work);
        const bool killed = runKilledAt(work, {"save"}, n);
        plat::Database db = plat::Database::Open((work / "PEMUV2.0.db").string());
        const std::set<Found> found = leftovers(db, ResultsFolder(work));
        seen.insert(found.begin(), found.end());

        std::set<std::string> listed = restarted(db, work);
        for (const std::string& k : originals) EXPECT_TRUE(listed.count(k)) << k << " was lost at kill " << n;
        EXPECT_LE(listed.size(), originals.size() + 1);
        if (!killed) {
            EXPECT_EQ(listed.size(), originals.size() + 1) << "the finished save is not listed";
            break;
        }
        ++kills;

        // Saved again and then deleted, whether or not the killed save got
        // through: the folder ends as it began.
        const SaveOutcome again = SaveResult(db, work, FailedRunRequest("Kim", "kim", "Exam", QDate(2026, 12, 7),
                                                                        QTime(14, 5, 33)));
        ASSERT_TRUE(again.saved) << again.message.text.toStdString();
        for (int row = static_cast<int>(ListResults(db, admin).size()); row > 3; --row) {
            const DeleteSelection s = SelectForDelete(db, admin, row);
            ASSERT_TRUE(s.target);
            EXPECT_TRUE(DeleteResult(db, work, *s.target).deleted);
        }
        EXPECT_EQ(restarted(db, work), originals) << "after kill " << n;
    }
    EXPECT_GT(kills, 5);
    // The kills fell in each stretch of the save: writing, between the file
    // and its row, between the row and the mark's removal.
    EXPECT_TRUE(seen.count(Found::PartOnly));
    EXPECT_TRUE(seen.count(Found::PartAndFileWithoutRow));
    EXPECT_TRUE(seen.count(Found::PartWithRow));
}

TEST_F(KillTest, ADeleteKilledAtAnyMomentLeavesTheResultWholeOrGone) {
    const std::string target = ListResults(*gcnExam, admin)[1].fileName.toStdString();
    std::set<Found> seen;
    int kills = 0;
    for (long n = 1;; ++n) {
        ASSERT_LT(n, 400) << "the delete never finished";
        QTemporaryDir dir;
        const fs::path work = dir.path().toStdString();
        copyProgram(folder(), work);
        const bool killed = runKilledAt(work, {"delete", "2"}, n);
        plat::Database db = plat::Database::Open((work / "PEMUV2.0.db").string());
        const std::set<Found> found = leftovers(db, ResultsFolder(work));
        seen.insert(found.begin(), found.end());

        const std::set<std::string> listed = restarted(db, work);
        std::set<std::string> others = originals;
        others.erase(target);
        for (const std::string& k : others) EXPECT_TRUE(listed.count(k)) << k << " was lost at kill " << n;
        if (!killed) {
            EXPECT_EQ(listed, others) << "the finished delete left its result";
            break;
        }
        ++kills;

        // Deleted again where it survived.
        if (listed.count(target)) {
            const DeleteSelection s = SelectForDelete(db, admin, 2);
            ASSERT_TRUE(s.target);
            ASSERT_EQ(s.target->fileName.toStdString(), target);
            EXPECT_TRUE(DeleteResult(db, work, *s.target).deleted);
        }
        EXPECT_EQ(restarted(db, work), others) << "after kill " << n;
        EXPECT_FALSE(fs::exists(ResultsFolder(work) / (target + kResultEnding)));
    }
    EXPECT_GT(kills, 2);
    EXPECT_TRUE(seen.count(Found::ParkedWithRow));
    EXPECT_TRUE(seen.count(Found::ParkedWithoutRow));
}

// What a stopped step left is put straight when the program starts.
TEST_F(KillTest, StartingTheProgramPutsTheFolderStraight) {
    const fs::path results = ResultsFolder(folder());
    const std::string parked = *originals.begin();
    // A delete stopped with the file parked and the row still there.
    fs::rename(results / (parked + kResultEnding), results / (parked + kDeletingEnding));
    // A save stopped between its file and its row.
    WriteFile((results / "kim_12726_1405.erf").string(), "qid : 1\r\n");
    fs::create_hard_link(results / "kim_12726_1405.erf", results / "kim_12726_1405.erf.part");

    Module1::Disconnect();
    ASSERT_EQ(Module1::Main(), 0);
    EXPECT_TRUE(fs::is_regular_file(results / (parked + kResultEnding)));
    EXPECT_FALSE(fs::exists(results / (parked + kDeletingEnding)));
    EXPECT_FALSE(fs::exists(results / "kim_12726_1405.erf"));
    EXPECT_FALSE(fs::exists(results / "kim_12726_1405.erf.part"));
    EXPECT_EQ(restarted(*gcnExam, folder()), originals);
}
