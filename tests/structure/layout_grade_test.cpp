// The grade report laid out as the candidate sees it: a pass with a short
// grid, a fail with a grid of every category, a report without a pass mark,
// and a reopened result. The ruler's three lines show without scrolling.
#include "results/frmGrade.h"
#include "startup/state.h"
#include "support/fixture.h"
#include "support/layout.h"

#include <QScrollBar>

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

// On paper the grid shows every category's row, unscrolled, with the frame
// grown around it and the chart and buttons moved down clear of it; the
// window on screen keeps its frame and its scrolled grid.
TEST_F(GradeLayoutTest, ThePrintoutShowsEveryCategoryAndTheWindowKeepsItsFrame) {
    run(10, false);
    frmGrade.Show();
    QTableWidget* g = frmGrade.msgReview();
    ASSERT_EQ(g->rowCount(), 10);
    QScrollBar* bar = g->verticalScrollBar();
    ASSERT_GT(bar->maximum(), 0) << "the frame on screen holds fewer rows than the bank has categories";
    bar->setValue(bar->maximum());
    QWidget* body = frmGrade.Window()->centralWidget();
    // The report's own controls, not the insides Qt lays out as it draws.
    std::vector<QWidget*> children;
    std::vector<QRect> onScreen;
    for (QWidget* w : body->findChildren<QWidget*>())
        if (!w->objectName().isEmpty() && !w->objectName().startsWith("qt_")) {
            children.push_back(w);
            onScreen.push_back(w->geometry());
        }
    const QSize bodyOnScreen = body->size();

    for (bool buttons : {false, true}) {
        const std::string state = buttons ? "printed with its buttons" : "printed without its buttons";
        TfrmGrade::PrintLayout paper(frmGrade, buttons);
        EXPECT_EQ(bar->value(), 0) << state;
        for (int r = 0; r < g->rowCount(); ++r)
            EXPECT_TRUE(g->viewport()->rect().contains(g->visualRect(g->model()->index(r, 1))))
                << state << ": row " << r + 1 << " is cut";
        EXPECT_EQ(frmGrade.Frame5()->isVisible(), buttons) << state;
        expectClean(state);

        // The image holds the last category's row as the grid draws it.
        const QImage image = paper.Image().convertToFormat(QImage::Format_RGB32);
        const QRect last = g->visualRect(g->model()->index(g->rowCount() - 1, 1));
        const QImage row = g->viewport()->grab(last).toImage().convertToFormat(QImage::Format_RGB32);
        const QPoint at = g->viewport()->mapTo(body, last.topLeft());
        EXPECT_EQ(image.copy(QRect(at, row.size())), row) << state;
        EXPECT_GE(image.height(), body->height()) << state;
    }

    EXPECT_EQ(body->size(), bodyOnScreen);
    for (size_t i = 0; i < children.size(); ++i)
        EXPECT_EQ(children[i]->geometry(), onScreen[i]) << children[i]->objectName().toStdString() << " not put back";
    EXPECT_EQ(bar->value(), bar->maximum());
    EXPECT_TRUE(frmGrade.Frame5()->isVisible());
    expectClean("back on screen after printing");
}
