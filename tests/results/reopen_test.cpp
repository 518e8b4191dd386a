// Listing, reopening and deleting saved results: what each user may see, the
// run tables rebuilt from a file exactly as saved, bad and fuzzed files that
// must change nothing, and deletes that must not lose a row or a file.
#include "results/resultfile.h"
#include "results/savedresults.h"
#include "run.h"
#include "startup/state.h"
#include "support/fixture.h"

#include <QRegularExpression>

#include <filesystem>
#include <random>

#include <sys/stat.h>

using namespace results;
using namespace results_test;
namespace fs = std::filesystem;

namespace {

class ReopenTest : public pemu_test::ProgramTest {
protected:
    // A saved run of every type, with options of "S" and "M" questions on both
    // sides of a drag-and-drop question.
    SaveOutcome saveRun(const QString& user, QTime time = QTime(14, 5, 33)) {
        gcnExam->Execute("DELETE * from QuestIds");
        gcnExam->Execute("DELETE * from AnsIds");
        const long long s = Pick(*gcnExam, "S"), d = Pick(*gcnExam, "D"), m = Pick(*gcnExam, "M"),
                        sim = Pick(*gcnExam, "SIM");
        for (long long q : {s, d, m, sim}) AddToRun(*gcnExam, q);
        Answer(*gcnExam, s, true);
        Answer(*gcnExam, d, false);
        Answer(*gcnExam, m, false);
        Answer(*gcnExam, sim, false);
        gcnExam->Execute("UPDATE DragNDrop SET AnsRand = Index + 1 where QId = ?", {d});
        SaveRequest r = results_test::FailedRunRequest(user == "norvi" ? "Norvi Lookalike" : "Cand " + user, user,
                                                       "Exam of " + user, QDate(2026, 12, 7), time);
        r.scoreObt = 500;
        r.passScore = 800;
        r.percentage = 50;
        return SaveResult(*gcnExam, folder(), r);
    }
    // A different run in the tables, so a reopen has something to replace.
    void otherRun() {
        gcnExam->Execute("DELETE * from QuestIds");
        gcnExam->Execute("DELETE * from AnsIds");
        gcnExam->Execute("DELETE * from AnsSelected");
        const long long q = Pick(*gcnExam, "S", 9);
        AddToRun(*gcnExam, q);
        Answer(*gcnExam, q, true);
        gcnExam->Execute("UPDATE DragNDrop SET AnsSel = 1, AnsRand = 2");
        gcnExam->Execute("UPDATE SimCommands SET CmdTyped = 1");
    }
    fs::path file(const QString& key) const { return folder() / "results" / (key.toStdString() + ".erf"); }
    ReopenOutcome reopen(const Viewer& v, int row) { return ReopenResult(*gcnExam, folder(), v, row); }
    long long rows() { return gcnExam->Scalar("SELECT count(*) FROM ResultsBrief").toInt(); }

    const Viewer cand01{"cand01", false};
    const Viewer admin{"norvi", true};
};

}  // namespace

