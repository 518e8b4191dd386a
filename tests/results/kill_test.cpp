// A save or a delete killed before each of its changes to a file, then the
// program started again: every listed result reopens whole, a result is either
// listed with its file or gone, no temporary file stays behind, and the result
// can be saved or deleted again. Each on an ordinary disk and on disks without
// hard links or without a rename that refuses to replace, as USB sticks and
// memory cards are formatted; and the order in which a save and a delete flush
// what they write, which a kill cannot show.
#include "driver.h"
#include "results/resultfolder.h"
#include "results/savedresults.h"
#include "run.h"
#include "startup/module1.h"
#include "startup/state.h"
#include "support/fixture.h"

#include <QTemporaryDir>

#include <cstring>
#include <fstream>
#include <set>

using namespace results;
using namespace results_test;
namespace fs = std::filesystem;

namespace {

// What the folder held after a kill, before it was put straight.
enum class Found { PartOnly, PartWithRow, PartAndFileWithoutRow, FileWithoutRow, ParkedWithRow, ParkedWithoutRow };

struct Disk {
    const char* name;
    Settings settings;
};

const Disk kDisks[] = {
    {"Ordinary", {}},
    {"NoHardLinks", {"PEMU_NO_LINK=1"}},
    {"NoRenameNoReplace", {"PEMU_NO_RENAME_NOREPLACE=1"}},
    {"NeitherAsOnExFat", {"PEMU_NO_LINK=1", "PEMU_NO_RENAME_NOREPLACE=1"}},
};

void PrintTo(const Disk& d, std::ostream* os) { *os << d.name; }

class KillTest : public pemu_test::ProgramTest, public ::testing::WithParamInterface<Disk> {
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

    // A copy of the program folder's database and results, under its path
    // with no link in it, as the calls on open files name it.
    fs::path copyProgram(const QTemporaryDir& dir) const {
        const fs::path to = fs::canonical(dir.path().toStdString());
        fs::copy_file(folder() / "PEMUV2.0.db", to / "PEMUV2.0.db");
        fs::copy(folder() / "results", to / "results");
        return to;
    }

    // Runs the driver on the disk under test, killed before its n-th change to
    // a file (0: never); true when it was killed, false when it finished.
    static bool runKilledAt(const fs::path& work, const std::vector<std::string>& args, long n) {
        Settings settings = GetParam().settings;
        if (n > 0) settings.push_back("PEMU_KILL_AT=" + std::to_string(n));
        const Ending e = WaitFor(StartDriver(work, args, settings));
        EXPECT_TRUE(e.killed || e.status == 0) << "the driver failed at kill " << n;
        return e.killed;
    }

    static bool rowNames(plat::Database& db, const std::string& key) {
        return db.Scalar("SELECT count(*) FROM ResultsBrief where FileName = ?", {key}).toInt() > 0;
    }

    // What an interrupted step left, told by its leftover names and by any
    // result file that no row names.
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
            } else if (ends(kResultEnding) && !rowNames(db, keyOf(kResultEnding))) {
                found.insert(Found::FileWithoutRow);
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

    static std::vector<std::string> lines(const fs::path& file) {
        std::vector<std::string> v;
        std::ifstream in(file);
        for (std::string line; std::getline(in, line);) v.push_back(line);
        return v;
    }

    static inline const Viewer admin{"norvi", true};
    std::set<std::string> originals;
};

// Where the call `call` comes first at or after `from`; npos when nowhere.
size_t FirstFrom(const std::vector<std::string>& calls, const std::string& call, size_t from = 0) {
    for (size_t i = from; i < calls.size(); ++i)
        if (calls[i] == call) return i;
    return std::string::npos;
}

// Where the call `call` comes last before `before`; npos when nowhere.
size_t LastBefore(const std::vector<std::string>& calls, const std::string& call, size_t before) {
    size_t found = std::string::npos;
    for (size_t i = 0; i < std::min(before, calls.size()); ++i)
        if (calls[i] == call) found = i;
    return found;
}

std::string Names(const std::vector<std::string>& calls) {
    std::string s;
    for (const std::string& c : calls) s += "\n  " + c;
    return s;
}

}  // namespace

