// The drag-and-drop window on the shipped bank's questions, driven with the
// mouse as a candidate drives it: options dragged onto slots, the rows
// scrolled, and the answer stored when the window closes, by its button or by
// the exam's time running out.
#include "exam/frmDrag.h"
#include "exam/frmExam.h"
#include "exam_fixture.h"
#include "startup/state.h"

#include <QTest>

#include <algorithm>
#include <chrono>

using namespace plat;
using namespace std::chrono_literals;

namespace {

class DragWindowTest : public exam_test::ExamTest {
protected:
    struct Stored {
        long long index, ansSel, ansRand;
        bool operator==(const Stored&) const = default;
    };
    std::vector<Stored> stored(long long qid) {
        std::vector<Stored> v;
        Recordset rs = gcnExam->OpenRecordset(
            "SELECT Index,AnsSel,AnsRand FROM DragNDrop WHERE QId = ? ORDER BY Index", {qid});
        for (; !rs.Eof(); rs.MoveNext()) v.push_back({rs.Fields(0).toInt(), rs.Fields(1).toInt(), rs.Fields(2).toInt()});
        return v;
    }
    std::vector<long long> indices(long long qid) {
        std::vector<long long> v;
        for (const Stored& s : stored(qid)) v.push_back(s.index);
        return v;
    }
    QString answerOf(long long index) {
        return QString::fromStdString(
            gcnExam->Scalar("SELECT Answer FROM DragNDrop WHERE Index = ?", {index}).toString());
    }
    // The window opened for a question, as the exam window opens it but modeless.
    void open(long long qid) {
        gintCurQId = static_cast<int16_t>(qid);
        frmDrag.Show();
    }
    int rows() { return frmDrag.lblOption().UBound(); }
    QWidget* body() { return frmDrag.Window()->centralWidget(); }
    QString slotText(int n) { return frmDrag.lblAnswer()(n)->text(); }
    std::vector<QString> optionTexts() {
        std::vector<QString> v;
        for (int n = 1; n <= rows(); ++n) v.push_back(frmDrag.lblOption()(n)->text());
        return v;
    }

    // Grips option n at `grip`, drags it and lets go with its outline's
    // top-left corner at `corner` of the `target` widget.
    void drag(int n, QWidget* target, QPoint corner, QPoint grip = QPoint(5, 5)) {
        OptionLabel* o = frmDrag.lblOption()(n);
        QTest::mousePress(o, Qt::LeftButton, {}, grip);
        const QPoint at = o->mapFrom(body(), target->mapTo(body(), corner + grip));
        QTest::mouseMove(o, at);
        QTest::mouseRelease(o, Qt::LeftButton, {}, at);
    }
    void dropOnSlot(int option, int slot, QPoint corner = QPoint(6, 6)) {
        drag(option, frmDrag.lblAnswer()(slot), corner);
    }
    // The pointer held over a point of the window while option n is gripped.
    void holdAt(int n, QPoint bodyPoint) {
        OptionLabel* o = frmDrag.lblOption()(n);
        QTest::mouseMove(o, o->mapFrom(body(), bodyPoint));
    }
    QRect inBody(QWidget* w) { return QRect(w->mapTo(body(), QPoint(0, 0)), w->size()); }

    // A question whose rows overflow the row area.
    long long tallQuestion() {
        for (long long q : ofType("D", 20)) {
            open(q);
            const bool tall = frmDrag.vsbQuestion()->isVisible();
            frmDrag.Unload();
            if (tall) return q;
        }
        ADD_FAILURE() << "no drag-and-drop question of the bank overflows the row area";
        return 0;
    }
};

}  // namespace

