// The saved-results list as candidates and the administrator use it: whose
// results it lists and how, reopening one into the grade report and the
// read-only exam window and back, damaged and missing files, and deleting.
#include "exam/frmExam.h"
#include "exam/frmMode.h"
#include "results/frmGrade.h"
#include "results/frmResBrief.h"
#include "results/savedresults.h"
#include "run.h"
#include "startup/state.h"
#include "window_fixture.h"

#include <QHeaderView>
#include <QTest>

#include <sys/stat.h>

using namespace plat;
using namespace results_test;
namespace fs = std::filesystem;

namespace {

class ResBriefWindowTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        gcnExam->Execute("INSERT INTO User (Uname,Name,Email,Phone) VALUES ('cand01','Ann Candidate','NA','NA')");
    }
    // Saves a run of one question of each type (the "S" one right) for a user.
    std::string save(const QString& user, QTime time, QDate date = QDate(2026, 12, 7)) {
        run({Pick(*gcnExam, "S"), Pick(*gcnExam, "D"), Pick(*gcnExam, "M"), Pick(*gcnExam, "SIM")});
        Recordset rs = gcnExam->OpenRecordset("SELECT QId FROM QuestIds ORDER BY Index");
        for (bool first = true; !rs.Eof(); rs.MoveNext(), first = false) Answer(*gcnExam, rs.Fields(0).toInt(), first);
        const results::SaveRequest r = FailedRunRequest("Cand " + user, user, "Exam of " + user, date, time);
        const results::SaveOutcome o = results::SaveResult(*gcnExam, folder(), r);
        EXPECT_TRUE(o.saved) << o.message.text.toStdString();
        return o.key.toStdString();
    }
    void signedIn(const QString& user, bool admin) {
        gstrUserName = user;
        gblnAdminSignedIn = admin;
        gstrCandName = admin ? "Norvi" : "Ann Candidate";
    }
    // Another run in the tables, so a reopen has something to replace.
    void otherRun() {
        run({Pick(*gcnExam, "S", 9)});
        gcnExam->Execute("DELETE * from AnsSelected");
        gcnExam->Execute("UPDATE DragNDrop SET AnsSel = 1, AnsRand = 2");
        gcnExam->Execute("UPDATE SimCommands SET CmdTyped = 1");
    }
    QTableWidget* grid() { return frmResBrief.msgResults(); }
    std::vector<std::string> row(int r) {
        std::vector<std::string> v;
        for (int c = 0; c < 7; ++c) v.push_back(cell(grid(), r, c).toStdString());
        return v;
    }
    void doubleClickRow(int r) {
        grid()->setCurrentCell(r, 0);
        frmResBrief.msgResults_DblClick();
    }
    fs::path file(const std::string& key) const { return folder() / "results" / (key + ".erf"); }
};

}  // namespace

// 12 results of one user: 14 rows with the header, the empty one current.
TEST_F(ResBriefWindowTest, EachUserSeesTheirOwnResultsTheAdministratorEveryone) {
    for (int i = 0; i < 12; ++i) save("cand01", QTime(9, i, 7));
    save("norvi", QTime(10, 0, 0));  // a candidate who signed up under that name
    save("cand02", QTime(14, 5, 33), QDate(2031, 1, 2));

    signedIn("cand01", false);
    frmResBrief.Show();
    EXPECT_EQ(frmResBrief.Caption(), "Saved Results");
    std::vector<std::string> headers;
    for (int c = 0; c < 7; ++c) headers.push_back(header(grid(), c).toStdString());
    EXPECT_EQ(headers, (std::vector<std::string>{"Candidate Name", "Exam Name", "Date", "Time", "Score",
                                                 "Percentage", "Result"}));
    EXPECT_EQ(grid()->rowCount() + 1, 14);
    EXPECT_EQ(row(0), (std::vector<std::string>{"Cand cand01", "Exam of cand01", "7 Dec 2026", "9:0:7", "650", "65",
                                                "Fail"}));
    EXPECT_EQ(cell(grid(), 11, 3), "9:11:7");
    EXPECT_EQ(row(12), std::vector<std::string>(7));
    EXPECT_EQ(grid()->currentRow(), 12);
    EXPECT_EQ(grid()->currentColumn(), 0);
    EXPECT_EQ(grid()->toolTip(), "Double Click to view the Grade screen");
    EXPECT_EQ(frmResBrief.lblNote()->text(), "Note: Please Login as norvi to manage saved results");
    EXPECT_FALSE(frmResBrief.cmdDelRes()->isEnabled());
    frmResBrief.Unload();

    // The login name "norvi" alone manages nothing.
    signedIn("norvi", false);
    frmResBrief.Show();
    EXPECT_EQ(grid()->rowCount() + 1, 10);
    EXPECT_EQ(cell(grid(), 0, 0), "Cand norvi");
    EXPECT_EQ(cell(grid(), 1, 0), "");
    EXPECT_FALSE(frmResBrief.cmdDelRes()->isEnabled());
    frmResBrief.Unload();

    // The administrator, whatever the letter case typed at sign-in.
    signedIn("NORVI", true);
    frmResBrief.Show();
    EXPECT_EQ(grid()->rowCount() + 1, 16);
    EXPECT_EQ(row(13), (std::vector<std::string>{"Cand cand02", "Exam of cand02", "2 Jan 2031", "14:5:33", "650",
                                                 "65", "Fail"}));
    EXPECT_TRUE(frmResBrief.cmdDelRes()->isEnabled());
}

