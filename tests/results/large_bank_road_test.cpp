// A bank numbered far beyond 32,767 (question ids, options, drag-and-drop rows,
// router commands and the saved-results list) taken through the real windows:
// a full exam from the mode window, the set-up window's All and Custom runs,
// Next and Previous, the side windows, the review list, the grade report, the
// save and the reopening. No step may stop the program.
#include "exam/FrmSettings.h"
#include "exam/frmDrag.h"
#include "exam/frmExam.h"
#include "exam/frmMode.h"
#include "results/frmGrade.h"
#include "results/frmResBrief.h"
#include "results/frmReview.h"
#include "run.h"
#include "signin/frmLogin.h"
#include "simulator/frmSimulator.h"
#include "startup/state.h"
#include "support/largebank.h"
#include "window_fixture.h"

#include <QTest>

using namespace plat;
using namespace results_test;

namespace {

constexpr long long kFirstQId = 40001;
constexpr long long kFirstOption = 40001;
constexpr long long kFirstDragRow = 50001;
constexpr long long kFirstCommand = 60001;

class LargeBankRoadTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        largebank::ReplaceBank(*gcnExam, {60, kFirstQId, kFirstOption, kFirstDragRow, kFirstCommand});
        gcnExam->Execute("INSERT INTO User (Uname,Name,Email,Phone) VALUES ('cand','Cand Idate','NA','NA')");
        gcnExam->Execute("UPDATE AdminConfig SET Etype = 'B', NofQues = 12, Exams = 2 where Index = 1");
        // Another candidate's saved result holds the list's last number so far.
        gcnExam->Execute(
            "INSERT INTO ResultsBrief (Index,CandidateName,UserName,ExamName,ExDate,ExTime,Score,PassScore,MaxScore,"
            "Percentage,Result,FileName) VALUES (40000,'Other','other','CCNA','2026-01-02','10:00:00',100,700,1000,"
            "10,'Fail','other_1226_1000')");
        FrmSettings.SetSeedForTesting(5);
    }
    void TearDown() override {
        FrmSettings.SetSeedForTesting(std::nullopt);
        WindowTest::TearDown();
    }

    // Nothing so far has stopped the program.
    void expectRunning() {
        EXPECT_TRUE(endRequests.empty());
        for (const std::string& t : boxTexts()) EXPECT_EQ(t.find("Run-time error"), std::string::npos) << t;
    }
    // Ticks "Option 0", the correct one, of an "S" or "M" question on screen.
    bool answerOnScreen() {
        const bool single = frmExam.strQuestType == "S";
        if (!single && frmExam.strQuestType != "M") return false;
        for (int k = 1; k <= frmExam.intAnsLbls; ++k)
            if (frmExam.lblAnswers()(k)->text() == "Option 0") {
                if (single) Click(frmExam.optAnswer()(k));
                else Click(frmExam.chkAnswer()(k));
                return true;
            }
        ADD_FAILURE() << "no correct option on screen for " << gintCurQId;
        return false;
    }
    void nextUntil(const char* type) {
        for (int n = 0; n < 60 && frmExam.strQuestType != type; ++n) Click(frmExam.cmdNext());
        ASSERT_EQ(frmExam.strQuestType.toStdString(), type);
    }
    void learnRun() {
        SignInAs("cand");
        Click(frmMode.optLearn());
        Click(frmMode.cmdNext());
        ASSERT_TRUE(FrmSettings.Visible());
    }
    void endAndClose() {
        Click(frmExam.cmdEndExam());
        ASSERT_TRUE(frmGrade.Visible());
        Click(frmGrade.cmdClose());
        ASSERT_TRUE(frmLogin.Visible());
    }
};

}  // namespace