TEST_F(DragWindowTest, FirstOpeningStoresItsOrderAndReopeningShowsOrderAndDropsAsLeft) {
    const long long q = ofType("D").front();
    const std::vector<long long> idx = indices(q);
    ASSERT_GE(idx.size(), 3u);
    open(q);
    EXPECT_EQ(frmDrag.Caption(), " Drag and Drop");
    EXPECT_EQ(frmDrag.lblQId()->text(), QString::number(q));
    ASSERT_EQ(rows(), static_cast<int>(idx.size()));
    for (int n = 1; n <= rows(); ++n) {
        EXPECT_EQ(frmDrag.lblQuestion()(n)->text().toStdString(),
                  gcnExam->Scalar("SELECT Question FROM DragNDrop WHERE Index = ?", {idx[n - 1]}).toString());
        EXPECT_TRUE(frmDrag.lblOption()(n)->isEnabled());
        EXPECT_TRUE(slotText(n).isEmpty());
    }
    const std::vector<QString> order = optionTexts();
    Click(frmDrag.cmdClose());
    EXPECT_FALSE(frmDrag.IsLoaded());

    // Stored: no drop, and the order shown, one option per row.
    std::vector<long long> shown;
    for (const Stored& s : stored(q)) {
        EXPECT_EQ(s.ansSel, 0);
        shown.push_back(s.ansRand);
    }
    for (size_t i = 0; i < shown.size(); ++i) EXPECT_EQ(answerOf(shown[i]), order[i]);
    std::sort(shown.begin(), shown.end());
    EXPECT_EQ(shown, idx);

    open(q);
    EXPECT_EQ(optionTexts(), order);
    dropOnSlot(1, 2);
    EXPECT_EQ(slotText(2), order[0]);
    Click(frmDrag.cmdClose());
    EXPECT_EQ(stored(q)[1].ansSel, stored(q)[0].ansRand);

    open(q);
    EXPECT_EQ(optionTexts(), order);
    EXPECT_EQ(slotText(2), order[0]);
    EXPECT_TRUE(slotText(1).isEmpty());
}

// The outline may touch the slot's edges; one pixel further out it is ignored
// and the slot keeps what it showed.
TEST_F(DragWindowTest, ADropCountsOnlyWithTheOutlineWhollyInsideTheSlot) {
    const long long q = ofType("D").front();
    open(q);
    QLabel* slot = frmDrag.lblAnswer()(1);
    QLabel* option = frmDrag.lblOption()(2);
    const int spareX = slot->width() - option->width();
    const int spareY = slot->height() - option->height();
    ASSERT_EQ(spareX, 13);  // 200 twips
    ASSERT_EQ(spareY, 13);
    for (QPoint outside : {QPoint(-1, 0), QPoint(0, -1), QPoint(spareX + 1, 0), QPoint(0, spareY + 1)}) {
        dropOnSlot(2, 1, outside);
        EXPECT_TRUE(slotText(1).isEmpty()) << outside.x() << "," << outside.y();
    }
    for (QPoint edge : {QPoint(0, 0), QPoint(spareX, spareY), QPoint(0, spareY), QPoint(spareX, 0)}) {
        slot->clear();
        dropOnSlot(2, 1, edge);
        EXPECT_EQ(slotText(1), option->text()) << edge.x() << "," << edge.y();
    }
    // A filled slot keeps its text when a drop misses it, and takes the next
    // option that lands.
    dropOnSlot(3, 1, QPoint(spareX + 1, 0));
    EXPECT_EQ(slotText(1), option->text());
    dropOnSlot(3, 1);
    EXPECT_EQ(slotText(1), frmDrag.lblOption()(3)->text());
    // Dropped beside the slots (on an item, the background) nothing changes.
    drag(1, frmDrag.lblQuestion()(1), QPoint(2, 2));
    drag(1, body(), QPoint(2, 2));
    EXPECT_EQ(slotText(1), frmDrag.lblOption()(3)->text());
    EXPECT_EQ(frmDrag.lblOption()(2)->text(), option->text()) << "an option stays in its column";
    EXPECT_FALSE(body()->findChild<QWidget*>("dragOutline")->isVisible());
}

TEST_F(DragWindowTest, OneOptionOnTwoSlotsRecordsItInBothRowsAndTheTextsShowAsStored) {
    const long long q = ofType("D").front();
    const std::vector<long long> idx = indices(q);
    // Ampersands and angle brackets are text, never an access key or markup.
    const QString odd = QStringLiteral("R&D <b>core</b> && more");
    gcnExam->Execute("UPDATE DragNDrop SET Answer = ? WHERE Index = ?", {odd.toStdString(), idx[0]});
    gcnExam->Execute("UPDATE DragNDrop SET Question = 'Q&A <i>' WHERE Index = ?", {idx[1]});
    open(q);
    int oddRow = 0;
    for (int n = 1; n <= rows(); ++n)
        if (frmDrag.lblOption()(n)->text() == odd) oddRow = n;
    ASSERT_GT(oddRow, 0);
    EXPECT_EQ(frmDrag.lblQuestion()(2)->text(), "Q&A <i>");
    for (QLabel* l : {static_cast<QLabel*>(frmDrag.lblOption()(oddRow)), frmDrag.lblQuestion()(2),
                      frmDrag.lblAnswer()(1)})
        EXPECT_EQ(l->textFormat(), Qt::PlainText);
    dropOnSlot(oddRow, 1);
    dropOnSlot(oddRow, 3);
    EXPECT_EQ(slotText(1), odd);
    EXPECT_EQ(slotText(3), odd);
    frmDrag.cmdClose_Click();
    const std::vector<Stored> s = stored(q);
    EXPECT_EQ(s[0].ansSel, idx[0]);
    EXPECT_EQ(s[2].ansSel, idx[0]);
    EXPECT_EQ(s[1].ansSel, 0);
    open(q);
    EXPECT_EQ(slotText(1), odd);
    EXPECT_EQ(slotText(3), odd);
}

