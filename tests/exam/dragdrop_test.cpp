// The drag-and-drop rules that need no window: the option order, the answer
// written at closing, the drop rule at the slot's edges, the rows' layout and
// the automatic scrolling's bounds.
#include "exam/dragdrop.h"
#include "startup/state.h"
#include "support/fixture.h"

#include <algorithm>
#include <set>

using namespace plat;
using dragdrop::Row;
using dragdrop::Size;

namespace {

std::vector<Row> rowsOf(std::vector<int16_t> indices, std::vector<int16_t> ansRand = {}) {
    std::vector<Row> rows;
    for (size_t i = 0; i < indices.size(); ++i) {
        Row r;
        r.index = indices[i];
        r.answer = QString::number(indices[i]);
        r.ansRand = i < ansRand.size() ? ansRand[i] : 0;
        rows.push_back(r);
    }
    return rows;
}

std::vector<int16_t> sorted(std::vector<int16_t> v) {
    std::sort(v.begin(), v.end());
    return v;
}

}  // namespace

TEST(DragRules, AFreshOrderPlacesEachOfTheQuestionsOwnRowsOnceAcrossIndexGaps) {
    // Rows 5, 9, 10: a draw between the first and the last Index would reach
    // rows 6 to 8, which belong to other questions.
    const std::vector<Row> rows = rowsOf({5, 9, 10});
    std::set<std::vector<int16_t>> seen;
    for (unsigned seed = 0; seed < 200; ++seed) {
        std::mt19937 gen(seed);
        const std::vector<int16_t> order = dragdrop::OptionOrder(rows, gen);
        EXPECT_EQ(sorted(order), (std::vector<int16_t>{5, 9, 10}));
        seen.insert(order);
    }
    EXPECT_EQ(seen.size(), 6u) << "every order of three options comes up";
}

TEST(DragRules, AKeptOrderStaysAndABrokenOneIsDrawnAgain) {
    std::mt19937 gen(1);
    EXPECT_EQ(dragdrop::OptionOrder(rowsOf({3, 4, 5}, {5, 3, 4}), gen), (std::vector<int16_t>{5, 3, 4}));
    // Half drawn, naming another question's row, or one option twice: the
    // stored order cannot be shown, so a whole new one is drawn.
    for (const std::vector<int16_t>& broken :
         {std::vector<int16_t>{5, 0, 4}, std::vector<int16_t>{5, 3, 99}, std::vector<int16_t>{5, 5, 4}}) {
        const std::vector<int16_t> order = dragdrop::OptionOrder(rowsOf({3, 4, 5}, broken), gen);
        EXPECT_EQ(sorted(order), (std::vector<int16_t>{3, 4, 5}));
    }
    EXPECT_TRUE(dragdrop::OptionOrder({}, gen).empty());
}

TEST(DragRules, StoredDropsNamingNoRowOfTheQuestionShowEmpty) {
    std::vector<Row> rows = rowsOf({3, 4, 5});
    rows[0].ansSel = 4;
    rows[1].ansSel = 77;  // another question's row
    rows[2].ansSel = 4;
    EXPECT_EQ(dragdrop::StoredDrops(rows), (std::vector<int16_t>{4, 0, 4}));
}

// With the layout's slot 200 twips wider and taller than the option, the
// outline may lie anywhere from the slot's top-left corner to 200 twips off.
TEST(DragRules, ADropCountsWithTheOutlineOnEachEdgeAndNotOneTwipPast) {
    const Size option{825, 360};
    const Size slot{1025, 560};
    EXPECT_TRUE(dragdrop::DropFits(0, 0, option, slot));       // left and top edges
    EXPECT_TRUE(dragdrop::DropFits(200, 200, option, slot));   // right and bottom edges
    EXPECT_TRUE(dragdrop::DropFits(0, 200, option, slot));
    EXPECT_TRUE(dragdrop::DropFits(200, 0, option, slot));
    EXPECT_FALSE(dragdrop::DropFits(-1, 0, option, slot));
    EXPECT_FALSE(dragdrop::DropFits(0, -1, option, slot));
    EXPECT_FALSE(dragdrop::DropFits(201, 0, option, slot));
    EXPECT_FALSE(dragdrop::DropFits(0, 201, option, slot));
}