TEST_P(KillTest, ASaveKilledAtAnyMomentLeavesTheResultWholeOrGone) {
    std::set<Found> seen;
    int kills = 0;
    for (long n = 1;; ++n) {
        ASSERT_LT(n, 400) << "the save never finished";
        QTemporaryDir dir;
        const fs::path work = copyProgram(dir);
        const bool killed = runKilledAt(work, {"save"}, n);
        plat::Database db = plat::Database::Open((work / "PEMUV2.0.db").string());
        const std::set<Found> found = leftovers(db, ResultsFolder(work));
        seen.insert(found.begin(), found.end());
        // A result file is only ever named for a result whose row stands.
        EXPECT_FALSE(found.count(Found::FileWithoutRow) || found.count(Found::PartAndFileWithoutRow))
            << "a file that no row names at kill " << n;

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
    // and its row, between the row and the file's own name.
    EXPECT_TRUE(seen.count(Found::PartOnly));
    EXPECT_TRUE(seen.count(Found::PartWithRow));
}

TEST_P(KillTest, ADeleteKilledAtAnyMomentLeavesTheResultWholeOrGone) {
    const std::vector<SavedResult> list = ListResults(*gcnExam, admin);
    ASSERT_EQ(list.size(), originals.size());
    const std::string target = list[1].fileName.toStdString();
    std::set<Found> seen;
    int kills = 0;
    for (long n = 1;; ++n) {
        ASSERT_LT(n, 400) << "the delete never finished";
        QTemporaryDir dir;
        const fs::path work = copyProgram(dir);
        const bool killed = runKilledAt(work, {"delete", "2"}, n);
        plat::Database db = plat::Database::Open((work / "PEMUV2.0.db").string());
        const std::set<Found> found = leftovers(db, ResultsFolder(work));
        seen.insert(found.begin(), found.end());
        EXPECT_FALSE(found.count(Found::FileWithoutRow)) << "a file that no row names at kill " << n;

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

// A kill keeps what the page cache holds, so a flush left out shows only in
// the order of the calls: the result file and the folder that names it are
// flushed before the row commits, and the file gets its own name only after;
// a deleted file is parked and the folder flushed before the row goes.
TEST_P(KillTest, ASaveAndADeleteFlushBeforeTheirRowCommits) {
    QTemporaryDir dir;
    const fs::path work = copyProgram(dir);
    const std::string results = (work / "results").string(), wal = (work / "PEMUV2.0.db-wal").string();
    Settings settings = GetParam().settings;
    const fs::path log = work / "calls.log";
    settings.push_back("PEMU_KILL_LOG=" + log.string());

    ASSERT_EQ(WaitFor(StartDriver(work, {"save"}, settings)).status, 0);
    std::vector<std::string> calls = lines(log);
    const std::string file = results + "/kim_12726_1405.erf", part = file + ".part";
    // The row's commit is the first write to the database's log (which
    // creates it afresh: the copy's database holds every commit).
    const size_t commit = FirstFrom(calls, "write " + wal);
    ASSERT_NE(commit, std::string::npos) << Names(calls);
    const size_t written = LastBefore(calls, "write " + part, commit);
    const size_t fileFlushed = FirstFrom(calls, "fsync " + part, written);
    const size_t folderFlushed = FirstFrom(calls, "fsync " + results, fileFlushed);
    EXPECT_NE(written, std::string::npos) << Names(calls);
    EXPECT_LT(fileFlushed, commit) << "the file is not flushed before its row commits" << Names(calls);
    EXPECT_LT(folderFlushed, commit) << "the folder is not flushed before the row commits" << Names(calls);
    const std::string named = part + " " + file;
    EXPECT_EQ(LastBefore(calls, "rename " + named, commit), std::string::npos) << Names(calls);
    EXPECT_EQ(LastBefore(calls, "link " + named, commit), std::string::npos) << Names(calls);
    EXPECT_TRUE(fs::is_regular_file(file));
    EXPECT_FALSE(fs::exists(part));

    fs::remove(log);
    const std::vector<SavedResult> list = ListResults(*gcnExam, admin);
    ASSERT_GE(list.size(), 2u);
    const std::string victim = results + "/" + list[1].fileName.toStdString() + kResultEnding;
    const std::string parked = results + "/" + list[1].fileName.toStdString() + kDeletingEnding;
    ASSERT_EQ(WaitFor(StartDriver(work, {"delete", "2"}, settings)).status, 0);
    calls = lines(log);
    const size_t gone = FirstFrom(calls, "write " + wal);
    ASSERT_NE(gone, std::string::npos) << Names(calls);
    size_t park = std::string::npos;
    for (const char* call : {"rename ", "link "}) {
        const size_t at = LastBefore(calls, call + victim + " " + parked, gone);
        if (at != std::string::npos && (park == std::string::npos || at > park)) park = at;
    }
    ASSERT_NE(park, std::string::npos) << "the file is not parked before its row goes" << Names(calls);
    EXPECT_LT(FirstFrom(calls, "fsync " + results, park), gone)
        << "the folder is not flushed after the file is parked" << Names(calls);
    EXPECT_NE(FirstFrom(calls, "unlink " + parked, gone), std::string::npos) << Names(calls);
    EXPECT_FALSE(fs::exists(victim));
    EXPECT_FALSE(fs::exists(parked));
}

INSTANTIATE_TEST_SUITE_P(Disks, KillTest, ::testing::ValuesIn(kDisks),
                         [](const ::testing::TestParamInfo<Disk>& d) { return std::string(d.param.name); });

// What a stopped step left is put straight when the program starts.
using StartTest = KillTest;
TEST_F(StartTest, StartingTheProgramPutsTheFolderStraight) {
    const fs::path results = ResultsFolder(folder());
    const std::string parked = *originals.begin();
    // A delete stopped with the file parked and the row still there.
    fs::rename(results / (parked + kResultEnding), results / (parked + kDeletingEnding));
    // A save stopped between its file and its row, as earlier versions left it:
    // the mark a second name of the file.
    WriteFile((results / "kim_12726_1405.erf").string(), "qid : 1\r\n");
    fs::create_hard_link(results / "kim_12726_1405.erf", results / "kim_12726_1405.erf.part");
    // A save stopped between its row and the file's own name.
    const std::string named = *std::next(originals.begin());
    fs::rename(results / (named + kResultEnding), results / (named + kSavingEnding));

    Module1::Disconnect();
    ASSERT_EQ(Module1::Main(), 0);
    EXPECT_TRUE(fs::is_regular_file(results / (parked + kResultEnding)));
    EXPECT_FALSE(fs::exists(results / (parked + kDeletingEnding)));
    EXPECT_FALSE(fs::exists(results / "kim_12726_1405.erf"));
    EXPECT_FALSE(fs::exists(results / "kim_12726_1405.erf.part"));
    EXPECT_TRUE(fs::is_regular_file(results / (named + kResultEnding)));
    EXPECT_EQ(restarted(*gcnExam, folder()), originals);
}