TEST_F(ReopenTest, SaveThenReopenRestoresEveryRunTable) {
    const SaveOutcome saved = saveRun("cand01");
    ASSERT_TRUE(saved.saved);
    const Tables before = Snapshot(*gcnExam);
    otherRun();
    ASSERT_FALSE(Snapshot(*gcnExam) == before);

    const ReopenOutcome o = reopen(cand01, 1);
    ASSERT_TRUE(o.ok) << o.message.text.toStdString();
    EXPECT_EQ(Snapshot(*gcnExam), before);
    // The drag-and-drop rows count in the option numbering, so the "M"
    // options after it keep their order but leave a gap.
    plat::Recordset ids = gcnExam->OpenRecordset("SELECT Index FROM AnsIds ORDER BY Index");
    long long prev = 0, gaps = 0;
    for (; !ids.Eof(); ids.MoveNext()) {
        gaps += ids.Fields(0).toInt() != prev + 1;
        prev = ids.Fields(0).toInt();
    }
    EXPECT_EQ(gaps, 1);

    EXPECT_EQ(o.result.fileName, saved.key);
    EXPECT_EQ(o.result.candName, "Cand cand01");
    EXPECT_EQ(o.result.examName, "Exam of cand01");
    EXPECT_EQ(o.result.date, QDate(2026, 12, 7));
    EXPECT_EQ(o.result.time, QTime(14, 5, 33));
    EXPECT_EQ(o.result.figures.scoreObt, 500);
    EXPECT_EQ(o.result.figures.passScore, 800);
    EXPECT_EQ(o.result.figures.maxScore, 1000);
    EXPECT_EQ(o.result.figures.percentage, 50);
    EXPECT_EQ(o.result.figures.result, "Fail");

    // The reopened candidate replaces the signed-in one until the list closes.
    gstrCandName = "Signed In";
    ApplyToState(o.result);
    EXPECT_EQ(gstrCandName, "Cand cand01");
    EXPECT_TRUE(gblnFromResults);
    EXPECT_EQ(gvarExamDate.toDate(), QDate(2026, 12, 7));
    gcnExam->Execute("INSERT INTO User (Uname,Name) VALUES ('cand01','Ann Candidate')");
    EXPECT_EQ(SignedInCandidateName(*gcnExam, cand01), "Ann Candidate");
    EXPECT_EQ(SignedInCandidateName(*gcnExam, admin), "Norvi");
}

TEST_F(ReopenTest, EachUserSeesAndOpensOnlyTheirOwnResultsAndTheAdministratorAll) {
    for (int i = 0; i < 12; ++i) {
        ASSERT_TRUE(saveRun("cand01", QTime(9, i, 7)).saved);
        if (i % 6 == 0) {
            ASSERT_TRUE(saveRun("norvi", QTime(10, i, 0)).saved);  // a candidate who chose that name
        }
    }
    const std::vector<SavedResult> own = ListResults(*gcnExam, cand01);
    ASSERT_EQ(own.size(), 12u);
    EXPECT_EQ(GridRows(own.size()), 14);
    EXPECT_EQ(GridRows(8), 10);
    EXPECT_EQ(GridRows(9), 11);
    EXPECT_EQ(ListResults(*gcnExam, admin).size(), 14u);
    const std::vector<SavedResult> lookalike = ListResults(*gcnExam, {"norvi", false});
    ASSERT_EQ(lookalike.size(), 2u) << "the name \"norvi\" alone manages nothing";
    EXPECT_EQ(ListResults(*gcnExam, {"NORVI", true}).size(), 14u);

    const std::array<QString, 7> cells = ListCells(own[5]);
    EXPECT_EQ(cells[0], "Cand cand01");
    EXPECT_EQ(cells[1], "Exam of cand01");
    EXPECT_EQ(cells[2], "7 Dec 2026");
    EXPECT_EQ(cells[3], "9:5:7");
    EXPECT_EQ(cells[4], "500");
    EXPECT_EQ(cells[5], "50");
    EXPECT_EQ(cells[6], "Fail");

    // Position k is the k-th of the viewer's own list, not of the table.
    ReopenOutcome o = reopen({"norvi", false}, 2);
    ASSERT_TRUE(o.ok);
    EXPECT_EQ(o.result.fileName, lookalike[1].fileName);
    o = reopen(cand01, 12);
    ASSERT_TRUE(o.ok);
    EXPECT_EQ(o.result.fileName, own[11].fileName);
    o = reopen(cand01, 13);
    EXPECT_FALSE(o.ok);
    EXPECT_EQ(o.message.text, "No Results Found");
    EXPECT_EQ(o.message.icon, Icon::Information);
    EXPECT_EQ(o.message.title, "Results");
}

