// The grade report as the candidate sees it: scores appended to their labels,
// the verdict in its colour, the category grid sized to its rows, the chart
// drawn to scale, and saving and printing from its buttons and menu.
#include "platform/form.h"
#include "platform/grid.h"
#include "platform/printing.h"
#include "results/frmGrade.h"
#include "results/frmReview.h"
#include "run.h"
#include "startup/state.h"
#include "window_fixture.h"

#include <QScrollBar>

using namespace plat;
using namespace results_test;
namespace fs = std::filesystem;

namespace {

class GradeWindowTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        gstrUserName = "cand01";
        gstrCandName = "Ann Candidate";
        gstrExamName = "Network Associate Practice Exam";
        gvarExamDate = date_;
        gvarExamTime = time_;
    }
    void config(long long maxScore, long long passPercentage) {
        gcnExam->Execute("UPDATE AdminConfig SET MaxScore = ?, PassPercentage = ? where Index = 1",
                         {maxScore, passPercentage});
    }
    // n "S" questions of a category, the first `right` of them answered correctly.
    void category(int cat, int n, int right) {
        for (int i = 0; i < n; ++i) {
            const long long q = Pick(*gcnExam, "S", i, cat);
            AddToRun(*gcnExam, q);
            Answer(*gcnExam, q, i < right);
        }
    }
    static QColor base(QWidget* w) { return w->palette().color(QPalette::Base); }
    std::string catName(int cat) {
        return gcnExam->Scalar("SELECT CatName FROM Categories where Index = ?", {cat}).toString();
    }
    fs::path file(const std::string& key) const { return folder() / "results" / (key + ".erf"); }
    std::string rowText(const std::string& key) {
        Recordset rs = gcnExam->OpenRecordset(
            "SELECT Index,CandidateName,UserName,ExamName,ExDate,ExTime,Score,PassScore,MaxScore,Percentage,Result "
            "FROM ResultsBrief where FileName = ?",
            {key});
        std::string row;
        for (int i = 0; !rs.Eof() && i < rs.FieldCount(); ++i) row += (i ? "|" : "") + rs.Fields(i).toString();
        return row;
    }
};

const QColor kGreen(0, 192, 0), kRed(255, 0, 0), kGrey(192, 192, 192);

}  // namespace

TEST_F(GradeWindowTest, ALinearExamOfThirteenRightInTwentyFailsAtSeventyAndIsSavedOnce) {
    config(100, 70);
    category(1, 8, 1);  // 12.5 % rounds to the even 12
    category(2, 4, 4);
    category(3, 8, 8);
    gblnExamMode = true;
    gintExamLimit = 20;
    gintAdapScore = 99;  // a linear exam's points are its correct answers
    frmGrade.Show();

    EXPECT_EQ(frmGrade.Caption(), "Grade");
    EXPECT_EQ(gintAdapScore, 13);
    EXPECT_EQ(frmGrade.lblScoreObt()->text(), "Score Obtained : 650");
    EXPECT_EQ(frmGrade.lblPassScore()->text(), "Pass Score : 700");
    EXPECT_EQ(frmGrade.lblMaxScore()->text(), "Maximum Score : 1000");
    EXPECT_EQ(frmGrade.lblResultDsip()->text(), "FAIL");
    EXPECT_EQ(frmGrade.lblResultDsip()->palette().color(QPalette::WindowText), kRed);
    EXPECT_EQ(frmGrade.lblCandName1()->text(), "Ann Candidate");
    EXPECT_EQ(frmGrade.lblExamName1()->text(), "Network Associate Practice Exam");
    EXPECT_EQ(frmGrade.lblDate1()->text(), "7 Dec 2026");
    EXPECT_EQ(frmGrade.lblTime1()->text(), "09:05:07");
    EXPECT_EQ(frmGrade.fraScore()->title(), "Category Wise Scoring");

    QTableWidget* g = frmGrade.msgReview();
    std::vector<std::string> grid;
    for (int r = 0; r < g->rowCount(); ++r)
        grid.push_back((cell(g, r, 0) + "|" + cell(g, r, 1) + "|" + cell(g, r, 2)).toStdString());
    EXPECT_EQ(grid, (std::vector<std::string>{"1|" + catName(1) + "|12", "2|" + catName(2) + "|100",
                                              "3|" + catName(3) + "|100"}));
    EXPECT_EQ(header(g, 2), "Score obtained");
    // As tall as its rows (nothing to scroll), centred in its frame, as wide as its columns.
    EXPECT_EQ(g->verticalScrollBar()->maximum(), 0);
    EXPECT_LE(std::abs(g->y() - (frmGrade.fraScore()->height() - g->y() - g->height())), 2);
    EXPECT_EQ(g->width(), Px(GridColumnsWidth(g) + 90));

    // 65 % at 44 twips a percent, red for a FAIL; the rest grey; the pass
    // mark's marker ends at 70 %.
    EXPECT_TRUE(frmGrade.rtfPass()->isVisible());
    EXPECT_EQ(frmGrade.rtfPass()->x(), Px(120));
    EXPECT_EQ(frmGrade.rtfPass()->width(), Px(2860));
    EXPECT_EQ(base(frmGrade.rtfPass()), kRed);
    EXPECT_EQ(frmGrade.rtfFail()->x(), Px(120 + 2860));
    EXPECT_EQ(frmGrade.rtfFail()->width(), Px(4635 - 2860));
    EXPECT_EQ(base(frmGrade.rtfFail()), kGrey);
    EXPECT_EQ(frmGrade.RichTextBox1()->x(), Px(70 * 45 - 70 + 90));
    EXPECT_EQ(frmGrade.RichTextBox1()->width(), Px(30));
    EXPECT_EQ(frmGrade.rtfScale()->toPlainText(),
              "|,,,,,,,,,|,,,,,,,,,|,,,,,,,,,|,,,,,,,,,|,,,,,,,,,|,,,,,,,,,|,,,,,,,,,|,,,,,,,,,|,,,,,,,,,|,,,,,,,,,|\n"
              "0      10       20     30      40     50     60      70     80    90    100\n"
              "                        Percentage --->");
    EXPECT_EQ(base(frmGrade.rtfScale()), QColor(224, 224, 224));

    Click(frmGrade.cmdSave());
    EXPECT_EQ(boxTexts(), std::vector<std::string>{"Result Saved"});
    EXPECT_EQ(lastBox().title, "Results");
    EXPECT_EQ(lastBox().icon(), vbInformation);
    EXPECT_TRUE(fs::exists(file("cand01_12726_0905")));
    EXPECT_EQ(rowText("cand01_12726_0905"),
              "1|Ann Candidate|cand01|Network Associate Practice Exam|2026-12-07|09:05:07|650|700|1000|65|Fail");
    Click(frmGrade.cmdSave());
    EXPECT_EQ(lastBox().text, "Result Already Saved");
    EXPECT_EQ(count("SELECT count(*) FROM ResultsBrief"), 1);
}

