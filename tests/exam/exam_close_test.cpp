// Closing the exam window by its title bar: no End Exam question, no grade
// report, no saved result. A candidate's program ends with it (no other window
// is loaded); after an administrator's sign-in the sign-in window stays up.
#include "exam/frmMode.h"
#include "exam_fixture.h"
#include "results/frmGrade.h"
#include "signin/frmLogin.h"
#include "startup/state.h"

using namespace exam_test;
using namespace plat;

namespace {

class ExamCloseTest : public ExamTest {
protected:
    // Starts numbered exam 1 from the mode window and leaves its first question
    // answered, so that the run has something a grade report would count.
    void startAndAnswer() {
        frmMode.Menu().examLin(1)->trigger();
        ASSERT_TRUE(frmExam.Visible());
        while (frmExam.strQuestType != "S" && frmExam.strQuestType != "M") Click(frmExam.cmdNext());
        answerCorrectly(gintCurQId);
        Click(frmExam.cmdNext());
        ASSERT_GT(gcnExam->Scalar("SELECT count(*) FROM AnsSelected").toInt(), 0);
        boxes.clear();
    }
    void closeByTitleBar() {
        frmExam.Window()->close();
        Settle();
    }
    long long savedResults() const { return gcnExam->Scalar("SELECT count(*) FROM ResultsBrief").toInt(); }
};

}  // namespace

TEST_F(ExamCloseTest, ACandidatesProgramEndsUngraded) {
    gcnExam->Execute("INSERT into User (Uname,Name,Email,Phone) values('cand','Cand Idate','NA','NA')");
    SignInAs("cand");
    startAndAnswer();
    closeByTitleBar();
    EXPECT_FALSE(frmExam.IsLoaded());
    EXPECT_FALSE(frmGrade.IsLoaded());
    EXPECT_TRUE(boxes.empty()) << boxes.front().text.toStdString();
    EXPECT_EQ(endRequests, std::vector<int>{0});
    EXPECT_EQ(savedResults(), 0);
}

TEST_F(ExamCloseTest, AfterAnAdministratorsSignInTheSignInWindowStays) {
    SignInAsAdministrator();
    ASSERT_TRUE(frmMode.Visible());
    startAndAnswer();
    closeByTitleBar();
    EXPECT_FALSE(frmExam.IsLoaded());
    EXPECT_FALSE(frmGrade.IsLoaded());
    EXPECT_TRUE(boxes.empty()) << boxes.front().text.toStdString();
    EXPECT_TRUE(endRequests.empty());
    EXPECT_TRUE(frmLogin.Visible());
    EXPECT_EQ(savedResults(), 0);
}
