// Saving a graded run: the file line by line, the ResultsBrief row, the key and
// its clashes, the folder, and failures that must leave neither file nor row.
#include "results/resultfile.h"
#include "results/resultfolder.h"
#include "results/savedresults.h"
#include "run.h"
#include "startup/state.h"
#include "support/fixture.h"

#include <QTemporaryDir>

#include <filesystem>

using namespace results;
using namespace results_test;
namespace fs = std::filesystem;

namespace {

class SaveTest : public pemu_test::ProgramTest {
protected:
    SaveRequest request(const QString& user = "cand01", QDate date = QDate(2026, 12, 7),
                        QTime time = QTime(14, 5, 33)) {
        return FailedRunRequest("Ann Candidate", user, "Network Associate Practice Exam", date, time);
    }
    SaveOutcome save(const SaveRequest& r) { return SaveResult(*gcnExam, folder(), r); }
    fs::path file(const QString& key) const { return folder() / "results" / (key.toStdString() + ".erf"); }
    long long rows() { return gcnExam->Scalar("SELECT count(*) FROM ResultsBrief").toInt(); }
    long long withCount(const char* table, long long n) {
        return gcnExam->Scalar(std::string("SELECT min(QId) FROM (SELECT QId, count(*) AS n FROM ") + table +
                                   " GROUP BY QId) WHERE n = ?",
                               {n})
            .toInt();
    }
    std::vector<std::string> column(const std::string& sql, long long qid) {
        std::vector<std::string> v;
        plat::Recordset rs = gcnExam->OpenRecordset(sql, {qid});
        for (; !rs.Eof(); rs.MoveNext()) v.push_back(rs.Fields(0).toString());
        return v;
    }
    size_t entries() const {
        size_t n = 0;
        for (auto it = fs::directory_iterator(folder() / "results"); it != fs::directory_iterator(); ++it) ++n;
        return n;
    }
};

}  // namespace

