// The drag-and-drop window as a candidate sees it: the rows of every
// drag-and-drop question of the bank, answering, over the correct matching
// and over a reopened result, and rows far longer than the area.
#include "exam/frmDrag.h"
#include "exam/frmExam.h"
#include "startup/state.h"
#include "support/fixture.h"
#include "support/layout.h"

using namespace plat;

namespace {

class DragLayoutTest : public pemu_test::LayoutTest {
protected:
    // The scroll bar lies on the frame's right edge, as designed.
    const pemu_test::LayoutRules rules{{{"vsbQuestion", "fraDragNDrop"}}, {}};
    void expectClean(const std::string& state) { LayoutTest::expectClean(frmDrag, state, rules); }
    std::vector<long long> dragQuestions() {
        std::vector<long long> v;
        Recordset rs = gcnExam->OpenRecordset("SELECT QId FROM Questions where QType = 'D' ORDER BY QId");
        for (; !rs.Eof(); rs.MoveNext()) v.push_back(rs.Fields(0).toInt());
        return v;
    }
    // A word wider than its label would be cut, whatever the label's height.
    void expectWordsFit(const std::string& state) {
        for (int n = 1; n <= frmDrag.lblOption().UBound(); ++n)
            for (QLabel* l : std::initializer_list<QLabel*>{frmDrag.lblQuestion()(n), frmDrag.lblAnswer()(n),
                              static_cast<QLabel*>(frmDrag.lblOption()(n))}) {
                const QFontMetrics fm(l->font());
                for (const QString& w : l->text().split(u' ', Qt::SkipEmptyParts))
                    EXPECT_LE(fm.horizontalAdvance(w), l->contentsRect().width() - 2 * l->margin())
                        << state << ": \"" << w.toStdString() << "\" is cut in " << l->objectName().toStdString();
            }
    }
    void open(long long q) {
        gintCurQId = static_cast<int16_t>(q);
        frmDrag.Show();
    }
};

}  // namespace

TEST_F(DragLayoutTest, EveryQuestionOfTheBankInEachMode) {
    const std::vector<long long> qs = dragQuestions();
    ASSERT_FALSE(qs.empty());
    for (long long q : qs) {
        open(q);
        expectClean("answering question " + std::to_string(q));
        expectWordsFit("question " + std::to_string(q));
        frmDrag.Unload();
        frmExam.mblnFromShAns = true;
        open(q);
        expectClean("correct matching of question " + std::to_string(q));
        frmDrag.Unload();
    }
    gcnExam->Execute("UPDATE DragNDrop SET AnsSel = Index WHERE QId = ?", {qs.front()});
    gblnFromResults = true;
    open(qs.front());
    frmDrag.ShowTime("01:29:59");
    expectClean("a reopened result");
}

TEST_F(DragLayoutTest, LongTextsAndManyRows) {
    const long long q = dragQuestions().front();
    const long long first = gcnExam->Scalar("SELECT min(Index) FROM DragNDrop WHERE QId = ?", {q}).toInt();
    gcnExam->Execute("UPDATE DragNDrop SET Question = 'Administratively prohibited destination unreachable', "
                     "Answer = 'Internationalisation' WHERE Index = ?",
                     {first});
    const long long top = gcnExam->Scalar("SELECT max(Index) FROM DragNDrop").toInt();
    for (int i = 1; i <= 10; ++i)
        gcnExam->Execute("INSERT INTO DragNDrop (Index,QId,Question,Answer) VALUES (?,?,?,?)",
                         {top + i, q, "Item " + std::to_string(i), "Option number " + std::to_string(i)});
    open(q);
    expectClean("long texts, many rows");
    expectWordsFit("long texts");
    frmDrag.vsbQuestion()->setValue(frmDrag.vsbQuestion()->maximum());
    expectClean("scrolled to the end");
}

// Rows stand at the designed typeface's line pitch: a four-row question of
// the bank (its longest option wraps to three lines) shows every row at once;
// a six-row one whose narrowest option wraps to five lines shows two whole
// rows (at the stand-in's own pitch it showed less than two).
TEST_F(DragLayoutTest, AFourRowQuestionShowsEveryRowWithoutScrolling) {
    auto visibleRows = [] {
        QWidget* area = frmDrag.lblQuestion()(1)->parentWidget();
        int n = 0;
        for (int r = 1; r <= frmDrag.lblQuestion().UBound(); ++r)
            if (area->rect().contains(frmDrag.lblAnswer()(r)->geometry())) ++n;
        return n;
    };
    for (bool showAnswer : {false, true}) {
        frmExam.mblnFromShAns = showAnswer;
        open(14);
        ASSERT_EQ(frmDrag.lblQuestion().UBound(), 4);
        EXPECT_EQ(visibleRows(), 4) << (showAnswer ? "correct matching" : "answering");
        EXPECT_FALSE(frmDrag.vsbQuestion()->isVisibleTo(frmDrag.Window()));
        EXPECT_EQ(frmDrag.vsbQuestion()->maximum(), 0);
        frmDrag.Unload();
    }
    open(101);
    ASSERT_EQ(frmDrag.lblQuestion().UBound(), 6);
    EXPECT_GE(visibleRows(), 2);
    EXPECT_TRUE(frmDrag.vsbQuestion()->isVisibleTo(frmDrag.Window()));
}