// A crash or a failing statement while the window is open must not cost the
// answer stored before: opening writes nothing.
TEST_F(DragWindowTest, WhileTheWindowIsOpenTheStoredAnswerStaysAsItWas) {
    const long long q = ofType("D").front();
    open(q);
    dropOnSlot(1, 1);
    frmDrag.cmdClose_Click();
    const std::vector<Stored> before = stored(q);
    ASSERT_NE(before[0].ansSel, 0);
    open(q);
    EXPECT_EQ(stored(q), before);
    dropOnSlot(2, 2);
    EXPECT_EQ(stored(q), before) << "drops are stored when the window closes";
    frmDrag.Unload();
    EXPECT_NE(stored(q)[1].ansSel, 0);
    EXPECT_EQ(stored(q)[0].ansSel, before[0].ansSel);

    // A question without rows: an empty window that writes nothing.
    const long long s = ofType("S").front();
    open(s);
    EXPECT_EQ(rows(), 0);
    EXPECT_FALSE(frmDrag.vsbQuestion()->isVisible());
    frmDrag.cmdClose_Click();
    EXPECT_FALSE(frmDrag.IsLoaded());
}

TEST_F(DragWindowTest, ShowAnswerShowsTheMatchingReadOnlyAndStoresNothing) {
    const long long q = ofType("D").front();
    const std::vector<long long> idx = indices(q);
    startRun({{q}}, Mode::Learn);
    WhileModal(frmDrag, [&] { Click(frmExam.cmdShowAns()); }, [&] {
        for (int n = 1; n <= rows(); ++n) {
            EXPECT_EQ(slotText(n), answerOf(idx[n - 1]));
            EXPECT_FALSE(frmDrag.lblOption()(n)->isEnabled());
            EXPECT_FALSE(frmDrag.lblAnswer()(n)->isEnabled());
            EXPECT_FALSE(frmDrag.lblQuestion()(n)->isEnabled());
        }
        EXPECT_TRUE(frmDrag.cmdClose()->isEnabled());
        // Nothing can be dragged.
        dropOnSlot(1, 2);
        EXPECT_EQ(slotText(2), answerOf(idx[1]));
        EXPECT_FALSE(body()->findChild<QWidget*>("dragOutline")->isVisible());
        Click(frmDrag.cmdClose());
    });
    EXPECT_FALSE(frmExam.mblnFromShAns);
    for (const Stored& s : stored(q)) EXPECT_EQ(s, (Stored{s.index, 0, 0}));

    // Answering afterwards draws its own order, and Show Answer over it
    // leaves the drops stored.
    WhileModal(frmDrag, [&] { Click(frmExam.cmdDND()); }, [&] {
        dropOnSlot(1, 1);
        Click(frmDrag.cmdClose());
    });
    const std::vector<Stored> answered = stored(q);
    ASSERT_NE(answered[0].ansSel, 0);
    WhileModal(frmDrag, [&] { Click(frmExam.cmdShowAns()); }, [&] { Click(frmDrag.cmdClose()); });
    EXPECT_EQ(stored(q), answered);
}

TEST_F(DragWindowTest, AReopenedResultShowsTheStoredDropsReadOnly) {
    const long long q = ofType("D").front();
    const std::vector<long long> idx = indices(q);
    // As the saved-results list restores it: options in reverse order, the
    // first slot right, the second holding the first row's answer.
    for (size_t i = 0; i < idx.size(); ++i)
        gcnExam->Execute("UPDATE DragNDrop SET AnsRand = ?, AnsSel = ? WHERE Index = ?",
                         {idx[idx.size() - 1 - i], i == 0 || i == 1 ? idx[0] : 0, idx[i]});
    const std::vector<Stored> restored = stored(q);
    gblnFromResults = true;
    open(q);
    EXPECT_EQ(slotText(1), answerOf(idx[0]));
    EXPECT_EQ(slotText(2), answerOf(idx[0]));
    EXPECT_TRUE(slotText(3).isEmpty());
    EXPECT_EQ(frmDrag.lblOption()(1)->text(), answerOf(idx.back()));
    EXPECT_FALSE(frmDrag.lblOption()(1)->isEnabled());
    dropOnSlot(1, 3);
    EXPECT_TRUE(slotText(3).isEmpty());
    frmDrag.cmdClose_Click();
    EXPECT_EQ(stored(q), restored);
}