TEST_F(SaveTest, WritesEveryBlockTypeLineByLineAndTheWholeRow) {
    const long long s = Pick(*gcnExam, "S"), m = Pick(*gcnExam, "M"), d = withCount("DragNDrop", 3),
                    sim = withCount("SimCommands", 3), simNone = Pick(*gcnExam, "SIM", 5),
                    other = Pick(*gcnExam, "S", 7);
    for (long long q : {s, m, d, sim, simNone, other}) AddToRun(*gcnExam, q);
    Answer(*gcnExam, s, false);
    Answer(*gcnExam, m, true);
    Answer(*gcnExam, d, false);
    gcnExam->Execute("UPDATE SimCommands SET CmdTyped = 1 where QId = ? and Index <> (SELECT min(Index) FROM "
                     "SimCommands where QId = ?)",
                     {sim, sim});
    gcnExam->Execute("UPDATE Questions SET QType = 'UA' where QId = ?", {other});

    std::string expected;
    auto line = [&](const std::string& k, const std::string& v) { expected += k + " : " + v + "\r\n"; };
    auto block = [&](long long q, const char* type) {
        line("qid", std::to_string(q));
        line("qtype", type);
    };
    block(s, "S");
    for (auto& a : column("SELECT AnsId FROM AnsIds where Qid = ? ORDER BY Index", s)) line("ansid", a);
    for (auto& a : column("SELECT Answer FROM AnsSelected where QId = ?", s)) line("selansid", a);
    block(m, "M");
    for (auto& a : column("SELECT AnsId FROM AnsIds where Qid = ? ORDER BY Index", m)) line("ansid", a);
    const auto chosen = column("SELECT Answer FROM AnsSelected where QId = ?", m);
    ASSERT_GE(chosen.size(), 2u);
    for (auto& a : chosen) line("selansid", a);
    block(d, "D");
    plat::Recordset dRows = gcnExam->OpenRecordset("SELECT Index,AnsRand,AnsSel FROM DragNDrop where QId = ?", {d});
    for (; !dRows.Eof(); dRows.MoveNext()) {
        line("ansid", dRows.Fields(0).toString());
        line("ansrand", dRows.Fields(1).toString());
        line("anssel", dRows.Fields(2).toString());
    }
    block(sim, "SIM");
    for (auto& c : column("SELECT Index FROM SimCommands where QId = ? and CmdTyped = 1 ORDER BY Index", sim))
        line("selansid", c);
    block(simNone, "SIM");
    block(other, "UA");

    SaveRequest r = request("o'neil");
    r.candName = "Sean O'Neil";
    r.examName = "Dave's Exam";
    r.date = QDate(2031, 12, 7);
    const SaveOutcome o = save(r);
    ASSERT_TRUE(o.saved) << o.message.text.toStdString();
    EXPECT_EQ(o.message.text, "Result Saved");
    EXPECT_EQ(o.message.icon, Icon::Information);
    EXPECT_EQ(o.message.title, "Results");
    EXPECT_EQ(o.key, "o'neil_12731_1405");
    EXPECT_EQ(o.index, 1) << "an empty table gives Index 1";

    const std::string text = ReadFile(file(o.key).string());
    EXPECT_EQ(text, expected);
    // The drag-and-drop block: three lines for each of its three rows.
    const std::string dHead = "qid : " + std::to_string(d) + "\r\nqtype : D\r\n";
    const size_t at = text.find(dHead);
    ASSERT_NE(at, std::string::npos);
    const std::string afterD = text.substr(at + dHead.size());
    EXPECT_EQ(std::count(afterD.begin(), afterD.begin() + afterD.find("qid : "), '\n'), 9);

    plat::Recordset row = gcnExam->OpenRecordset(
        "SELECT Index,CandidateName,UserName,ExamName,ExDate,ExTime,Score,PassScore,MaxScore,Percentage,Result,"
        "FileName FROM ResultsBrief");
    ASSERT_FALSE(row.Eof());
    EXPECT_EQ(row["Index"].toInt(), 1);
    EXPECT_EQ(row["CandidateName"].toString(), "Sean O'Neil");
    EXPECT_EQ(row["UserName"].toString(), "o'neil");
    EXPECT_EQ(row["ExamName"].toString(), "Dave's Exam");
    EXPECT_EQ(row["ExDate"].toString(), "2031-12-07") << "the full date, so 2031 stays 2031";
    EXPECT_EQ(row["ExTime"].toString(), "14:05:33");
    EXPECT_EQ(row["Score"].toInt(), 650);
    EXPECT_EQ(row["PassScore"].toInt(), 700);
    EXPECT_EQ(row["MaxScore"].toInt(), 1000);
    EXPECT_EQ(row["Percentage"].toInt(), 65);
    EXPECT_EQ(row["Result"].toString(), "Fail");
    EXPECT_EQ(row["FileName"].toString(), "o'neil_12731_1405");

    // The same report pressed again writes nothing.
    r.alreadySaved = true;
    const SaveOutcome again = save(r);
    EXPECT_FALSE(again.saved);
    EXPECT_EQ(again.message.text, "Result Already Saved");
    EXPECT_EQ(again.message.icon, Icon::Information);
    EXPECT_EQ(rows(), 1);
    EXPECT_EQ(entries(), 1u);
}

