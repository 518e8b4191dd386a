// Every window in each of its states, laid out as a person sees it: captions
// fit, boxes are tall enough, nothing overlaps or is cut by a frame. The desktop
// font is set large, as on a desktop configured so, to prove the windows draw
// with their own designed fonts.
#include "config/frmChgPwd.h"
#include "exam/frmMode.h"
#include "signin/frmLogin.h"
#include "signin/frmSignUp.h"
#include "startup/state.h"
#include "support/fixture.h"
#include "support/layout.h"

#include <QApplication>

using namespace plat;
using pemu_test::LayoutProblems;
using pemu_test::LayoutRules;

namespace {

class LayoutTest : public pemu_test::ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        desktopFont_ = QApplication::font();
        QApplication::setFont(QFont("DejaVu Sans", 11));
    }
    void TearDown() override {
        ProgramTest::TearDown();
        QApplication::setFont(desktopFont_);
    }
    static std::string joined(const std::vector<std::string>& v) {
        std::string s;
        for (const auto& line : v) s += "\n  " + line;
        return s;
    }
    void expectClean(Form& form, const std::string& state, const LayoutRules& rules = {}) {
        const auto problems = LayoutProblems(form.Window(), rules);
        EXPECT_TRUE(problems.empty()) << form.Name().toStdString() << " (" << state << "):" << joined(problems);
    }

private:
    QFont desktopFont_;
};

}  // namespace

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