TEST_F(LargeBankRoadTest, AFullExamAndTheSetUpRunsOfABankNumberedBeyond32767) {
    // ---- a full exam from the mode window, graded and saved
    SignInAs("cand");
    frmMode.Menu().examLin(3)->trigger();
    ASSERT_TRUE(frmExam.Visible()) << testing::PrintToString(boxTexts());
    EXPECT_EQ(frmExam.Caption(), "Full Exam");
    EXPECT_EQ(count("SELECT count(*) FROM QuestIds"), 12);
    EXPECT_GE(gintCurQId, kFirstQId);
    EXPECT_EQ(frmExam.lblQId()->text().toLongLong(), gintCurQId);
    int answered = 0;
    for (int n = 0; n < 12; ++n) {
        answered += answerOnScreen();
        Click(frmExam.cmdNext());
    }
    EXPECT_EQ(lastBox().text, "You are at the Last Question");
    Click(frmExam.cmdPrev());
    EXPECT_EQ(frmExam.mintCurQuesInd, 11);
    expectRunning();
    ASSERT_GT(answered, 0);
    EXPECT_EQ(count("SELECT count(*) FROM AnsSelected where Answer < 40001"), 0);
    EXPECT_EQ(count("SELECT count(DISTINCT QId) FROM AnsSelected"), answered);

    ASSERT_TRUE(WhileModal(frmReview, [] { Click(frmExam.cmdReview()); }, [&] {
        ASSERT_EQ(frmReview.msgReview()->rowCount(), 12);
        EXPECT_GE(cell(frmReview.msgReview(), 0, 1).toLongLong(), kFirstQId);
        frmReview.msgReview_DblClick(2);
    }));
    EXPECT_EQ(frmExam.mintCurQuesInd, 3);
    ASSERT_TRUE(WhileModal(frmReview, [] { Click(frmExam.cmdReview()); }, [] { Click(frmReview.cmdGrade()); }));
    ASSERT_TRUE(frmGrade.Visible());
    Click(frmGrade.cmdSave());
    EXPECT_EQ(lastBox().text, "Result Saved");
    EXPECT_EQ(count("SELECT max(Index) FROM ResultsBrief"), 40001);
    Click(frmGrade.cmdClose());
    expectRunning();

    // ---- the set-up window's All: every question in bank order, with the side windows
    learnRun();
    Click(FrmSettings.optAll());
    Click(FrmSettings.cmdNext());
    ASSERT_TRUE(frmExam.Visible());
    EXPECT_EQ(frmExam.lblTot()->text(), "60");
    EXPECT_EQ(gintCurQId, kFirstQId);
    answerOnScreen();
    Click(frmExam.cmdNext());
    Click(frmExam.cmdPrev());
    EXPECT_EQ(gintCurQId, kFirstQId);

    nextUntil("D");
    const long long dragQ = gintCurQId;
    ASSERT_TRUE(WhileModal(frmDrag, [] { Click(frmExam.cmdDND()); }, [] {
        // The first option, dropped well inside the first slot.
        OptionLabel* o = frmDrag.lblOption()(1);
        QWidget* body = frmDrag.Window()->centralWidget();
        QTest::mousePress(o, Qt::LeftButton, {}, QPoint(5, 5));
        const QPoint at = o->mapFrom(body, frmDrag.lblAnswer()(1)->mapTo(body, QPoint(11, 11)));
        QTest::mouseMove(o, at);
        QTest::mouseRelease(o, Qt::LeftButton, {}, at);
        Click(frmDrag.cmdClose());
    }));
    EXPECT_EQ(count("SELECT count(*) FROM DragNDrop where QId = " + std::to_string(dragQ) + " and AnsRand >= " +
                    std::to_string(kFirstDragRow)),
              3);
    EXPECT_EQ(count("SELECT count(*) FROM DragNDrop where QId = " + std::to_string(dragQ) + " and AnsSel >= " +
                    std::to_string(kFirstDragRow)),
              1);

    nextUntil("SIM");
    const long long simQ = gintCurQId;
    ASSERT_TRUE(WhileModal(frmSimulator, [] { Click(frmExam.cmdSimulator()); }, [] {
        QTest::keyClick(frmSimulator.txtSimCon(), Qt::Key_Return);
        QTest::keyClicks(frmSimulator.txtSimCon(), "enable");
        QTest::keyClick(frmSimulator.txtSimCon(), Qt::Key_Return);
        Click(frmSimulator.cmdClose());
    }));
    EXPECT_EQ(count("SELECT CmdTyped FROM SimCommands where QId = " + std::to_string(simQ)), 1);
    expectRunning();

    ASSERT_TRUE(WhileModal(frmReview, [] { Click(frmExam.cmdReview()); }, [&] {
        ASSERT_EQ(frmReview.msgReview()->rowCount(), 60);
        frmReview.msgReview_DblClick(59);
    }));
    EXPECT_EQ(frmExam.mintCurQuesInd, 60);
    Click(frmExam.cmdEndExam());
    ASSERT_TRUE(frmGrade.Visible());
    const Tables taken = Snapshot(*gcnExam);
    Click(frmGrade.cmdSave());
    EXPECT_EQ(lastBox().text, "Result Saved");
    EXPECT_EQ(count("SELECT max(Index) FROM ResultsBrief"), 40002);
    Click(frmGrade.cmdClose());
    expectRunning();

    // ---- the set-up window's Custom: one question of each level of the first category
    learnRun();
    Click(FrmSettings.optCustom());
    for (int e = 1; e <= FrmSettings.mintCmbCount; ++e) {
        QComboBox* box = FrmSettings.cmbDiffLvl()(e);
        box->setCurrentIndex(box->findText(e <= 3 ? "1" : "0"));
    }
    Click(FrmSettings.cmdNext());
    ASSERT_TRUE(frmExam.Visible());
    EXPECT_EQ(frmExam.lblTot()->text(), "3");
    Click(frmExam.cmdNext());
    Click(frmExam.cmdNext());
    Click(frmExam.cmdPrev());
    endAndClose();
    expectRunning();

    // ---- the All run reopened from the saved results, as it was saved
    SignInAs("cand");
    frmMode.Menu().savRes->trigger();
    ASSERT_TRUE(frmResBrief.Visible());
    ASSERT_EQ(cell(frmResBrief.msgResults(), 1, 0), "Cand Idate");
    frmResBrief.msgResults()->setCurrentCell(1, 0);
    frmResBrief.msgResults_DblClick();
    ASSERT_TRUE(frmGrade.Visible());
    EXPECT_EQ(Snapshot(*gcnExam), taken);
    ASSERT_TRUE(WhileModal(frmExam, [] { Click(frmGrade.cmdSave()); }, [&] {
        EXPECT_EQ(gintCurQId, kFirstQId);
        nextUntil("D");
        Click(frmExam.cmdEndExam());
    }));
    EXPECT_EQ(Snapshot(*gcnExam), taken);
    expectRunning();
}
