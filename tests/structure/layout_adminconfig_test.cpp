// The exam configuration window laid out as the administrator sees it, with the
// desktop font set large to prove it draws in its own designed font.
#include "config/frmAdminConfig.h"
#include "startup/state.h"
#include "support/fixture.h"
#include "support/layout.h"

#include <QApplication>

using namespace plat;

namespace {

class AdminConfigLayoutTest : public pemu_test::ProgramTest {
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
    void expectClean(const std::string& state) {
        std::string s;
        for (const auto& line : pemu_test::LayoutProblems(frmAdminConfig.Window())) s += "\n  " + line;
        EXPECT_TRUE(s.empty()) << "frmAdminConfig (" << state << "):" << s;
    }

private:
    QFont desktopFont_;
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
