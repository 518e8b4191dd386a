// The sign-in, sign-up, password and mode windows in each of their states, laid
// out as a person sees them: captions fit, boxes are tall enough, nothing
// overlaps or is cut by a frame, at a large desktop font.
#include "config/frmChgPwd.h"
#include "exam/frmMode.h"
#include "signin/frmLogin.h"
#include "signin/frmSignUp.h"
#include "startup/state.h"
#include "support/fixture.h"
#include "support/layout.h"

using namespace plat;

using LayoutTest = pemu_test::LayoutTest;

TEST_F(LayoutTest, SignInWindowForCandidatesAndTheAdministrator) {
    frmLogin.Show();
    expectClean(frmLogin, "candidate", {{}, {"txtGuide"}});
    frmLogin.optSUser()->SetValue(true);
    expectClean(frmLogin, "administrator", {{}, {"txtGuide"}});
}

TEST_F(LayoutTest, SignUpAndPasswordWindows) {
    frmSignUp.Show();
    expectClean(frmSignUp, "empty");
    frmChgPwd.Show();
    expectClean(frmChgPwd, "empty");
}

// The configuration allows at most its factory number of exams (six).
TEST_F(LayoutTest, ModeWindowForACandidateAndForTheAdministratorWithTheMostExams) {
    frmMode.ShowAfterSignIn(false);
    expectClean(frmMode, "candidate", {{}, {"txtGuide"}});
    frmMode.Unload();
    gcnExam->Execute("UPDATE AdminConfig SET Exams = (SELECT ExamsDef FROM AdminDef), Etype = 'B' where Index = 1");
    frmMode.ShowAfterSignIn(true);
    frmMode.optExam()->SetValue(true);
    expectClean(frmMode, "administrator, most exams", {{}, {"txtGuide"}});
    frmMode.SetProgress(5);
    frmMode.prgMode()->setVisible(true);
    expectClean(frmMode, "drawing questions", {{}, {"txtGuide"}});
}
