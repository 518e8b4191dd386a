// The road of a run through the real windows: a candidate signs in, starts a
// linear and then an adaptive exam from the mode window, answers, ends the
// exam and reaches the grade report, which gets the run's score.
#include "exam/answers.h"
#include "exam/frmMode.h"
#include "exam_fixture.h"
#include "results/frmGrade.h"
#include "signin/frmLogin.h"
#include "startup/state.h"

#include <set>

using namespace exam_test;
using namespace plat;

namespace {

class ExamRoadTest : public ExamTest {
protected:
    void signIn() { SignInAs("cand"); }
    bool answerIfYouCan() {
        if (frmExam.strQuestType != "S" && frmExam.strQuestType != "M") return false;
        answerCorrectly(gintCurQId);
        return true;
    }
    bool lastQuestionSaid() const { return !boxes.empty() && boxes.back().text == "You are at the Last Question"; }
};

}  // namespace

TEST_F(ExamRoadTest, ALinearAndAnAdaptiveExamFromTheModeWindowToTheGradeReport) {
    gcnExam->Execute("INSERT into User (Uname,Name,Email,Phone) values('cand','Cand Idate','NA','NA')");
    signIn();
    frmMode.Menu().examLin(2)->trigger();
    ASSERT_TRUE(frmExam.Visible());
    EXPECT_FALSE(frmMode.IsLoaded());
    EXPECT_EQ(frmExam.Caption(), " Exam2");
    EXPECT_EQ(frmExam.lblTot()->text(), "40");
    EXPECT_EQ(frmExam.lblTime()->text(), "00:59:59");
    std::set<long long> answered;
    for (int n = 0; n < 40 && !lastQuestionSaid(); ++n) {
        if (answerIfYouCan()) answered.insert(gintCurQId);
        tick1s();
        Click(frmExam.cmdNext());
    }
    EXPECT_TRUE(lastQuestionSaid());
    Click(frmExam.cmdEndExam());
    EXPECT_TRUE(frmGrade.Visible());
    EXPECT_FALSE(frmExam.IsLoaded());
    EXPECT_EQ(frmGrade.lblCandName1()->text(), "Cand Idate");
    ASSERT_FALSE(answered.empty());
    EXPECT_EQ(gcnExam->Scalar("SELECT count(*) FROM (SELECT DISTINCT QId FROM AnsSelected)").toInt(),
              static_cast<long long>(answered.size()));
    for (long long q : answered) EXPECT_TRUE(answers::IsCorrect(*gcnExam, q, answers::TypeOf(*gcnExam, q)));
    Click(frmGrade.cmdClose());
    ASSERT_TRUE(frmLogin.Visible());

    gcnExam->Execute("UPDATE AdminConfig SET Etype = 'A' where Index = 1");
    signIn();
    ASSERT_TRUE(frmMode.optAdaptive()->Value());
    boxes.clear();
    Click(frmMode.cmdNext());
    ASSERT_TRUE(frmExam.Visible());
    EXPECT_EQ(gintExamLimit, 40);
    int shown = 0;
    while (!lastQuestionSaid() && shown++ < 40) {
        answerIfYouCan();
        Click(frmExam.cmdNext());
    }
    ASSERT_TRUE(lastQuestionSaid());
    Click(frmExam.cmdEndExam());
    EXPECT_TRUE(frmGrade.Visible());

    // The score handed over: the weight of every issued question answered correctly, once.
    long long expected = 0, issued = 0;
    Recordset rs = gcnExam->OpenRecordset("SELECT QId, DiffLvl FROM QuestIds where Attempted = 1");
    for (; !rs.Eof(); rs.MoveNext(), ++issued) {
        const long long q = rs.Fields(0).toInt();
        const std::string level = rs.Fields(1).toString();
        if (answers::IsCorrect(*gcnExam, q, answers::TypeOf(*gcnExam, q)))
            expected += level == "B" ? gintBeginScore : level == "I" ? gintIntScore : gintExpScore;
    }
    EXPECT_GT(issued, 1);
    EXPECT_GT(expected, 0);
    EXPECT_EQ(gintAdapScore, expected);
}