TEST_F(ReopenTest, ABadFileIsNamedWithItsLineAndChangesNothing) {
    const SaveOutcome saved = saveRun("cand01");
    ASSERT_TRUE(saved.saved);
    otherRun();
    const Tables before = Snapshot(*gcnExam);
    const fs::path f = file(saved.key);
    const std::string good = ReadFile(f.string());

    struct Case {
        std::string text;
        int line;
    };
    const std::vector<Case> cases = {
        {"qid : 5\r\nqtype : S\r\nansid 12\r\n", 3},
        {"qid : 5\r\nqtype : S\r\nansid : 9223372036854775808\r\n", 3},
        {"qid : abc\r\n", 1},
        {"qtype : S\r\n\r\nansid : 3\r\nqid : 5\r\n", 3},
        {good + "selansid : -\r\n", static_cast<int>(std::count(good.begin(), good.end(), '\n')) + 1},
    };
    for (const Case& c : cases) {
        WriteFile(f.string(), c.text);
        const ReopenOutcome o = reopen(cand01, 1);
        EXPECT_FALSE(o.ok) << c.text;
        EXPECT_EQ(o.message.icon, Icon::Critical);
        EXPECT_TRUE(o.message.text.contains(QString::fromStdString(f.string()))) << o.message.text.toStdString();
        EXPECT_TRUE(o.message.text.contains("line " + QString::number(c.line) + ":"))
            << o.message.text.toStdString();
        EXPECT_EQ(Snapshot(*gcnExam), before) << c.text;
    }

    fs::remove(f);
    ReopenOutcome o = reopen(cand01, 1);
    EXPECT_FALSE(o.ok);
    EXPECT_TRUE(o.message.text.contains("missing")) << o.message.text.toStdString();
    EXPECT_EQ(Snapshot(*gcnExam), before);

    // Unknown and blank lines, and keys in other letter case, are skipped.
    WriteFile(f.string(), good);
    ASSERT_TRUE(reopen(cand01, 1).ok);
    const Tables fromGood = Snapshot(*gcnExam);
    otherRun();
    WriteFile(f.string(), "# notes\n\n" + good + "QID : 9\r\n   \r\nremark: x\r\n");
    ASSERT_TRUE(reopen(cand01, 1).ok);
    EXPECT_EQ(Snapshot(*gcnExam), fromGood);
}

TEST_F(ReopenTest, AFileNameOutsideTheResultsFolderIsNeitherOpenedNorDeleted) {
    WriteFile((folder() / "outside.erf").string(), "qid : 1\r\nqtype : S\r\n");
    gcnExam->Execute("INSERT INTO ResultsBrief (Index,UserName,FileName,Score,PassScore,MaxScore,Percentage) "
                     "VALUES (1,'cand01','../outside',0,0,0,0)");
    otherRun();
    const Tables before = Snapshot(*gcnExam);
    const ReopenOutcome o = reopen(cand01, 1);
    EXPECT_FALSE(o.ok);
    EXPECT_EQ(o.message.icon, Icon::Critical);
    EXPECT_EQ(Snapshot(*gcnExam), before);

    const DeleteSelection sel = SelectForDelete(*gcnExam, admin, 1);
    ASSERT_TRUE(sel.target);
    const DeleteOutcome d = DeleteResult(*gcnExam, folder(), *sel.target);
    EXPECT_FALSE(d.deleted);
    EXPECT_EQ(d.message.icon, Icon::Critical);
    EXPECT_TRUE(fs::exists(folder() / "outside.erf"));
    EXPECT_EQ(rows(), 1);
}