TEST_F(ResBriefWindowTest, AReopenedResultShowsItsSavedFiguresReviewsReadOnlyAndGivesTheNameBack) {
    const std::string key = save("cand01", QTime(9, 5, 7));
    const Tables saved = Snapshot(*gcnExam);
    otherRun();
    // Today's pass mark differs from the one the result was saved with.
    gcnExam->Execute("UPDATE AdminConfig SET PassPercentage = 10 where Index = 1");

    signedIn("norvi", true);
    frmResBrief.Show();
    doubleClickRow(1);
    EXPECT_EQ(lastBox().text, "No Results Found");
    EXPECT_EQ(lastBox().title, "Results");
    EXPECT_TRUE(frmResBrief.IsLoaded());
    EXPECT_EQ(gstrCandName, "Norvi");

    // A double-click as the mouse makes it.
    const QRect r = grid()->visualRect(grid()->model()->index(0, 1));
    QWidget* viewport = grid()->viewport();
    QTest::mouseClick(viewport, Qt::LeftButton, {}, r.center());
    QTest::mouseDClick(viewport, Qt::LeftButton, {}, r.center());
    QTest::mouseRelease(viewport, Qt::LeftButton, {}, r.center());
    ASSERT_TRUE(frmGrade.Visible());
    EXPECT_FALSE(frmResBrief.IsLoaded());
    EXPECT_EQ(Snapshot(*gcnExam), saved);
    EXPECT_TRUE(gblnFromResults);
    EXPECT_EQ(frmGrade.lblCandName1()->text(), "Cand cand01");
    EXPECT_EQ(frmGrade.lblExamName1()->text(), "Exam of cand01");
    EXPECT_EQ(frmGrade.lblDate1()->text(), "7 Dec 2026");
    EXPECT_EQ(frmGrade.lblTime1()->text(), "09:05:07");
    // The saved figures, so that the report and the list agree; the grid from the answers.
    EXPECT_EQ(frmGrade.lblScoreObt()->text(), "Score Obtained : 650");
    EXPECT_EQ(frmGrade.lblPassScore()->text(), "Pass Score : 700");
    EXPECT_EQ(frmGrade.lblMaxScore()->text(), "Maximum Score : 1000");
    EXPECT_EQ(frmGrade.lblResultDsip()->text(), "FAIL");
    EXPECT_EQ(frmGrade.rtfPass()->width(), Px(65 * 44));
    EXPECT_EQ(frmGrade.RichTextBox1()->x(), Px(120 + 70 * 44 - 30));
    EXPECT_EQ(frmGrade.msgReview()->rowCount(), 4);
    EXPECT_EQ(frmGrade.cmdSave()->text(), "Review Questions");

    // The run read-only; nothing written.
    ASSERT_TRUE(WhileModal(frmExam, [] { Click(frmGrade.cmdSave()); }, [&] {
        EXPECT_EQ(frmExam.cmdEndExam()->text(), "Close");
        EXPECT_FALSE(frmExam.cmdReview()->isEnabled());
        EXPECT_EQ(frmExam.mintCurQuesInd, 1);
        Click(frmExam.cmdNext());
        Click(frmExam.cmdEndExam());
    }));
    EXPECT_EQ(Snapshot(*gcnExam), saved);
    EXPECT_TRUE(frmGrade.Visible());
    EXPECT_EQ(count("SELECT count(*) FROM ResultsBrief"), 1) << "nothing is saved from a reopened result";

    Click(frmGrade.cmdClose());
    ASSERT_TRUE(frmResBrief.Visible());
    EXPECT_FALSE(gblnExamMode);
    Click(frmResBrief.cmdBack());
    EXPECT_FALSE(frmResBrief.IsLoaded());
    ASSERT_TRUE(frmMode.Visible());
    EXPECT_TRUE(frmMode.optConfig()->isVisibleTo(frmMode.Window()));
    EXPECT_EQ(gstrCandName, "Norvi") << "a later run is saved under the signed-in name";
    frmMode.Unload();

    signedIn("cand01", false);
    gstrCandName = "Someone Else";
    frmResBrief.Show();
    Click(frmResBrief.cmdBack());
    EXPECT_FALSE(frmMode.optConfig()->isVisibleTo(frmMode.Window()));
    EXPECT_EQ(gstrCandName, "Ann Candidate");
    EXPECT_EQ(key, "cand01_12726_0905");
}

