// The whole road of a result through the real windows, as a candidate goes:
// sign in, take an exam, review it (a jump, the unanswered questions, none
// left), end it from the list, save the report, take another exam, sign in
// again, reopen the saved result and look through it read-only.
#include "exam/frmExam.h"
#include "exam/frmMode.h"
#include "results/frmGrade.h"
#include "results/frmResBrief.h"
#include "results/frmReview.h"
#include "results/resultfile.h"
#include "run.h"
#include "signin/frmLogin.h"
#include "startup/state.h"
#include "window_fixture.h"

#include <QLabel>

using namespace plat;
using namespace results_test;
namespace fs = std::filesystem;

namespace {

class ResultsRoadTest : public WindowTest {
protected:
    void signIn() { SignInAs("cand"); }
    // Ticks the options of the question on screen, right or wrong, by their rows.
    void answerOnScreen(bool correct) {
        const long long q = gintCurQId;
        const bool single = frmExam.strQuestType == "S";
        std::vector<long long> picks = correct ? OptionsOf(q, 1) : std::vector<long long>{OptionsOf(q, 0).front()};
        if (single) picks.resize(1);
        for (long long p : picks) {
            const int row = static_cast<int>(
                count("SELECT count(*) FROM AnsIds where Qid = " + std::to_string(q) +
                      " and Index <= (SELECT Index FROM AnsIds where AnsId = " + std::to_string(p) + ")"));
            if (single) Click(frmExam.optAnswer()(row));
            else Click(frmExam.chkAnswer()(row));
        }
    }
    ::testing::AssertionResult review(const std::function<void()>& inside) {
        return WhileModal(frmReview, [] { Click(frmExam.cmdReview()); }, inside);
    }
    bool answeredMark(int row) {
        auto* l = qobject_cast<QLabel*>(frmReview.msgReview()->cellWidget(row, 3));
        return l && l->pixmap().toImage() == QPixmap(QString::fromStdString((folder() / "correct.gif").string())).toImage();
    }
};

}  // namespace