TEST_F(ReopenTest, FuzzedFilesRestoreWholeOrNotAtAll) {
    const SaveOutcome saved = saveRun("cand01");
    ASSERT_TRUE(saved.saved);
    const fs::path f = file(saved.key);
    const std::string good = ReadFile(f.string());
    std::mt19937 rng(20261207);
    auto pick = [&](size_t n) { return std::uniform_int_distribution<size_t>(0, n - 1)(rng); };
    static const std::string kBits[] = {":", "\r\n", "\n", "qid", "ansid", "anssel : ", "-", "99999", " ", "\0",
                                        "\xff", "qtype : D", "selansid : 1"};
    int failed = 0, restored = 0;
    for (int i = 0; i < 200; ++i) {
        std::string text = good;
        for (int k = 0, n = 1 + static_cast<int>(pick(4)); k < n && !text.empty(); ++k) {
            const size_t at = pick(text.size());
            switch (pick(4)) {
            case 0: text[at] = static_cast<char>(pick(256)); break;
            case 1: text.insert(at, kBits[pick(std::size(kBits))]); break;
            case 2: text.erase(at, 1 + pick(12)); break;
            case 3: text.resize(at); break;
            }
        }
        WriteFile(f.string(), text);
        otherRun();
        const Tables before = Snapshot(*gcnExam);
        const ReopenOutcome o = reopen(cand01, 1);
        if (!o.ok) {
            ++failed;
            EXPECT_EQ(Snapshot(*gcnExam), before) << "a failed reopen changed the tables:\n" << text;
            continue;
        }
        ++restored;
        // Whole: one run question for every "qid" line of the file.
        size_t qidLines = 0;
        const QString all = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
        for (QString l : all.split(QRegularExpression("\r\n|\r|\n"))) {
            while (l.startsWith(u' ')) l.remove(0, 1);
            qidLines += l.startsWith(QStringLiteral("qid"));
        }
        EXPECT_EQ(Snapshot(*gcnExam).questIds.size(), qidLines) << text;
    }
    EXPECT_GT(failed, 10);
    EXPECT_GT(restored, 10);
}

TEST_F(ReopenTest, DeletingKeepsNoFileWithoutItsRowNorLosesARowToAMissingFile) {
    std::vector<QString> keys;
    for (int i = 0; i < 4; ++i) {
        const SaveOutcome o = saveRun("cand01", QTime(8, i, 0));
        ASSERT_TRUE(o.saved);
        keys.push_back(o.key);
    }
    EXPECT_EQ(SelectForDelete(*gcnExam, admin, 5).message.text, "Please Select a Row to Delete");
    const Message q = DeleteQuestion();
    EXPECT_EQ(q.text, "Do You Want to Delete the Selected Result");
    EXPECT_EQ(q.title, "Resuts");
    EXPECT_EQ(q.icon, Icon::None);
    EXPECT_TRUE(q.yesNo);

    // An ordinary delete: row 2 and its file go, the others stay in order.
    DeleteOutcome d = DeleteResult(*gcnExam, folder(), *SelectForDelete(*gcnExam, admin, 2).target);
    EXPECT_TRUE(d.deleted);
    EXPECT_FALSE(fs::exists(file(keys[1])));
    std::vector<SavedResult> left = ListResults(*gcnExam, admin);
    ASSERT_EQ(left.size(), 3u);
    EXPECT_EQ(left[1].fileName, keys[2]);

    // A missing file does not keep the row.
    fs::remove(file(keys[0]));
    d = DeleteResult(*gcnExam, folder(), *SelectForDelete(*gcnExam, admin, 1).target);
    EXPECT_TRUE(d.deleted) << d.message.text.toStdString();
    EXPECT_EQ(rows(), 2);

    // A file that cannot be removed keeps its row, and says so.
    fs::remove(file(keys[2]));
    fs::create_directories(file(keys[2]) / "inside");
    d = DeleteResult(*gcnExam, folder(), *SelectForDelete(*gcnExam, admin, 1).target);
    EXPECT_FALSE(d.deleted);
    EXPECT_EQ(d.message.icon, Icon::Critical);
    EXPECT_TRUE(d.message.text.contains(QString::fromStdString(file(keys[2]).string())));
    EXPECT_EQ(rows(), 2);

    // A failing row delete puts the file back.
    gcnExam->ExecScript(
        "CREATE TRIGGER keep BEFORE DELETE ON ResultsBrief BEGIN SELECT RAISE(ABORT, 'locked'); END;");
    d = DeleteResult(*gcnExam, folder(), *SelectForDelete(*gcnExam, admin, 2).target);
    EXPECT_FALSE(d.deleted);
    EXPECT_TRUE(fs::exists(file(keys[3])));
    EXPECT_EQ(rows(), 2);
}