TEST_F(ResBriefWindowTest, ADamagedFileChangesNothingAndDeletingKeepsRowsAndFilesMatched) {
    const std::string first = save("cand01", QTime(9, 5, 7));
    const std::string second = save("cand01", QTime(9, 6, 7));
    const std::string third = save("cand02", QTime(9, 7, 7));
    otherRun();
    const Tables before = Snapshot(*gcnExam);
    std::string text = ReadFile(file(first).string());
    text.replace(text.find("ansid : "), 9, "ansid : x");
    WriteFile(file(first).string(), text);
    fs::remove(file(second));

    signedIn("norvi", true);
    frmResBrief.Show();
    doubleClickRow(0);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].icon(), vbCritical);
    EXPECT_NE(boxes[0].text.indexOf(QString::fromStdString(first + ".erf")), -1) << boxes[0].text.toStdString();
    EXPECT_NE(boxes[0].text.indexOf("line 3"), -1) << boxes[0].text.toStdString();
    doubleClickRow(1);
    EXPECT_NE(lastBox().text.indexOf("missing"), -1) << lastBox().text.toStdString();
    EXPECT_EQ(Snapshot(*gcnExam), before);
    EXPECT_TRUE(frmResBrief.Visible());
    EXPECT_FALSE(frmGrade.IsLoaded());
    EXPECT_FALSE(gblnFromResults);

    // Delete: a row must be chosen, and No keeps it.
    boxes.clear();
    grid()->setCurrentCell(3, 2);
    Click(frmResBrief.cmdDelRes());
    EXPECT_EQ(boxTexts(), std::vector<std::string>{"Please Select a Row to Delete"});
    EXPECT_EQ(lastBox().title, "Results");
    grid()->setCurrentCell(2, 4);
    answers.push_back(vbNo);
    Click(frmResBrief.cmdDelRes());
    EXPECT_EQ(lastBox().text, "Do You Want to Delete the Selected Result");
    EXPECT_EQ(lastBox().title, "Resuts");
    EXPECT_EQ(lastBox().buttons(), vbYesNo);
    EXPECT_EQ(count("SELECT count(*) FROM ResultsBrief"), 3);
    EXPECT_TRUE(fs::exists(file(third)));

    // Yes: file and row go, and the rows below move up.
    Click(frmResBrief.cmdDelRes());
    EXPECT_FALSE(fs::exists(file(third)));
    EXPECT_EQ(count("SELECT count(*) FROM ResultsBrief"), 2);
    EXPECT_EQ(cell(grid(), 2, 0), "");
    // A file already gone does not keep its row.
    grid()->setCurrentCell(1, 0);
    Click(frmResBrief.cmdDelRes());
    EXPECT_EQ(count("SELECT count(*) FROM ResultsBrief where FileName = '" + second + "'"), 0);
    EXPECT_EQ(cell(grid(), 0, 1), "Exam of cand01");
    EXPECT_EQ(cell(grid(), 1, 0), "");
    EXPECT_EQ(lastBox().text, "Do You Want to Delete the Selected Result");
}

// Opening a result whose file is a pipe must answer at once, not hang the list.
TEST_F(ResBriefWindowTest, APipeInPlaceOfAResultFileIsReportedWithoutWaiting) {
    const std::string key = save("cand01", QTime(9, 5, 7));
    fs::remove(file(key));
    ASSERT_EQ(mkfifo(file(key).c_str(), 0644), 0);
    signedIn("cand01", false);
    frmResBrief.Show();
    doubleClickRow(0);
    EXPECT_EQ(lastBox().icon(), vbCritical);
    EXPECT_NE(lastBox().text.indexOf(QString::fromStdString(key + ".erf")), -1) << lastBox().text.toStdString();
    EXPECT_NE(lastBox().text.indexOf("not a plain file"), -1) << lastBox().text.toStdString();
    EXPECT_TRUE(frmResBrief.Visible());
    EXPECT_FALSE(frmGrade.IsLoaded());
}