TEST(DragRules, RowsTakeTheWidestTextsTallestLabelAndScrollUntilTheLastMeetsTheBottom) {
    const dragdrop::Layout l = dragdrop::LayOut({{1050, 360}, {1200, 360}, {1050, 360}},
                                                {{915, 360}, {915, 360}, {915, 720}},
                                                {{825, 1080}, {900, 360}, {825, 360}}, 5175);
    EXPECT_EQ(l.itemWidth, 1200);
    EXPECT_EQ(l.optionWidth, 900);
    EXPECT_EQ(l.optionHeight, 1080);
    EXPECT_EQ(l.slotWidth, 1100);
    EXPECT_EQ(l.slotHeight, 1280);
    EXPECT_EQ(l.itemHeight, 1280);
    EXPECT_EQ(l.slotLeft, 480 + 1200 + 150);
    EXPECT_EQ(l.optionLeft, l.slotLeft + 1100 + 150);
    EXPECT_EQ(l.tops, (std::vector<int>{240, 240 + 1430, 240 + 2 * 1430}));
    EXPECT_EQ(l.bottom, 240 + 2 * 1430 + 1280);
    EXPECT_FALSE(l.scrolls);
    EXPECT_EQ(l.scrollMax, 0);

    // Rows 360 high stand 710 apart and end at 2220: an area of 2220 holds
    // them; one twip less shows the bar, whose end puts the last row's bottom
    // on the area's bottom.
    const std::vector<Size> items(3, Size{1050, 360}), slotSizes(3, Size{915, 360}), options(3, Size{825, 360});
    const dragdrop::Layout fits = dragdrop::LayOut(items, slotSizes, options, 2220);
    EXPECT_EQ(fits.bottom, 2220);
    EXPECT_FALSE(fits.scrolls);
    const dragdrop::Layout past = dragdrop::LayOut(items, slotSizes, options, 2219);
    EXPECT_TRUE(past.scrolls);
    EXPECT_EQ(past.scrollMax, 1);
}

TEST(DragRules, AutomaticScrollingStaysWithinTheRangeAndStopsAtItsEnds) {
    const int max = 1000, top = 840;
    int value = 0, ticks = 0;
    for (bool on = true; on; ++ticks) {
        const dragdrop::Tick t = dragdrop::ScrollTick(true, value, max, 7000, top);
        EXPECT_LE(t.value, max);
        value = t.value;
        on = t.keepOn;
    }
    EXPECT_EQ(value, 1000);
    EXPECT_EQ(ticks, 26) << "25 steps of 40, then the tick that finds the end";
    // Up, with the pointer above the area: down to the last step of 40.
    value = 1030;
    for (bool on = true; on;) {
        const dragdrop::Tick t = dragdrop::ScrollTick(false, value, max, 500, top);
        EXPECT_GE(t.value, 0);
        value = t.value;
        on = t.keepOn;
    }
    EXPECT_EQ(value, 30);
    // Up, the pointer back below the area's top: one last step, then off.
    const dragdrop::Tick back = dragdrop::ScrollTick(false, 400, max, 900, top);
    EXPECT_EQ(back.value, 360);
    EXPECT_FALSE(back.keepOn);
    // A hidden bar has no range: nothing scrolls.
    EXPECT_FALSE(dragdrop::ScrollTick(true, 0, 0, 7000, top).keepOn);

    EXPECT_TRUE(dragdrop::OverBackground(839, 840, 5175).timerOn);
    EXPECT_FALSE(dragdrop::OverBackground(839, 840, 5175).down);
    EXPECT_FALSE(dragdrop::OverBackground(840, 840, 5175).timerOn);
    EXPECT_FALSE(dragdrop::OverBackground(6014, 840, 5175).timerOn);
    EXPECT_TRUE(dragdrop::OverBackground(6015, 840, 5175).down);
}

// ---------------------------------------------------------------- the answer stored

namespace {

class DragStoreTest : public pemu_test::ProgramTest {
protected:
    long long question() { return gcnExam->Scalar("SELECT min(QId) FROM Questions where QType = 'D'").toInt(); }
    std::vector<int16_t> column(long long qid, const char* name) {
        std::vector<int16_t> v;
        Recordset rs = gcnExam->OpenRecordset(std::string("SELECT ") + name +
                                                  " FROM DragNDrop WHERE QId = ? ORDER BY Index",
                                              {qid});
        for (; !rs.Eof(); rs.MoveNext()) v.push_back(static_cast<int16_t>(rs.Fields(0).toInt()));
        return v;
    }
};

}  // namespace

TEST_F(DragStoreTest, ClosingWritesEveryRowOrNoneWhenAStatementFails) {
    const long long q = question();
    const std::vector<Row> rows = dragdrop::ReadRows(*gcnExam, static_cast<int16_t>(q));
    ASSERT_GE(rows.size(), 3u);
    std::vector<int16_t> idx, options, drops;
    for (const Row& r : rows) {
        idx.push_back(r.index);
        drops.push_back(r.index);
    }
    options = idx;
    std::reverse(options.begin(), options.end());
    drops.back() = 0;  // an empty slot is written as 0, over what was stored
    gcnExam->Execute("UPDATE DragNDrop SET AnsSel = Index WHERE QId = ?", {q});

    dragdrop::Save(*gcnExam, idx, options, drops);
    EXPECT_EQ(column(q, "AnsSel"), drops);
    EXPECT_EQ(column(q, "AnsRand"), options);

    // The last row's statement fails: the rows before it keep what they had.
    gcnExam->ExecScript("CREATE TRIGGER refuse BEFORE UPDATE ON DragNDrop WHEN NEW.\"Index\" = " +
                        std::to_string(idx.back()) + " BEGIN SELECT RAISE(ABORT, 'disk trouble'); END;");
    std::vector<int16_t> other(idx.size(), idx.front());
    EXPECT_THROW(dragdrop::Save(*gcnExam, idx, idx, other), DbError);
    EXPECT_EQ(column(q, "AnsSel"), drops);
    EXPECT_EQ(column(q, "AnsRand"), options);
}
