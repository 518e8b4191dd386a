// The drag-and-drop window on the shipped bank's questions, driven with the
// mouse: options dragged onto slots, the rows scrolled, and the answer stored
// when the window closes, by its button or by the exam's time running out.
#include "exam/frmDrag.h"
#include "exam/frmExam.h"
#include "exam_fixture.h"
#include "results/frmGrade.h"
#include "startup/state.h"

#include <QTest>

#include <algorithm>
#include <chrono>

using namespace plat;
using namespace std::chrono_literals;

namespace {

class DragWindowTest : public exam_test::ExamTest {
protected:
    void SetUp() override {
        ExamTest::SetUp();
        q = ofType("D").front();
        Recordset rs = gcnExam->OpenRecordset("SELECT Index FROM DragNDrop WHERE QId = ? ORDER BY Index", {q});
        for (; !rs.Eof(); rs.MoveNext()) idx.push_back(rs.Fields(0).toInt());
        ASSERT_GE(idx.size(), 3u);
    }
    // AnsSel, AnsRand of each row.
    std::vector<std::pair<long long, long long>> stored() {
        std::vector<std::pair<long long, long long>> v;
        Recordset rs = gcnExam->OpenRecordset("SELECT AnsSel,AnsRand FROM DragNDrop WHERE QId = ? ORDER BY Index", {q});
        for (; !rs.Eof(); rs.MoveNext()) v.emplace_back(rs.Fields(0).toInt(), rs.Fields(1).toInt());
        return v;
    }
    QString answerOf(long long index) {
        return QString::fromStdString(gcnExam->Scalar("SELECT Answer FROM DragNDrop WHERE Index = ?", {index}).toString());
    }
    void open(long long qid) {
        gintCurQId = static_cast<int16_t>(qid);
        frmDrag.Show();
    }
    QWidget* body() { return frmDrag.Window()->centralWidget(); }
    QString slotText(int n) { return frmDrag.lblAnswer()(n)->text(); }
    std::vector<QString> optionTexts() {
        std::vector<QString> v;
        for (int n = 1; n <= frmDrag.lblOption().UBound(); ++n) v.push_back(frmDrag.lblOption()(n)->text());
        return v;
    }
    // Option n gripped 5 pixels in, dragged, and let go with its outline's
    // top-left corner at `corner` of slot `slot`.
    void dropOnSlot(int n, int slot, QPoint corner = QPoint(6, 6)) {
        OptionLabel* o = frmDrag.lblOption()(n);
        QTest::mousePress(o, Qt::LeftButton, {}, QPoint(5, 5));
        const QPoint at = o->mapFrom(body(), frmDrag.lblAnswer()(slot)->mapTo(body(), corner + QPoint(5, 5)));
        QTest::mouseMove(o, at);
        QTest::mouseRelease(o, Qt::LeftButton, {}, at);
    }
    void holdAt(int n, QPoint bodyPoint) {
        OptionLabel* o = frmDrag.lblOption()(n);
        QTest::mouseMove(o, o->mapFrom(body(), bodyPoint));
    }
    long long q = 0;
    std::vector<long long> idx;
};

}  // namespace

TEST_F(DragWindowTest, TheOrderDrawnAndTheDropsMadeComeBackAtEveryOpening) {
    open(q);
    EXPECT_EQ(frmDrag.Caption(), " Drag and Drop");
    EXPECT_EQ(frmDrag.lblQId()->text(), QString::number(q));
    ASSERT_EQ(frmDrag.lblOption().UBound(), static_cast<int>(idx.size()));
    const std::vector<QString> order = optionTexts();
    Click(frmDrag.cmdClose());
    // No drop, and each row's option stored, every option once.
    std::vector<long long> shown;
    for (size_t i = 0; i < idx.size(); ++i) {
        EXPECT_EQ(stored()[i].first, 0);
        shown.push_back(stored()[i].second);
        EXPECT_EQ(answerOf(shown.back()), order[i]);
    }
    std::sort(shown.begin(), shown.end());
    EXPECT_EQ(shown, idx);

    open(q);
    EXPECT_EQ(optionTexts(), order);
    dropOnSlot(1, 2);
    EXPECT_EQ(stored()[1].first, 0) << "a drop is stored when the window closes";
    Click(frmDrag.cmdClose());
    EXPECT_EQ(stored()[1].first, stored()[0].second);

    // Opening writes nothing: the stored answer survives a crash while the
    // window is open.
    const auto before = stored();
    open(q);
    EXPECT_EQ(stored(), before);
    EXPECT_EQ(optionTexts(), order);
    EXPECT_EQ(slotText(2), order[0]);
    EXPECT_TRUE(slotText(1).isEmpty());
}

