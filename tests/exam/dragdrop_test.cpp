// The drag-and-drop rules the window cannot show one twip at a time: the
// option order, the drop rule at the slot's edges, and the answer written in
// one piece at closing.
#include "exam/dragdrop.h"
#include "startup/state.h"
#include "support/fixture.h"

#include <algorithm>
#include <set>

using namespace plat;
using dragdrop::Row;

TEST(DragRules, TheOptionsAreTheQuestionsOwnRowsInAKeptOrderOrAFreshShuffle) {
    // Rows 5, 9 and 10: a draw between the first and the last Index would
    // reach rows 6 to 8, which belong to other questions.
    auto rows = [](std::vector<long long> kept) {
        std::vector<Row> v(3);
        const long long idx[] = {5, 9, 10};
        for (int i = 0; i < 3; ++i) v[i].index = idx[i], v[i].ansRand = kept.empty() ? 0 : kept[i];
        return v;
    };
    std::set<std::vector<long long>> seen;
    for (unsigned seed = 0; seed < 100; ++seed) {
        std::mt19937 gen(seed);
        std::vector<long long> order = dragdrop::OptionOrder(rows({}), gen);
        seen.insert(order);
        std::sort(order.begin(), order.end());
        EXPECT_EQ(order, (std::vector<long long>{5, 9, 10}));
    }
    EXPECT_EQ(seen.size(), 6u) << "every order of three options comes up";
    std::mt19937 gen(1);
    EXPECT_EQ(dragdrop::OptionOrder(rows({10, 5, 9}), gen), (std::vector<long long>{10, 5, 9}));
    // Half drawn, naming another question's row, or one option twice: drawn afresh.
    for (const auto& broken : {std::vector<long long>{10, 0, 9}, {10, 5, 7}, {10, 10, 9}})
        EXPECT_TRUE(seen.count(dragdrop::OptionOrder(rows(broken), gen)));
}

// The slot is 200 twips wider and taller than the option: the outline may lie
// anywhere from the slot's corner to 200 twips off it, edges included.
TEST(DragRules, ADropCountsWithTheOutlineOnEachEdgeAndNotOneTwipPast) {
    const dragdrop::Size option{825, 360}, slot{1025, 560};
    for (auto [dx, dy] : {std::pair{0, 0}, {200, 200}, {0, 200}, {200, 0}})
        EXPECT_TRUE(dragdrop::DropFits(dx, dy, option, slot)) << dx << "," << dy;
    for (auto [dx, dy] : {std::pair{-1, 0}, {0, -1}, {201, 0}, {0, 201}})
        EXPECT_FALSE(dragdrop::DropFits(dx, dy, option, slot)) << dx << "," << dy;
}

using DragStoreTest = pemu_test::ProgramTest;

TEST_F(DragStoreTest, ClosingWritesEveryRowOrNoneWhenAStatementFails) {
    const auto q = static_cast<long long>(gcnExam->Scalar("SELECT min(QId) FROM Questions where QType = 'D'").toInt());
    auto column = [&](const char* name) {
        std::vector<long long> v;
        Recordset rs = gcnExam->OpenRecordset(std::string("SELECT ") + name + " FROM DragNDrop WHERE QId = ? "
                                              "ORDER BY Index", {q});
        for (; !rs.Eof(); rs.MoveNext()) v.push_back(static_cast<long long>(rs.Fields(0).toInt()));
        return v;
    };
    const std::vector<long long> idx = column("Index");
    ASSERT_GE(idx.size(), 3u);
    gcnExam->Execute("UPDATE DragNDrop SET AnsSel = Index WHERE QId = ?", {q});
    std::vector<long long> options(idx.rbegin(), idx.rend()), drops = idx;
    drops.back() = 0;  // an emptied slot is written as 0 over what was stored
    // A stray row of another question under one of these Index values stays as it is.
    gcnExam->Execute("INSERT INTO DragNDrop (Index,QId,Question,Answer,AnsSel,AnsRand) VALUES (?,?,'x','y',7,7)",
                     {idx[0], q + 1000});
    dragdrop::Save(*gcnExam, q, idx, options, drops);
    EXPECT_EQ(column("AnsSel"), drops);
    EXPECT_EQ(column("AnsRand"), options);
    EXPECT_EQ(gcnExam->Scalar("SELECT AnsSel * 100 + AnsRand FROM DragNDrop WHERE QId = ?", {q + 1000}).toInt(), 707);

    // The last row's statement fails: the rows before it keep what they had.
    gcnExam->ExecScript("CREATE TRIGGER refuse BEFORE UPDATE ON DragNDrop WHEN NEW.\"Index\" = " +
                        std::to_string(idx.back()) + " BEGIN SELECT RAISE(ABORT, 'disk trouble'); END;");
    EXPECT_THROW(dragdrop::Save(*gcnExam, q, idx, idx, std::vector<long long>(idx.size(), idx[0])), DbError);
    EXPECT_EQ(column("AnsSel"), drops);
    EXPECT_EQ(column("AnsRand"), options);
}

// Rows numbered beyond 32,767 read, shown and written back as they are.
TEST_F(DragStoreTest, RowsNumberedBeyond32767KeepTheirNumbers) {
    gcnExam->Execute("INSERT INTO Questions (QId,QName,DiffLevel,QType,CatInd,ExhibitPath,Expln) "
                     "VALUES (40001,'Match them','B','D',1,'NA','NA')");
    for (long long i : {50001, 50002, 50003})
        gcnExam->Execute("INSERT INTO DragNDrop (Index,QId,Question,Answer,AnsSel,AnsRand) VALUES (?,40001,?,?,?,?)",
                         {i, "Item " + std::to_string(i), "Match " + std::to_string(i), i == 50001 ? 50003LL : 0LL,
                          i == 50001 ? 50002LL : i == 50002 ? 50003LL : 50001LL});
    const std::vector<Row> rows = dragdrop::ReadRows(*gcnExam, 40001);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[2].index, 50003);
    std::mt19937 gen(1);
    EXPECT_EQ(dragdrop::OptionOrder(rows, gen), (std::vector<long long>{50002, 50003, 50001}));
    EXPECT_EQ(dragdrop::StoredDrops(rows), (std::vector<long long>{50003, 0, 0}));

    dragdrop::Save(*gcnExam, 40001, {50001, 50002, 50003}, {50003, 50001, 50002}, {50001, 50002, 0});
    EXPECT_EQ(dragdrop::StoredDrops(dragdrop::ReadRows(*gcnExam, 40001)), (std::vector<long long>{50001, 50002, 0}));
    EXPECT_EQ(gcnExam->Scalar("SELECT AnsRand FROM DragNDrop WHERE Index = 50001").toInt(), 50003);
}