TEST_F(SaveTest, AnAdaptiveFileHoldsThePresentedQuestionsInIssueOrder) {
    const long long a = Pick(*gcnExam, "S", 0), b = Pick(*gcnExam, "S", 1), c = Pick(*gcnExam, "S", 2);
    for (long long q : {a, b, c}) AddToRun(*gcnExam, q);
    gcnExam->Execute("UPDATE QuestIds SET Attempted = 1, ExamQIdsOrder = 2 where QId = ?", {a});
    gcnExam->Execute("UPDATE QuestIds SET Attempted = 1, ExamQIdsOrder = 1 where QId = ?", {c});
    SaveRequest r = request();
    r.adaptive = true;
    const SaveOutcome o = save(r);
    ASSERT_TRUE(o.saved);
    const std::string text = ReadFile(file(o.key).string());
    const size_t pc = text.find("qid : " + std::to_string(c) + "\r\n");
    const size_t pa = text.find("qid : " + std::to_string(a) + "\r\n");
    ASSERT_NE(pc, std::string::npos);
    ASSERT_NE(pa, std::string::npos);
    EXPECT_LT(pc, pa);
    EXPECT_EQ(text.find("qid : " + std::to_string(b) + "\r\n"), std::string::npos);
}

TEST_F(SaveTest, ATakenKeyGetsANumberAndNoFileIsReplaced) {
    AddToRun(*gcnExam, Pick(*gcnExam, "S"));
    // Two runs started in the same minute.
    SaveOutcome first = save(request());
    SaveOutcome second = save(request("cand01", QDate(2026, 12, 7), QTime(14, 5, 59)));
    ASSERT_TRUE(first.saved && second.saved);
    EXPECT_EQ(first.key, "cand01_12726_1405");
    EXPECT_EQ(second.key, "cand01_12726_1405_2");
    EXPECT_EQ(second.index, 2);

    // 1 December and 21 January give the same digits.
    const SaveOutcome dec = save(request("cand02", QDate(2026, 12, 1), QTime(9, 0)));
    const SaveOutcome jan = save(request("cand02", QDate(2026, 1, 21), QTime(9, 0)));
    EXPECT_EQ(dec.key, "cand02_12126_0900");
    EXPECT_EQ(jan.key, "cand02_12126_0900_2");

    // A row in other letter case, and a stray file, hold keys too; the stray
    // file keeps its content.
    gcnExam->Execute("INSERT INTO ResultsBrief (Index,UserName,FileName) VALUES (99,'x','CAND03_12726_1405')");
    WriteFile(file("cand03_12726_1405_2").string(), "stray");
    const SaveOutcome third = save(request("cand03"));
    EXPECT_EQ(third.key, "cand03_12726_1405_3");
    EXPECT_EQ(third.index, 100);
    EXPECT_EQ(ReadFile(file("cand03_12726_1405_2").string()), "stray");

    // Files in other letter case hold their keys too, in any script, as they
    // would on a disk that folds letter case (FAT, exFAT).
    WriteFile(file("CAND04_12726_1405").string(), "stray");
    WriteFile((folder() / "results" / "Cand04_12726_1405_2.ERF.part").string(), "stray");
    EXPECT_EQ(save(request("cand04")).key, "cand04_12726_1405_3");
    WriteFile(file(QString::fromUtf8("ÉMILE_12726_1405")).string(), "stray");
    EXPECT_EQ(save(request(QString::fromUtf8("émile"))).key, QString::fromUtf8("émile_12726_1405_2"));
}

TEST_F(SaveTest, ALoginNameCannotLeadTheFileOutOfTheFolder) {
    AddToRun(*gcnExam, Pick(*gcnExam, "S"));
    const SaveOutcome o = save(request("../x"));
    ASSERT_TRUE(o.saved);
    EXPECT_EQ(o.key, "_._x_12726_1405");
    EXPECT_TRUE(fs::exists(file(o.key)));
    EXPECT_EQ(SafeKeyName(QString("a\\b:c*d?e\"f<g>h|i") + QChar(9) + "j"), "a_b_c_d_e_f_g_h_i_j");
    EXPECT_EQ(SafeKeyName(".hidden.name"), "_hidden.name");
}

