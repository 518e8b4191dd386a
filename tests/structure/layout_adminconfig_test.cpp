// The exam configuration window laid out as the administrator sees it, with the
// desktop font set large to prove it draws in its own designed font.
#include "config/frmAdminConfig.h"
#include "startup/state.h"
#include "support/fixture.h"
#include "support/layout.h"

using namespace plat;

namespace {

class AdminConfigLayoutTest : public pemu_test::LayoutTest {
protected:
    void expectClean(const std::string& state) { LayoutTest::expectClean(frmAdminConfig, state); }
};

}  // namespace

TEST_F(AdminConfigLayoutTest, StoredAndFactoryValues) {
    gcnExam->Execute("UPDATE AdminConfig SET Etype = 'A', LearnMode = 0, ExamMode = 0, Exams = 12345, "
                     "ExamName = 'An exam name far longer than the box that shows it, read by scrolling'");
    frmAdminConfig.Show();
    expectClean("stored");
    Click(frmAdminConfig.cmdDefault());
    expectClean("factory values");
}