// The outline may touch the slot's edges; one pixel further out it is ignored
// and the slot keeps what it showed; a later drop replaces its text.
TEST_F(DragWindowTest, ADropCountsOnlyWithTheOutlineWhollyInsideTheSlot) {
    open(q);
    QLabel* option = frmDrag.lblOption()(2);
    const int spare = frmDrag.lblAnswer()(1)->width() - option->width();
    ASSERT_EQ(spare, 13);  // 200 twips
    ASSERT_EQ(frmDrag.lblAnswer()(1)->height() - option->height(), 13);
    for (QPoint outside : {QPoint(-1, 0), QPoint(0, spare + 1)}) dropOnSlot(2, 1, outside);
    EXPECT_TRUE(slotText(1).isEmpty());
    dropOnSlot(2, 1, QPoint(spare, spare));
    EXPECT_EQ(slotText(1), option->text());
    dropOnSlot(3, 1, QPoint(spare + 1, 0));
    EXPECT_EQ(slotText(1), option->text());
    dropOnSlot(3, 1, QPoint(0, 0));
    EXPECT_EQ(slotText(1), frmDrag.lblOption()(3)->text());
    EXPECT_EQ(frmDrag.lblOption()(2)->text(), option->text()) << "an option stays in its column";
}

TEST_F(DragWindowTest, OneOptionOnTwoSlotsIsStoredInBothRowsAndShowsAsStored) {
    // Ampersands and angle brackets are text, never an access key or markup.
    const QString odd = QStringLiteral("R&D <b>core</b> && more");
    gcnExam->Execute("UPDATE DragNDrop SET Answer = ? WHERE Index = ?", {odd.toStdString(), idx[0]});
    open(q);
    const std::vector<QString> order = optionTexts();
    const int n = static_cast<int>(std::find(order.begin(), order.end(), odd) - order.begin()) + 1;
    ASSERT_LE(n, static_cast<int>(order.size()));
    EXPECT_EQ(frmDrag.lblOption()(n)->textFormat(), Qt::PlainText);
    dropOnSlot(n, 1);
    dropOnSlot(n, 3);
    frmDrag.cmdClose_Click();
    EXPECT_EQ(stored()[0].first, idx[0]);
    EXPECT_EQ(stored()[1].first, 0);
    EXPECT_EQ(stored()[2].first, idx[0]);
    open(q);
    EXPECT_EQ(slotText(1), odd);
    EXPECT_EQ(slotText(3), odd);
    EXPECT_EQ(frmDrag.lblAnswer()(3)->textFormat(), Qt::PlainText);
}

// A stored drop or option that names a row of another question (a damaged
// table, an answer restored from elsewhere) is neither shown nor kept: the
// slot opens empty, the options are the question's own, and closing stores
// the question's own rows only and touches no row of the other question.
TEST_F(DragWindowTest, ADropNamingARowOfAnotherQuestionIsNeitherShownNorKept) {
    const std::vector<long long> two = ofType("D", 2);
    ASSERT_EQ(two.size(), 2u);
    const long long other = two[0] == q ? two[1] : two[0];
    std::vector<long long> otherIdx;
    for (Recordset rs = gcnExam->OpenRecordset("SELECT Index FROM DragNDrop WHERE QId = ? ORDER BY Index", {other});
         !rs.Eof(); rs.MoveNext())
        otherIdx.push_back(rs.Fields(0).toInt());
    ASSERT_GE(otherIdx.size(), 2u);
    // Row 1 holds the other question's first answer, row 2 its own; the order
    // beside the rows is half the other question's.
    gcnExam->Execute("UPDATE DragNDrop SET AnsSel = ?, AnsRand = ? WHERE Index = ?", {otherIdx[0], otherIdx[0], idx[0]});
    gcnExam->Execute("UPDATE DragNDrop SET AnsSel = ?, AnsRand = ? WHERE Index = ?", {idx[1], otherIdx[1], idx[1]});
    auto otherRows = [&] {
        std::vector<std::string> v;
        for (Recordset rs = gcnExam->OpenRecordset("SELECT Index,AnsSel,AnsRand FROM DragNDrop WHERE QId = ? ORDER BY Index",
                                                   {other});
             !rs.Eof(); rs.MoveNext())
            v.push_back(rs.Fields(0).toString() + "," + rs.Fields(1).toString() + "," + rs.Fields(2).toString());
        return v;
    };
    const auto otherBefore = otherRows();

    open(q);
    ASSERT_EQ(frmDrag.lblAnswer().UBound(), static_cast<int>(idx.size()));
    EXPECT_TRUE(slotText(1).isEmpty()) << slotText(1).toStdString();
    EXPECT_EQ(slotText(2).toStdString(), answerOf(idx[1]).toStdString());
    std::vector<QString> own, shown = optionTexts();
    for (long long i : idx) own.push_back(answerOf(i));
    std::sort(own.begin(), own.end());
    std::sort(shown.begin(), shown.end());
    EXPECT_EQ(shown, own) << "the options are the question's own answers, each once";
    frmDrag.cmdClose_Click();

    const auto after = stored();
    ASSERT_EQ(after.size(), idx.size());
    EXPECT_EQ(after[0].first, 0) << "the other question's row is not kept as a drop";
    EXPECT_EQ(after[1].first, idx[1]);
    std::vector<long long> order;
    for (const auto& [sel, rand] : after) order.push_back(rand);
    std::sort(order.begin(), order.end());
    EXPECT_EQ(order, idx) << "the order beside the rows is the question's own rows";
    EXPECT_EQ(otherRows(), otherBefore);
}

