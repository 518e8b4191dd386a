// The grade report laid out as the candidate sees it: a pass with a short
// grid, a fail with a grid of every category, a report without a pass mark,
// and a reopened result. The ruler's three lines show without scrolling.
#include "results/frmGrade.h"
#include "startup/state.h"
#include "support/fixture.h"
#include "support/layout.h"

using namespace plat;

namespace {

class GradeLayoutTest : public pemu_test::LayoutTest {
protected:
    void SetUp() override {
        LayoutTest::SetUp();
        gstrCandName = "Annabel Montgomery-Fairweather";
        gstrExamName = "Network Associate Practice Exam";
        gvarExamDate = QDate(2026, 12, 27);
        gvarExamTime = QTime(23, 59, 59);
    }
    // One "S" question of each of the first `categories` categories, answered
    // correctly when `right`.
    void run(int categories, bool right) {
        gcnExam->Execute("DELETE * from QuestIds");
        gcnExam->Execute("DELETE * from AnsSelected");
        gcnExam->Execute("INSERT INTO QuestIds (Index,QId) SELECT CatInd, min(QId) FROM Questions where QType = 'S' "
                         "and CatInd <= ? GROUP BY CatInd",
                         {categories});
        gcnExam->Execute(std::string("INSERT INTO AnsSelected (QId,Answer) SELECT QId, min(Index) FROM Answers "
                                     "where CorrectAns = ") +
                         (right ? "1" : "0") + " and QId in (SELECT QId FROM QuestIds) GROUP BY QId");
    }
    void expectClean(const std::string& state) { LayoutTest::expectClean(frmGrade, state, {{}, {"rtfScale"}}); }
};

}  // namespace

TEST_F(GradeLayoutTest, PassFailWithoutAPassMarkAndReopened) {
    run(2, true);
    frmGrade.Show();
    expectClean("a pass, two categories");
    frmGrade.Unload();

    run(10, false);
    gblnExamMode = true;
    gintExamLimit = 10;
    frmGrade.Show();
    expectClean("a fail, every category");
    frmGrade.Unload();

    gcnExam->Execute("DELETE * from AdminConfig");
    boxes.clear();
    frmGrade.Show();
    EXPECT_EQ(boxes.size(), 1u);
    expectClean("no pass mark");
    frmGrade.Unload();

    gblnFromResults = true;
    frmGrade.ShowSavedResult({650, 700, 1000, 65, "Fail"});
    expectClean("a reopened result");
}