// A pipe in a result file's place would block a reader for good, and a link to
// an endless device would fill the memory: neither is opened.
TEST_F(ReopenTest, APipeADeviceOrAHugeFileInPlaceOfAResultIsRefusedAtOnce) {
    const SaveOutcome saved = saveRun("cand01");
    ASSERT_TRUE(saved.saved);
    otherRun();
    const Tables before = Snapshot(*gcnExam);
    const fs::path f = file(saved.key);
    auto refused = [&](const char* what, const char* says) {
        const ReopenOutcome o = reopen(cand01, 1);
        EXPECT_FALSE(o.ok) << what;
        EXPECT_EQ(o.message.icon, Icon::Critical) << what;
        EXPECT_TRUE(o.message.text.contains(QString::fromStdString(f.string()))) << o.message.text.toStdString();
        EXPECT_TRUE(o.message.text.contains(says)) << o.message.text.toStdString();
        EXPECT_EQ(Snapshot(*gcnExam), before) << what;
    };

    fs::remove(f);
    ASSERT_EQ(mkfifo(f.c_str(), 0644), 0);
    refused("a pipe", "not a plain file");
    fs::remove(f);
    fs::create_symlink("/dev/zero", f);
    refused("a link to a device", "not a plain file");
    fs::remove(f);
    // Larger than any run writes (sparse: it takes no room on the disk).
    WriteFile(f.string(), "qid : 1\r\nqtype : S\r\n");
    fs::resize_file(f, (std::uintmax_t(64) << 20) + 1);
    refused("a huge file", "larger than any saved result");
    fs::resize_file(f, std::uintmax_t(64) << 20);
    EXPECT_TRUE(reopen(cand01, 1).ok) << "a file just within the bound is read";
}

// Two rows may name one file (a file name compares without letter case): the
// file stays while either row does.
TEST_F(ReopenTest, DeleteKeepsAFileAnotherRowStillNames) {
    const SaveOutcome saved = saveRun("cand01");
    ASSERT_TRUE(saved.saved);
    for (const QString& name : {saved.key.toUpper(), saved.key})
        gcnExam->Execute("INSERT INTO ResultsBrief (Index,CandidateName,UserName,ExamName,Score,PassScore,MaxScore,"
                         "Percentage,Result,FileName) SELECT max(Index) + 1,'Copy','cand01','Exam',1,2,3,4,'Fail',? "
                         "FROM ResultsBrief",
                         {name.toStdString()});
    ASSERT_EQ(rows(), 3);
    for (int n = 3; n > 1; --n) {
        const DeleteOutcome d = DeleteResult(*gcnExam, folder(), *SelectForDelete(*gcnExam, admin, 1).target);
        EXPECT_TRUE(d.deleted);
        EXPECT_EQ(rows(), n - 1);
        EXPECT_TRUE(fs::exists(file(saved.key))) << "a row still names the file";
        EXPECT_TRUE(reopen(cand01, static_cast<int>(rows())).ok);
    }
    EXPECT_TRUE(DeleteResult(*gcnExam, folder(), *SelectForDelete(*gcnExam, admin, 1).target).deleted);
    EXPECT_EQ(rows(), 0);
    EXPECT_FALSE(fs::exists(file(saved.key))) << "the last row takes its file along";
    EXPECT_TRUE(fs::is_empty(folder() / "results"));
}