TEST_F(ResultsRoadTest, ACandidateTakesReviewsSavesReopensAndReviewsAnExam) {
    gcnExam->Execute("INSERT INTO User (Uname,Name,Email,Phone) VALUES ('cand','Ann O''Neil','NA','NA')");
    gcnExam->Execute("UPDATE AdminConfig SET NofQues = 5 where Index = 1");
    signIn();
    frmMode.Menu().examLin(1)->trigger();
    ASSERT_TRUE(frmExam.Visible());
    ASSERT_EQ(count("SELECT count(*) FROM QuestIds"), 5);

    // 1 right, 2 left, 3 bookmarked and left, 4 wrong, 5 left.
    answerOnScreen(true);
    Click(frmExam.cmdNext());
    Click(frmExam.cmdNext());
    Click(frmExam.BookMark());
    const long long marked = gintCurQId;
    Click(frmExam.cmdNext());
    answerOnScreen(false);
    const long long wrong = gintCurQId;
    Click(frmExam.cmdNext());

    ASSERT_TRUE(review([&] {
        ASSERT_EQ(frmReview.msgReview()->rowCount(), 5);
        EXPECT_EQ(frmReview.lblCandName1()->text(), "Ann O'Neil");
        const std::vector<bool> answered = {true, false, false, true, false};
        for (int r = 0; r < 5; ++r) EXPECT_EQ(answeredMark(r), answered[r]) << "row " << r;
        ASSERT_NE(frmReview.msgReview()->item(2, 1), nullptr);
        EXPECT_EQ(frmReview.msgReview()->item(2, 1)->background().color(), QColor(255, 128, 128));
        frmReview.msgReview_DblClick(0);
    }));
    EXPECT_EQ(frmExam.mintCurQuesInd, 1);

    ASSERT_TRUE(review([] { Click(frmReview.cmdRevUnAns()); }));
    EXPECT_EQ(frmExam.mintCurQuesInd, 2);
    answerOnScreen(true);
    Click(frmExam.cmdNext());
    EXPECT_EQ(gintCurQId, marked);
    EXPECT_EQ(frmExam.BookMark()->Value(), 1);
    answerOnScreen(true);
    Click(frmExam.cmdNext());
    EXPECT_EQ(frmExam.mintCurQuesInd, 5) << "the answered fourth question is passed over";
    answerOnScreen(true);
    Click(frmExam.cmdNext());
    EXPECT_EQ(lastBox().text, "You are at the Last Unaswered Question");

    ASSERT_TRUE(review([] {
        Click(frmReview.cmdRevUnAns());
        Click(frmReview.cmdGrade());
    }));
    EXPECT_EQ(lastBox().text, "No Unanswered Question");
    ASSERT_TRUE(frmGrade.Visible());
    EXPECT_FALSE(frmExam.IsLoaded());
    EXPECT_EQ(count("SELECT count(*) FROM BookMarkExam"), 0);
    // Four of five right: 80 % is the pass mark itself.
    EXPECT_EQ(frmGrade.lblScoreObt()->text(), "Score Obtained : 8000");
    EXPECT_EQ(frmGrade.lblResultDsip()->text(), "PASS");

    const Tables taken = Snapshot(*gcnExam);
    const QDate day = gvarExamDate.toDate();
    const QTime at = gvarExamTime.toTime();
    const std::string key = results::ResultKey("cand", day, at).toStdString();
    Click(frmGrade.cmdSave());
    EXPECT_EQ(lastBox().text, "Result Saved");
    const std::string text = ReadFile((folder() / "results" / (key + ".erf")).string());
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), std::count(text.begin(), text.end(), '\r'));
    EXPECT_EQ(text.rfind("qid : ", 0), 0u);
    EXPECT_NE(text.find("qtype : S\r\n"), std::string::npos);
    EXPECT_EQ(gcnExam->Scalar("SELECT CandidateName FROM ResultsBrief where FileName = ?", {key}).toString(),
              "Ann O'Neil");
    Click(frmGrade.cmdClose());
    ASSERT_TRUE(frmLogin.Visible());

    // Another exam replaces the run in the tables.
    signIn();
    frmMode.Menu().examLin(2)->trigger();
    ASSERT_TRUE(frmExam.Visible());
    Click(frmExam.cmdEndExam());
    Click(frmGrade.cmdClose());
    ASSERT_FALSE(Snapshot(*gcnExam) == taken);

    // Later: the saved result, reopened and looked through.
    signIn();
    frmMode.Menu().savRes->trigger();
    ASSERT_TRUE(frmResBrief.Visible());
    ASSERT_EQ(cell(frmResBrief.msgResults(), 0, 6), "Pass");
    EXPECT_EQ(cell(frmResBrief.msgResults(), 0, 2), results::DateText(day));
    frmResBrief.msgResults()->setCurrentCell(0, 0);
    frmResBrief.msgResults_DblClick();
    ASSERT_TRUE(frmGrade.Visible());
    EXPECT_EQ(Snapshot(*gcnExam), taken);
    EXPECT_EQ(frmGrade.lblScoreObt()->text(), "Score Obtained : 8000");
    EXPECT_EQ(frmGrade.lblTime1()->text(), results::TimeText(at));
    ASSERT_TRUE(WhileModal(frmExam, [] { Click(frmGrade.cmdSave()); }, [&] {
        EXPECT_EQ(frmExam.cmdEndExam()->text(), "Close");
        EXPECT_FALSE(frmExam.cmdReview()->isEnabled());
        for (int n = 1; n < 5 && gintCurQId != wrong; ++n) Click(frmExam.cmdNext());
        ASSERT_EQ(gintCurQId, wrong);
        Click(frmExam.cmdEndExam());
    }));
    EXPECT_EQ(Snapshot(*gcnExam), taken) << "looking through writes nothing";
    Click(frmGrade.cmdClose());
    Click(frmResBrief.cmdBack());
    EXPECT_TRUE(frmMode.Visible());
    EXPECT_EQ(gstrCandName, "Ann O'Neil");
    EXPECT_EQ(count("SELECT count(*) FROM ResultsBrief"), 1);
}