// A PASS in green with the green bar across the scale, and nothing right:
// the grey bar alone.
TEST_F(GradeWindowTest, APassIsGreenAndEachBarHidesAtItsEndOfTheScale) {
    config(100, 70);
    category(1, 2, 2);
    frmGrade.Show();
    EXPECT_EQ(frmGrade.lblScoreObt()->text(), "Score Obtained : 1000");
    EXPECT_EQ(frmGrade.lblResultDsip()->text(), "PASS");
    EXPECT_EQ(frmGrade.lblResultDsip()->palette().color(QPalette::WindowText), kGreen);
    EXPECT_EQ(base(frmGrade.rtfPass()), kGreen);
    EXPECT_EQ(frmGrade.rtfPass()->width(), Px(4635 - 30));
    EXPECT_FALSE(frmGrade.rtfFail()->isVisibleTo(frmGrade.Window()));
    frmGrade.Unload();

    gcnExam->Execute("DELETE * from AnsSelected");
    frmGrade.Show();
    EXPECT_EQ(frmGrade.lblResultDsip()->text(), "FAIL");
    EXPECT_FALSE(frmGrade.rtfPass()->isVisibleTo(frmGrade.Window()));
    EXPECT_TRUE(frmGrade.rtfFail()->isVisibleTo(frmGrade.Window()));
    EXPECT_EQ(frmGrade.rtfFail()->geometry().left(), frmGrade.rtfScale()->geometry().left());
    EXPECT_EQ(frmGrade.rtfFail()->width(), frmGrade.rtfScale()->width());
}

// Seven categories make eight rows with the header: from there the grid is
// wider than its columns by a scroll bar's room, and it still fits its frame.
TEST_F(GradeWindowTest, ACategoryGridOfEightRowsOrMoreLeavesRoomForItsScrollBar) {
    for (int cat = 1; cat <= 6; ++cat) category(cat, 1, 1);
    frmGrade.Show();
    EXPECT_EQ(frmGrade.msgReview()->width(), Px(GridColumnsWidth(frmGrade.msgReview()) + 90));
    frmGrade.Unload();

    for (int cat = 7; cat <= 10; ++cat) category(cat, 1, 0);
    frmGrade.Show();
    QTableWidget* g = frmGrade.msgReview();
    ASSERT_EQ(g->rowCount(), 10);
    EXPECT_EQ(cell(g, 9, 1).toStdString(), catName(10));
    EXPECT_EQ(cell(g, 9, 2), "0");
    EXPECT_EQ(g->width(), Px(GridColumnsWidth(g) + 380));
    EXPECT_TRUE(frmGrade.fraScore()->rect().contains(g->geometry()));
}