TEST_F(DragWindowTest, ShowAnswerAndAReopenedResultAreReadOnlyAndShowAnswerStoresNothing) {
    startRun({{q}}, Mode::Learn);
    ASSERT_TRUE(WhileModal(frmDrag, [&] { Click(frmExam.cmdShowAns()); }, [&] {
        for (size_t n = 1; n <= idx.size(); ++n) EXPECT_EQ(slotText(n), answerOf(idx[n - 1]));
        EXPECT_FALSE(frmDrag.lblOption()(1)->isEnabled());
        dropOnSlot(1, 2);
        EXPECT_EQ(slotText(2), answerOf(idx[1]));
        Click(frmDrag.cmdClose());
    }));
    EXPECT_FALSE(frmExam.mblnFromShAns);
    for (auto s : stored()) EXPECT_EQ(s, std::make_pair(0LL, 0LL));

    ASSERT_TRUE(WhileModal(frmDrag, [&] { Click(frmExam.cmdDND()); }, [&] {
        EXPECT_TRUE(frmDrag.lblOption()(1)->isEnabled());
        dropOnSlot(1, 1);
        Click(frmDrag.cmdClose());
    }));
    const auto answered = stored();
    ASSERT_NE(answered[0].first, 0);
    ASSERT_TRUE(WhileModal(frmDrag, [&] { Click(frmExam.cmdShowAns()); }, [&] { Click(frmDrag.cmdClose()); }));
    EXPECT_EQ(stored(), answered);
    frmExam.Unload();

    // A reopened result shows the stored drops, takes none and writes them back.
    gcnExam->Execute("UPDATE DragNDrop SET AnsSel = ? WHERE Index = ?", {idx[0], idx[1]});
    const auto restored = stored();
    gblnFromResults = true;
    open(q);
    EXPECT_EQ(slotText(1), answerOf(answered[0].first));
    EXPECT_EQ(slotText(2), answerOf(idx[0]));
    EXPECT_FALSE(frmDrag.lblOption()(3)->isEnabled());
    dropOnSlot(3, 3);
    EXPECT_TRUE(slotText(3).isEmpty());
    frmDrag.cmdClose_Click();
    EXPECT_EQ(stored(), restored);
}

TEST_F(DragWindowTest, TimeRunningOutWithTheWindowOpenStoresTheDropsMade) {
    startRun({{q}}, Mode::Linear);
    QString dropped;
    ASSERT_TRUE(WhileModal(frmDrag, [&] { Click(frmExam.cmdDND()); }, [&] {
        dropOnSlot(2, 1);
        dropped = slotText(1);
        advance(90min);
        frmExam.tmrExamTime_Timer();
    }));
    Settle();
    EXPECT_FALSE(frmDrag.IsLoaded());
    EXPECT_FALSE(frmExam.IsLoaded());
    EXPECT_EQ(answerOf(stored()[0].first), dropped);
}