TEST_F(SaveTest, AMissingFolderIsMadeAndAFailureLeavesNeitherFileNorRow) {
    AddToRun(*gcnExam, Pick(*gcnExam, "S"));
    fs::remove_all(folder() / "results");
    ASSERT_TRUE(save(request()).saved);
    ASSERT_EQ(rows(), 1);
    auto refused = [&](const char* why) {
        const SaveOutcome o = save(request("cand02"));
        EXPECT_FALSE(o.saved) << why;
        EXPECT_EQ(o.message.icon, Icon::Critical) << why;
        EXPECT_EQ(rows(), 1) << why;
        return o.message.text.toStdString();
    };

    // The row cannot go in: the file written for it goes again.
    gcnExam->ExecScript("CREATE TRIGGER refuse BEFORE INSERT ON ResultsBrief BEGIN SELECT RAISE(ABORT, 'disk full'); END;");
    EXPECT_NE(refused("insert").find("disk full"), std::string::npos);
    EXPECT_EQ(entries(), 1u) << "neither the file nor its temporary copy is left";
    gcnExam->ExecScript("DROP TRIGGER refuse;");

    // The file cannot be written (a folder nobody can create files in, whoever
    // runs the tests): no row.
    fs::remove_all(folder() / "results");
    fs::create_directory_symlink("/proc/self/fdinfo", folder() / "results");
    const std::string write = refused("write");
    EXPECT_NE(write.find("cand02_12726_1405"), std::string::npos);
    EXPECT_NE(write.find("(No such file or directory)"), std::string::npos) << write;

    // A report without a verdict (no configuration) is not saved.
    SaveRequest noVerdict = request("cand02");
    noVerdict.result.clear();
    EXPECT_FALSE(save(noVerdict).saved);
    EXPECT_EQ(rows(), 1);

    // The folder cannot be made.
    fs::remove(folder() / "results");
    WriteFile((folder() / "results").string(), "a file where the folder should be");
    EXPECT_NE(refused("folder").find("results"), std::string::npos);
}

// The sign-up window takes login names of up to 32,767 characters; every one
// of them must save, though a file name holds 255 bytes.
TEST_F(SaveTest, ALoginNameTooLongForAFileNameStillSavesAndReopens) {
    AddToRun(*gcnExam, Pick(*gcnExam, "S"));
    const QString cjk = QString(80, QChar(0x6F22));  // 80 characters, 240 bytes in UTF-8
    const SaveOutcome first = save(request(cjk));
    const SaveOutcome second = save(request(cjk, QDate(2026, 12, 7), QTime(14, 5, 59)));
    ASSERT_TRUE(first.saved) << first.message.text.toStdString();
    ASSERT_TRUE(second.saved) << second.message.text.toStdString();
    EXPECT_NE(first.key, second.key);
    EXPECT_EQ(second.key, first.key + "_2");
    EXPECT_TRUE(first.key.endsWith("_12726_1405"));
    const QString loginPart = first.key.chopped(QString("_12726_1405").size());
    EXPECT_TRUE(cjk.startsWith(loginPart));
    EXPECT_LE(loginPart.toUtf8().size(), 219);
    EXPECT_GT(loginPart.toUtf8().size(), 200) << "no more is cut than needed";
    for (const SaveOutcome& o : {first, second}) {
        EXPECT_TRUE(fs::is_regular_file(file(o.key)));
        EXPECT_EQ(ReadFile(file(o.key).string()).find("qid : "), 0u);
    }
    const Viewer viewer{cjk, false};
    ASSERT_EQ(ListResults(*gcnExam, viewer).size(), 2u);
    for (int row : {1, 2}) {
        const ReopenOutcome o = ReopenResult(*gcnExam, folder(), viewer, row);
        EXPECT_TRUE(o.ok) << o.message.text.toStdString();
    }

    // Characters of four bytes are never parted, nor the longest names cut
    // short of a file.
    QString wide = QStringLiteral("a");
    for (int i = 0; i < 100; ++i) wide += QString::fromUcs4(U"\U0001F600", 1);
    const QString wideKey = ResultKey(wide, QDate(2026, 12, 7), QTime(14, 5));
    EXPECT_FALSE(wideKey.contains(QChar::ReplacementCharacter));
    EXPECT_EQ(QString::fromUtf8(wideKey.toUtf8()), wideKey);
    EXPECT_EQ(wideKey.toUtf8().size(), 1 + 54 * 4 + 11) << "a, then as many whole characters as fit";
    for (const QString& longest : {QString(32767, QChar(0x6F22)), QString(32767, u'x')}) {
        const SaveOutcome o = save(request(longest));
        EXPECT_TRUE(o.saved) << o.message.text.toStdString();
    }
    // Ordinary names keep the key they always had.
    EXPECT_EQ(ResultKey(QString(219, u'x'), QDate(2026, 12, 7), QTime(14, 5)), QString(219, u'x') + "_12726_1405");
}