TEST_F(GradeWindowTest, AnEmptyRunScoresNothingAndAMissingConfigurationGivesNoVerdictAndNoSave) {
    // Nothing to grade and no limit: nothing scored, nothing divided by zero.
    gblnExamMode = true;
    frmGrade.Show();
    EXPECT_EQ(frmGrade.msgReview()->rowCount(), 0);
    EXPECT_EQ(frmGrade.lblScoreObt()->text(), "Score Obtained : 0");
    EXPECT_EQ(frmGrade.lblResultDsip()->text(), "FAIL");
    frmGrade.Unload();

    category(1, 2, 2);
    gcnExam->Execute("DELETE * from AdminConfig");
    frmGrade.Show();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].icon(), vbExclamation);
    EXPECT_EQ(frmGrade.lblResultDsip()->text(), "");
    EXPECT_FALSE(frmGrade.RichTextBox1()->isVisibleTo(frmGrade.Window()));
    EXPECT_FALSE(frmGrade.cmdSave()->isEnabled());
    EXPECT_TRUE(frmGrade.cmdClose()->isEnabled());
}

// The faults of saving, each from the button: no folder, a key another run
// holds, a row that cannot go in.
TEST_F(GradeWindowTest, SavingMakesItsFolderNeverReplacesAFileAndUndoesAFailedRow) {
    category(1, 2, 1);
    gstrCandName = "Ann O'Neil";
    gstrExamName = "Sam's \"Exam\"";
    fs::remove_all(folder() / "results");
    frmGrade.Show();
    Click(frmGrade.cmdSave());
    EXPECT_EQ(lastBox().text, "Result Saved");
    ASSERT_TRUE(fs::exists(file("cand01_12726_0905")));
    EXPECT_EQ(rowText("cand01_12726_0905"),
              "1|Ann O'Neil|cand01|Sam's \"Exam\"|2026-12-07|09:05:07|500|800|1000|50|Fail");
    const std::string first = ReadFile(file("cand01_12726_0905").string());
    frmGrade.Unload();

    // Another run of the same minute (or with the same digits) is its own result.
    category(2, 1, 1);
    frmGrade.Show();
    Click(frmGrade.cmdSave());
    EXPECT_EQ(lastBox().text, "Result Saved");
    EXPECT_TRUE(fs::exists(file("cand01_12726_0905_2")));
    EXPECT_EQ(ReadFile(file("cand01_12726_0905").string()), first);
    frmGrade.Unload();

    // A row that cannot go in leaves no file behind and says so.
    gcnExam->Execute("CREATE TRIGGER refuse BEFORE INSERT ON ResultsBrief BEGIN SELECT RAISE(ABORT, 'disk full'); END");
    frmGrade.Show();
    boxes.clear();
    Click(frmGrade.cmdSave());
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].icon(), vbCritical);
    EXPECT_NE(boxes[0].text.indexOf("not saved"), -1) << boxes[0].text.toStdString();
    EXPECT_FALSE(fs::exists(file("cand01_12726_0905_3")));
    EXPECT_EQ(count("SELECT count(*) FROM ResultsBrief"), 2);
    gcnExam->Execute("DROP TRIGGER refuse");
    Click(frmGrade.cmdSave());
    EXPECT_EQ(lastBox().text, "Result Saved") << "a failed save may be tried again";
}

// Print: the window without its buttons, once; Print Screen: as it stands,
// once per copy; a cancelled dialog prints nothing and says nothing.
TEST_F(GradeWindowTest, PrintsTheWindowOncePerCopyAndNothingWhenCancelled) {
    category(1, 1, 1);
    frmGrade.Show();
    printerChosen(3);
    Click(frmGrade.cmdPrint());
    EXPECT_EQ(pdfPages(), 1) << "the Print button prints one image whatever the copies";
    EXPECT_TRUE(frmGrade.Frame5()->isVisible());
    fs::remove(pdf());

    frmGrade.Menu().print->trigger();
    EXPECT_EQ(pdfPages(), 3);
    fs::remove(pdf());

    printerChosen(0);
    frmGrade.Menu().print->trigger();
    Click(frmGrade.cmdPrint());
    EXPECT_EQ(dialogs, 4);
    EXPECT_FALSE(fs::exists(pdf()));
    EXPECT_TRUE(boxes.empty());

    // The review list's print handler (its menu item stays disabled).
    printerChosen(2);
    frmReview.Show();
    EXPECT_FALSE(frmReview.Menu().print->isEnabled());
    frmReview.mnuprint_Click();
    EXPECT_EQ(pdfPages(), 2);

    // The disabled text-size item: the font dialog, whose choice changes nothing.
    int fontDialogs = 0;
    SetFontDialogHook([&](const QFont&) {
        ++fontDialogs;
        return std::optional<QFont>(QFont("DejaVu Sans", 30));
    });
    EXPECT_FALSE(frmGrade.Menu().txtSize->isEnabled());
    const QFont before = frmGrade.lblCandName1()->font();
    frmGrade.mnuSize_Click();
    EXPECT_EQ(fontDialogs, 1);
    EXPECT_EQ(frmGrade.lblCandName1()->font(), before);
}