TEST_F(DragWindowTest, TimeRunningOutWithTheWindowOpenStoresTheDropsMade) {
    const long long q = ofType("D").front();
    startRun({{q}}, Mode::Linear);
    QString dropped;
    WhileModal(frmDrag, [&] { Click(frmExam.cmdDND()); }, [&] {
        dropOnSlot(2, 1);
        dropped = slotText(1);
        advance(90min);
        frmExam.tmrExamTime_Timer();
    });
    Settle();
    EXPECT_FALSE(frmDrag.IsLoaded());
    EXPECT_FALSE(frmExam.IsLoaded());
    const std::vector<Stored> s = stored(q);
    ASSERT_FALSE(s.empty());
    EXPECT_EQ(answerOf(s[0].ansSel), dropped);
    for (const Stored& r : s) EXPECT_NE(r.ansRand, 0);
}

TEST_F(DragWindowTest, DraggingPastTheRowAreaScrollsTheRowsWithinTheirRange) {
    const long long q = tallQuestion();
    if (!q) return;
    open(q);
    QScrollBar* bar = frmDrag.vsbQuestion();
    const int n = rows();
    // The end of the range puts the last row's bottom on the area's bottom.
    QLabel* last = frmDrag.lblQuestion()(n);
    QWidget* area = last->parentWidget();
    bar->setValue(bar->maximum());
    EXPECT_NEAR(last->geometry().bottom() + 1, area->height(), 1) << "within the pixel twips round to";
    EXPECT_GT(bar->maximum(), 0);

    // Gripping an option brings the rows back to the top before the drag goes on.
    QLabel* first = frmDrag.lblQuestion()(1);
    const int top0 = Px(240);
    OptionLabel* o = frmDrag.lblOption()(1);
    bar->setValue(200);
    EXPECT_EQ(first->y(), Px(240 - 200));
    QTest::mousePress(o, Qt::LeftButton, {}, QPoint(5, 5));
    holdAt(1, inBody(o).center());
    EXPECT_EQ(bar->value(), 0);
    EXPECT_EQ(first->y(), top0);

    // Below the row area, over the window's background: the rows scroll down
    // 40 twips a tick, up to the end of the range and no further.
    const QRect fra = inBody(frmDrag.fraDragNDrop());
    holdAt(1, QPoint(2, fra.bottom() + 3));
    QTimer* timer = frmDrag.Timer1();
    EXPECT_TRUE(timer->isActive());
    int ticks = 0;
    while (timer->isActive() && ticks < 10000) {
        frmDrag.Timer1_Timer();
        ++ticks;
        EXPECT_LE(bar->value(), bar->maximum());
    }
    EXPECT_GT(bar->value(), bar->maximum() - 40);
    EXPECT_EQ(first->y(), Px(240 - bar->value()));
    // Back over a row: the scrolling stops. Above the area: it scrolls up.
    holdAt(1, inBody(frmDrag.lblQuestion()(n)).center());
    EXPECT_FALSE(timer->isActive());
    const int before = bar->value();
    holdAt(1, QPoint(2, fra.top() - 3));
    EXPECT_TRUE(timer->isActive());
    frmDrag.Timer1_Timer();
    frmDrag.Timer1_Timer();
    EXPECT_EQ(bar->value(), before - 80);
    // Letting go ends the scrolling, wherever the option lands.
    QTest::mouseRelease(o, Qt::LeftButton, {}, o->mapFrom(body(), QPoint(2, fra.top() - 3)));
    EXPECT_FALSE(timer->isActive());

    // Dropped on a slot scrolled into view, the drop lands on that row.
    bar->setValue(bar->maximum());
    OptionLabel* lastOption = frmDrag.lblOption()(n);
    QTest::mousePress(lastOption, Qt::LeftButton, {}, QPoint(5, 5));
    holdAt(n, inBody(lastOption).center());  // the first move scrolls back to the top
    bar->setValue(bar->maximum());           // as the timer would bring it down again
    const QPoint at = inBody(frmDrag.lblAnswer()(n)).topLeft() + QPoint(8, 8);
    holdAt(n, at);
    QTest::mouseRelease(lastOption, Qt::LeftButton, {}, lastOption->mapFrom(body(), at));
    EXPECT_EQ(slotText(n), lastOption->text());
}