// In an adaptive run the drops stored as the time runs out are judged with the
// rest of the run: the grade report counts the question as answered right.
TEST_F(DragWindowTest, TimeUpInAnAdaptiveRunGradesTheDropsTheWindowStoresOnClosing) {
    gcnExam->Execute("UPDATE AdminConfig SET MaxScore = 100, PassPercentage = 50 where Index = 1");
    startRun({{q, "B"}}, Mode::Adaptive);
    gintExamLimit = 1;
    ASSERT_EQ(gintCurQId, q);
    ASSERT_TRUE(WhileModal(frmDrag, [&] { Click(frmExam.cmdDND()); }, [&] {
        // Every slot gets its own row's answer.
        const std::vector<QString> order = optionTexts();
        ASSERT_EQ(order.size(), idx.size());
        for (size_t slot = 1; slot <= idx.size(); ++slot) {
            const auto n = std::find(order.begin(), order.end(), answerOf(idx[slot - 1])) - order.begin() + 1;
            ASSERT_LE(n, static_cast<long>(order.size()));
            dropOnSlot(static_cast<int>(n), static_cast<int>(slot));
        }
        advance(90min);
        frmExam.tmrExamTime_Timer();
    }));
    Settle();
    const auto drops = stored();
    ASSERT_EQ(drops.size(), idx.size());
    for (size_t i = 0; i < idx.size(); ++i) EXPECT_EQ(drops[i].first, idx[i]) << "row " << i + 1;
    ASSERT_TRUE(frmGrade.Visible());
    EXPECT_EQ(gintAdapScore, 1);
    EXPECT_EQ(frmGrade.lblScoreObt()->text().toStdString(), "Score Obtained : 1000");
    EXPECT_EQ(frmGrade.lblResultDsip()->text().toStdString(), "PASS");
}

TEST_F(DragWindowTest, DraggingPastTheRowAreaScrollsTheRowsWithinTheirRange) {
    // A question whose rows overflow the row area.
    for (long long t : ofType("D", 20)) {
        open(t);
        if (frmDrag.vsbQuestion()->isVisible()) break;
        frmDrag.Unload();
    }
    ASSERT_TRUE(frmDrag.IsLoaded()) << "no question of the bank overflows the row area";
    QScrollBar* bar = frmDrag.vsbQuestion();
    const int n = frmDrag.lblOption().UBound();
    QLabel* first = frmDrag.lblQuestion()(1);
    // The end of the range puts the last row's bottom on the area's bottom.
    bar->setValue(bar->maximum());
    QLabel* last = frmDrag.lblQuestion()(n);
    EXPECT_NEAR(last->geometry().bottom() + 1, last->parentWidget()->height(), 1);

    // Gripping an option brings the rows back to the top before the drag goes on.
    OptionLabel* o = frmDrag.lblOption()(1);
    bar->setValue(200);
    EXPECT_EQ(first->y(), Px(240 - 200));
    QTest::mousePress(o, Qt::LeftButton, {}, QPoint(5, 5));
    holdAt(1, o->mapTo(body(), QPoint(9, 9)));
    EXPECT_EQ(first->y(), Px(240));

    // Below the row area the rows scroll down 40 twips a tick, never past the end.
    const QRect fra = frmDrag.fraDragNDrop()->geometry();
    holdAt(1, QPoint(2, fra.bottom() + 3));
    QTimer* timer = frmDrag.Timer1();
    for (int ticks = 0; timer->isActive() && ticks < 10000; ++ticks) {
        frmDrag.Timer1_Timer();
        EXPECT_LE(bar->value(), bar->maximum());
    }
    EXPECT_GT(bar->value(), bar->maximum() - 40);
    EXPECT_EQ(first->y(), Px(240 - bar->value()));
    // Back over a row it stops; above the area it scrolls up; letting go
    // ends it, even outside the window.
    holdAt(1, last->mapTo(body(), QPoint(5, 5)));
    EXPECT_FALSE(timer->isActive());
    const int before = bar->value();
    holdAt(1, QPoint(2, fra.top() - 3));
    frmDrag.Timer1_Timer();
    EXPECT_EQ(bar->value(), before - 40);
    const QPoint outside(-20, fra.top() - 3);
    holdAt(1, outside);
    EXPECT_TRUE(timer->isActive());
    QTest::mouseRelease(o, Qt::LeftButton, {}, o->mapFrom(body(), outside));
    EXPECT_FALSE(timer->isActive());

    // A drop lands on the slot that is under the pointer after scrolling.
    OptionLabel* lastOption = frmDrag.lblOption()(n);
    QTest::mousePress(lastOption, Qt::LeftButton, {}, QPoint(5, 5));
    holdAt(n, lastOption->mapTo(body(), QPoint(9, 9)));
    bar->setValue(bar->maximum());
    const QPoint at = frmDrag.lblAnswer()(n)->mapTo(body(), QPoint(8, 8));
    holdAt(n, at);
    QTest::mouseRelease(lastOption, Qt::LeftButton, {}, lastOption->mapFrom(body(), at));
    EXPECT_EQ(slotText(n), lastOption->text());
}
