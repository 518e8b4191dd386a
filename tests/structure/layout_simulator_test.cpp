// The simulator window laid out as a candidate sees it, in each of its states,
// with the desktop font set large to prove it draws in its own designed fonts:
// the guide shows whole without scrolling, captions fit, nothing overlaps.
#include "exam/frmExam.h"
#include "exam/frmExhibit.h"
#include "simulator/frmSimulator.h"
#include "startup/state.h"
#include "support/fixture.h"
#include "support/layout.h"

#include <QTest>

using namespace plat;

namespace {

class SimulatorLayoutTest : public pemu_test::LayoutTest {
protected:
    void expectClean(Form& form, const std::string& state) {
        LayoutTest::expectClean(form, state, {{}, {"Guidetxt"}});
    }
};

}  // namespace

TEST_F(SimulatorLayoutTest, FreshTypedShowAnswerSavedResultAndTheExhibitOverIt) {
    // The bank's longest question text, and a lab with an exhibit.
    gintCurQId = static_cast<int16_t>(
        gcnExam->Scalar("SELECT QId FROM Questions WHERE QType = 'SIM' ORDER BY length(QName) DESC").toInt());
    frmSimulator.Show();
    expectClean(frmSimulator, "fresh console");
    QPlainTextEdit* console = frmSimulator.txtSimCon();
    for (int i = 0; i < 40; ++i) QTest::keyClick(console, Qt::Key_Return);
    frmSimulator.ShowTime("01:29:59");
    expectClean(frmSimulator, "a long console, the time shown");
    frmSimulator.Unload();

    frmExam.mblnFromShAns = true;
    frmSimulator.Show();
    expectClean(frmSimulator, "show answer");
    frmSimulator.Unload();

    gblnFromResults = true;
    frmSimulator.Show();
    expectClean(frmSimulator, "a saved result");
    frmSimulator.Unload();
    gblnFromResults = false;

    gintCurQId = 35;
    frmSimulator.Show();
    frmExhibit.Load();
    frmExhibit.HideTime();
    frmExhibit.Show();
    expectClean(frmExhibit, "opened from the simulator, its time hidden");
}