// A save keeps a mark beside its file until the row is in; what a stopped save
// left is put straight before the next, and a stray file is never taken for it.
TEST_F(SaveTest, LeftoversOfAStoppedSaveGoAndStrayFilesStay) {
    AddToRun(*gcnExam, Pick(*gcnExam, "S"));
    const fs::path results = folder() / "results";
    // A save stopped between its file and its row: the mark is a second name
    // of the file.
    WriteFile(file("cand01_12726_1405").string(), "qid : 1\r\n");
    fs::create_hard_link(file("cand01_12726_1405"), results / "cand01_12726_1405.erf.part");
    // A save stopped while writing: a mark alone.
    WriteFile((results / "cand09_12726_1405.erf.part").string(), "qid : ");
    // A stray file with an unrelated file under the mark's name: not ours.
    WriteFile(file("stray").string(), "kept");
    WriteFile((results / "stray.erf.part").string(), "other");

    const SaveOutcome o = save(request());
    ASSERT_TRUE(o.saved) << o.message.text.toStdString();
    EXPECT_EQ(o.key, "cand01_12726_1405") << "the half-saved file no longer holds the key";
    EXPECT_TRUE(fs::exists(file(o.key)));
    EXPECT_NE(ReadFile(file(o.key).string()), "qid : 1\r\n");
    EXPECT_FALSE(fs::exists(results / "cand01_12726_1405.erf.part"));
    EXPECT_FALSE(fs::exists(results / "cand09_12726_1405.erf.part"));
    EXPECT_FALSE(fs::exists(results / "stray.erf.part"));
    EXPECT_EQ(ReadFile(file("stray").string()), "kept");
    EXPECT_EQ(entries(), 2u);
}

