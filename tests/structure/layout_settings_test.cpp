// The learn-mode set-up window laid out as a candidate sees it, at a large
// desktop font: captions fit, boxes are tall enough, the grid lies in its frame,
// every category name shows whole and every cell's list fits its row.
#include "exam/FrmSettings.h"
#include "startup/state.h"
#include "support/fixture.h"
#include "support/layout.h"

#include <QFontMetrics>
#include <QScrollBar>
#include <QStyle>

using namespace plat;

namespace {

class SettingsLayoutTest : public pemu_test::LayoutTest {
protected:
    void expectClean(const std::string& state) {
        LayoutTest::expectClean(FrmSettings, state);
        QTableWidget* g = FrmSettings.msgCustom();
        const QFontMetrics fm(g->font());
        // A cell's text keeps a margin on either side.
        const int margins = 2 * (g->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, g) + 1);
        for (int r = 1; r < g->rowCount(); ++r) {
            const QString name = g->item(r, 1)->text();
            EXPECT_LE(fm.horizontalAdvance(name) + margins, g->columnWidth(1)) << state << ": \"" << name.toStdString()
                                                                      << "\" is cut";
            for (int c = 2; c <= 4; ++c) {
                QWidget* cell = g->cellWidget(r, c);
                ASSERT_NE(cell, nullptr);
                EXPECT_LE(cell->minimumSizeHint().height(), g->rowHeight(r)) << state << ": row " << r;
                EXPECT_LE(cell->minimumSizeHint().width(), g->columnWidth(c)) << state << ": row " << r;
            }
        }
        // Either every row shows, or the grid scrolls to the last one.
        int rows = 0;
        for (int r = 0; r < g->rowCount(); ++r) rows += g->rowHeight(r);
        if (rows > g->viewport()->height()) {
            EXPECT_TRUE(g->verticalScrollBar()->isVisibleTo(FrmSettings.Window())) << state;
        }
        EXPECT_FALSE(g->horizontalScrollBar()->isVisibleTo(FrmSettings.Window())) << state;
    }
};

}  // namespace

TEST_F(SettingsLayoutTest, TheShippedBankForEachSource) {
    FrmSettings.Show();
    expectClean("all questions");
    Click(FrmSettings.optBookMark());
    expectClean("bookmarks");
    Click(FrmSettings.optCustom());
    expectClean("custom");
    // Every category of the shipped bank shows at once.
    EXPECT_FALSE(FrmSettings.msgCustom()->verticalScrollBar()->isVisibleTo(FrmSettings.Window()));
}

TEST_F(SettingsLayoutTest, ManyCategoriesWithLongNames) {
    for (int c = 11; c <= 30; ++c) {
        gcnExam->Execute("INSERT INTO Categories (Index, CatName) VALUES (?, ?)",
                         {c, "Category " + std::to_string(c) + " with a rather long name"});
        for (int q = 0; q < 3; ++q)
            gcnExam->Execute("INSERT INTO Questions (QId,QName,DiffLevel,QType,CatInd,ExhibitPath,Expln) "
                             "VALUES (?, 'x', ?, 'S', ?, 'NA', 'NA')",
                             {10000 + 10 * c + q, q == 0 ? "B" : q == 1 ? "I" : "E", c});
    }
    FrmSettings.Show();
    Click(FrmSettings.optCustom());
    expectClean("thirty categories");
}
