// Closing the grade report by its title bar leaves it as its Close button
// does: a candidate goes back to the sign-in window (the program does not
// end), an administrator's reopened result back to the saved-results list.
#include "exam/frmExam.h"
#include "exam/frmMode.h"
#include "results/frmGrade.h"
#include "results/frmResBrief.h"
#include "run.h"
#include "signin/frmLogin.h"
#include "startup/state.h"
#include "window_fixture.h"

#include <QCloseEvent>

using namespace plat;
using namespace results_test;

namespace {

class GradeCloseTest : public WindowTest {
protected:
    // The close request the window manager sends when the title bar's
    // button is pressed.
    static void closeByTitleBar() {
        QCloseEvent e;
        QApplication::sendEvent(frmGrade.Window(), &e);
        Settle();
    }
    long long savedResults() { return count("SELECT count(*) FROM ResultsBrief"); }
};

}  // namespace

TEST_F(GradeCloseTest, ACandidateIsBackAtTheSignInWindowAndTheUnsavedResultIsNotKept) {
    gcnExam->Execute("INSERT INTO User (Uname,Name,Email,Phone) VALUES ('cand','Ann Candidate','NA','NA')");
    SignInAs("cand");
    ASSERT_FALSE(frmLogin.IsLoaded());
    frmMode.Menu().examLin(1)->trigger();
    ASSERT_TRUE(frmExam.Visible());
    Click(frmExam.cmdEndExam());
    ASSERT_TRUE(frmGrade.Visible());
    ASSERT_TRUE(gblnExamMode);
    boxes.clear();

    closeByTitleBar();
    EXPECT_FALSE(frmGrade.IsLoaded());
    EXPECT_TRUE(frmLogin.Visible());
    EXPECT_TRUE(endRequests.empty()) << "the program ended";
    EXPECT_FALSE(gblnExamMode);
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(savedResults(), 0);

    // The same road again, by the Close button: the same place.
    SignInAs("cand");
    frmMode.Menu().examLin(1)->trigger();
    Click(frmExam.cmdEndExam());
    Click(frmGrade.cmdClose());
    EXPECT_FALSE(frmGrade.IsLoaded());
    EXPECT_TRUE(frmLogin.Visible());
    EXPECT_TRUE(endRequests.empty());
}

TEST_F(GradeCloseTest, AnAdministratorsReopenedResultGoesBackToTheSavedResultsList) {
    run({Pick(*gcnExam, "S"), Pick(*gcnExam, "M")});
    Recordset rs = gcnExam->OpenRecordset("SELECT QId FROM QuestIds ORDER BY Index");
    for (; !rs.Eof(); rs.MoveNext()) Answer(*gcnExam, rs.Fields(0).toInt(), true);
    const results::SaveOutcome saved = results::SaveResult(
        *gcnExam, folder(), FailedRunRequest("Cand 01", "cand01", "Exam of cand01", date_, time_));
    ASSERT_TRUE(saved.saved) << saved.message.text.toStdString();

    SignInAsAdministrator();
    ASSERT_TRUE(frmMode.Visible());
    frmMode.Menu().savRes->trigger();
    ASSERT_TRUE(frmResBrief.Visible());
    frmResBrief.msgResults()->setCurrentCell(0, 0);
    frmResBrief.msgResults_DblClick();
    ASSERT_TRUE(frmGrade.Visible());
    ASSERT_TRUE(gblnFromResults);
    ASSERT_FALSE(frmResBrief.Visible());
    boxes.clear();

    closeByTitleBar();
    EXPECT_FALSE(frmGrade.IsLoaded());
    EXPECT_TRUE(frmResBrief.Visible());
    EXPECT_EQ(frmResBrief.msgResults()->item(0, 1)->text(), "Exam of cand01");
    EXPECT_TRUE(endRequests.empty());
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(savedResults(), 1);
}