// Putting the folder straight removes a file only when it knows the file for
// its own: what a person left there by hand, or what it cannot be sure of, stays.
TEST_F(SaveTest, RecoveryRemovesOnlyWhatItKnowsIsItsOwn) {
    const fs::path results = folder() / "results";
    fs::create_directories(results);
    auto row = [&](long long index, const QString& key) {
        gcnExam->Execute("INSERT INTO ResultsBrief (Index,UserName,FileName) VALUES (?,'x',?)",
                         {index, key.toStdString()});
    };
    const std::string leftovers[] = {"hand_12726_1405.erf.part", "named_12726_1405.erf.part",
                                     "émile_12926_0101.erf.deleting"};
    // An empty mark beside a stray file that no row names: no evidence.
    WriteFile(file("hand_12726_1405").string(), "made by hand");
    WriteFile((results / leftovers[0]).string(), "");
    // A save stopped between its row and the file's own name.
    AddToRun(*gcnExam, Pick(*gcnExam, "S"));
    const std::string text = RunFileText(*gcnExam, false).toStdString();
    WriteFile((results / leftovers[1]).string(), text);
    row(1, "named_12726_1405");
    // A parked file whose row names it in other letter case, which the
    // database folds for ASCII letters only.
    WriteFile((results / leftovers[2]).string(), text);
    row(2, QString::fromUtf8("Émile_12926_0101"));

    // With the rows out of reach, nothing at all is touched.
    gcnExam->Execute("ALTER TABLE ResultsBrief RENAME TO Hidden");
    Recovery r = RecoverResultFiles(*gcnExam, results);
    EXPECT_EQ(r.kept, 3);
    for (const std::string& name : leftovers) EXPECT_TRUE(fs::exists(results / name)) << name;
    EXPECT_TRUE(fs::exists(file("hand_12726_1405")));
    gcnExam->Execute("ALTER TABLE Hidden RENAME TO ResultsBrief");
    // Until it is put straight, a result whose row stands reopens from the
    // file under its first name.
    const ReopenOutcome early = ReopenResult(*gcnExam, folder(), {"x", false}, 1);
    EXPECT_TRUE(early.ok) << early.message.text.toStdString();

    r = RecoverResultFiles(*gcnExam, results);
    EXPECT_EQ(ReadFile(file("hand_12726_1405").string()), "made by hand");
    EXPECT_FALSE(fs::exists(results / leftovers[0]));
    EXPECT_EQ(ReadFile(file("named_12726_1405").string()), text);
    EXPECT_FALSE(fs::exists(results / leftovers[1]));
    EXPECT_TRUE(fs::exists(results / leftovers[2])) << "a parked file was taken for no row's";
    EXPECT_EQ(r.removed, 1);
    EXPECT_EQ(r.restored, 1);
    EXPECT_EQ(r.kept, 1);
    const ReopenOutcome o = ReopenResult(*gcnExam, folder(), {"x", false}, 1);
    EXPECT_TRUE(o.ok) << o.message.text.toStdString();
}

// The database's log holds a session's commits until they are copied into
// the file itself: after a save and after a delete the file alone, copied
// while the program runs, lists what the list shows.
TEST_F(SaveTest, TheDatabaseFileAloneListsWhatWasSavedAndDeleted) {
    AddToRun(*gcnExam, Pick(*gcnExam, "S"));
    const Viewer admin{"norvi", true};
    auto listedInCopy = [&] {
        QTemporaryDir copy;
        const fs::path to = fs::path(copy.path().toStdString()) / "PEMUV2.0.db";
        fs::copy_file(dbFile(), to);
        plat::Database db = plat::Database::Open(to);
        std::vector<std::string> keys;
        for (const SavedResult& r : ListResults(db, admin)) keys.push_back(r.fileName.toStdString());
        return keys;
    };
    const SaveOutcome first = save(request());
    const SaveOutcome second = save(request("cand02"));
    ASSERT_TRUE(first.saved && second.saved);
    EXPECT_EQ(listedInCopy(), (std::vector<std::string>{"cand01_12726_1405", "cand02_12726_1405"}));
    const DeleteSelection s = SelectForDelete(*gcnExam, admin, 1);
    ASSERT_TRUE(s.target);
    ASSERT_TRUE(DeleteResult(*gcnExam, folder(), *s.target).deleted);
    EXPECT_EQ(listedInCopy(), (std::vector<std::string>{"cand02_12726_1405"}));
}

// Two copies of the program list the same result and both delete it: the
// second finds it gone, says it is deleted, and leaves the file that has
// taken its name since (a stray here) alone.
TEST_F(SaveTest, ADeleteOfAResultGoneAlreadyTouchesNoFile) {
    AddToRun(*gcnExam, Pick(*gcnExam, "S"));
    const SaveOutcome o = save(request());
    ASSERT_TRUE(o.saved);
    const DeleteTarget target{o.index, o.key};
    ASSERT_TRUE(DeleteResult(*gcnExam, folder(), target).deleted);
    WriteFile(file(o.key).string(), "stray");
    EXPECT_TRUE(DeleteResult(*gcnExam, folder(), target).deleted);
    EXPECT_EQ(ReadFile(file(o.key).string()), "stray");
    EXPECT_EQ(entries(), 1u);
}
