// The question selection against a real database: which questions a run gets,
// in which order, what the run tables hold, and how a selection that cannot be
// made ends.
#include "bank.h"
#include "exam/FrmSettings.h"
#include "exam/frmMode.h"
#include "exam/selection.h"
#include "startup/module1.h"
#include "support/fixture.h"

#include <sqlite3.h>

#include <algorithm>
#include <map>
#include <set>

using namespace exam_test;
using plat::Value;

namespace {

class SelectionTest : public pemu_test::ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        bank = GappedBank(60);
        ReplaceBank(*gcnExam, bank);
    }
    void TearDown() override {
        FrmSettings.SetSeedForTesting(std::nullopt);
        ProgramTest::TearDown();
    }

    void emptyRun() {
        gcnExam->Execute("DELETE * from QuestIds");
        gcnExam->Execute("DELETE * from AnsIds");
    }
    // The QIds at positions start .. start + n - 1 of the bank in QId order.
    std::vector<long long> block(int start, int n) const {
        std::vector<long long> q;
        for (int p = start; p < start + n; ++p) q.push_back(bank[p - 1].qid);
        return q;
    }
    const BankQuestion& question(long long qid) const {
        for (const BankQuestion& q : bank)
            if (q.qid == qid) return q;
        throw std::runtime_error("no question " + std::to_string(qid));
    }
    static std::vector<long long> sorted(std::vector<long long> v) {
        std::sort(v.begin(), v.end());
        return v;
    }
    selection::Outcome fetch(const std::string& table, int n, bool randQuest, bool randAns, int start,
                             bool examMode = false, bool full = false) {
        fullFlag = full;
        return selection::FetchQuest(*gcnExam, table, n, randQuest, randAns, start, examMode, fullFlag, rng);
    }
    // The options of the run follow its questions: Index 1..n without gaps, each
    // question's options together, every option once (in stored order unless
    // shuffled), none for drag-and-drop and simulation questions.
    void expectOptionsFollowRun(bool shuffled) {
        const auto run = RunQuestions(*gcnExam);
        const auto opts = RunOptions(*gcnExam);
        size_t at = 0;
        for (const RunQuestion& q : run) {
            std::vector<long long> listed;
            while (at < opts.size() && opts[at].qid == q.qid) listed.push_back(opts[at++].ansId);
            const auto stored = StoredOptions(*gcnExam, q.qid);
            EXPECT_EQ(shuffled ? sorted(listed) : listed, stored) << "question " << q.qid;
            const std::string& type = question(q.qid).type;
            if (type == "D" || type == "SIM") {
                EXPECT_TRUE(listed.empty()) << "question " << q.qid;
            }
        }
        EXPECT_EQ(at, opts.size()) << "options of questions outside the run, or out of run order";
        for (size_t i = 0; i < opts.size(); ++i) EXPECT_EQ(opts[i].index, static_cast<long long>(i) + 1);
    }
    void expectRunEmpty() {
        EXPECT_TRUE(RunQuestions(*gcnExam).empty());
        EXPECT_TRUE(RunOptions(*gcnExam).empty());
    }
    selection::CustomGrid grid(std::vector<int> cells) {
        selection::CustomGrid g;
        g.categories = {"Routing", "Switching", "Security"};
        g.cells = std::move(cells);
        return g;
    }
    // Questions of a category (1..3) and level in QId order.
    std::vector<long long> cell(int cat, const std::string& level) const {
        std::vector<long long> q;
        for (const BankQuestion& b : bank)
            if (b.cat == cat && b.level == level) q.push_back(b.qid);
        return q;
    }

    std::vector<BankQuestion> bank;
    selection::Rng rng{20240611};
    bool fullFlag = false;
};

}  // namespace

TEST_F(SelectionTest, NumberedExamDrawsExactlyItsBlockInRandomOrderWithLevels) {
    // The second exam of 25: positions 26 to 50; the QIds skip every fifth number.
    const auto expected = block(26, 25);
    bool someShuffled = false;
    for (int draw = 0; draw < 20; ++draw) {
        emptyRun();
        ASSERT_TRUE(fetch("Questions", 25, true, false, 26, true));
        const auto run = RunQuestions(*gcnExam);
        ASSERT_EQ(run.size(), 25u);
        EXPECT_EQ(sorted(QIdsOf(run)), expected);
        for (size_t i = 0; i < run.size(); ++i) {
            EXPECT_EQ(run[i].index, static_cast<long long>(i) + 1);
            EXPECT_NE(run[i].qid % 5, 0) << "a missing QId was drawn";
            EXPECT_EQ(run[i].diffLvl.toString(), question(run[i].qid).level);
            EXPECT_EQ(run[i].attempted, 0);
            EXPECT_EQ(run[i].order, 0);
        }
        someShuffled |= QIdsOf(run) != expected;
        expectOptionsFollowRun(false);
    }
    EXPECT_TRUE(someShuffled);
}

TEST_F(SelectionTest, DifficultyIsWrittenOnlyByAnExamModeRandomDraw) {
    ASSERT_TRUE(fetch("Questions", 10, true, false, 1, false));
    for (const auto& q : RunQuestions(*gcnExam)) EXPECT_TRUE(q.diffLvl.isNull());
    emptyRun();
    ASSERT_TRUE(fetch("Questions", 10, false, false, 1, true));
    for (const auto& q : RunQuestions(*gcnExam)) EXPECT_TRUE(q.diffLvl.isNull());
    emptyRun();
    ASSERT_TRUE(fetch("Questions", 10, true, false, 1, true));
    for (const auto& q : RunQuestions(*gcnExam)) EXPECT_EQ(q.diffLvl.toString(), question(q.qid).level);
}

TEST_F(SelectionTest, FullExamDrawsFromTheWholeBankAndConsumesTheFlag) {
    int beyondFirstBlock = 0;
    for (int draw = 0; draw < 10; ++draw) {
        emptyRun();
        ASSERT_TRUE(fetch("Questions", 25, true, false, 1, true, true));
        EXPECT_FALSE(fullFlag);
        const auto qids = QIdsOf(RunQuestions(*gcnExam));
        ASSERT_EQ(qids.size(), 25u);
        EXPECT_EQ(std::set<long long>(qids.begin(), qids.end()).size(), 25u);
        for (long long q : qids) {
            question(q);  // in the bank
            beyondFirstBlock += q > bank[24].qid;
        }
    }
    EXPECT_GT(beyondFirstBlock, 0);

    // The flag is gone, so the next draw from position 1 keeps to the first block.
    emptyRun();
    ASSERT_TRUE(selection::FetchQuest(*gcnExam, "Questions", 25, true, false, 1, true, fullFlag, rng));
    EXPECT_EQ(sorted(QIdsOf(RunQuestions(*gcnExam))), block(1, 25));
}

TEST_F(SelectionTest, InOrderBookmarksTakeTheirBlockInQIdOrder) {
    // Bookmarks stored out of order; the block counts in QId order.
    std::vector<long long> marks;
    for (int p = 40; p >= 21; --p) marks.push_back(bank[p - 1].qid);
    for (long long q : marks) gcnExam->Execute("INSERT INTO BookMark (QId) VALUES (?)", {q});
    const auto byQid = sorted(marks);

    ASSERT_TRUE(fetch("BookMark", 10, false, false, 5, true));
    auto run = RunQuestions(*gcnExam);
    EXPECT_EQ(QIdsOf(run), std::vector<long long>(byQid.begin() + 4, byQid.begin() + 14));
    for (size_t i = 0; i < run.size(); ++i) {
        EXPECT_EQ(run[i].index, static_cast<long long>(i) + 1);
        EXPECT_TRUE(run[i].diffLvl.isNull());
    }
    expectOptionsFollowRun(false);

    // Only 12 bookmarks: the block ends with the last one.
    emptyRun();
    gcnExam->Execute("DELETE * from BookMark where QId > ?", {byQid[11]});
    ASSERT_TRUE(fetch("BookMark", 10, false, false, 5));
    EXPECT_EQ(QIdsOf(RunQuestions(*gcnExam)), std::vector<long long>(byQid.begin() + 4, byQid.begin() + 12));
}

TEST_F(SelectionTest, RandomOptionOrderListsEveryOptionOnce) {
    ASSERT_TRUE(fetch("Questions", 60, true, true, 1));
    expectOptionsFollowRun(true);
    size_t total = 0, reordered = 0;
    const auto opts = RunOptions(*gcnExam);
    for (const BankQuestion& q : bank) total += q.options;
    EXPECT_EQ(opts.size(), total);
    for (const RunQuestion& q : RunQuestions(*gcnExam)) {
        std::vector<long long> listed;
        for (const RunOption& o : opts)
            if (o.qid == q.qid) listed.push_back(o.ansId);
        reordered += listed != StoredOptions(*gcnExam, q.qid);
    }
    EXPECT_GT(reordered, 0u);

    // RandAns alone lists the options of the questions already in the run.
    gcnExam->Execute("DELETE * from AnsIds");
    ASSERT_TRUE(selection::RandAns(*gcnExam, false, rng));
    expectOptionsFollowRun(false);
}

TEST_F(SelectionTest, RandomDrawsAreUnbiased) {
    ReplaceBank(*gcnExam, bank = GappedBank(36));
    // Six thousand selections: on a copy of the database held in memory, so
    // that the test measures the draws and not the disk.
    plat::Database memory = plat::Database::Create(":memory:");
    sqlite3_backup* copy = sqlite3_backup_init(memory.handle(), "main", gcnExam->handle(), "main");
    ASSERT_NE(copy, nullptr);
    ASSERT_EQ(sqlite3_backup_step(copy, -1), SQLITE_DONE);
    sqlite3_backup_finish(copy);
    plat::Database* const onDisk = gcnExam;
    gcnExam = &memory;
    struct Restore {
        plat::Database* db;
        ~Restore() { gcnExam = db; }
    } restore{onDisk};
    constexpr int kDraws = 2000;

    // A block of four (positions 3 to 6): every question reaches every place
    // about equally often; the option order of a four-option question likewise.
    const auto four = block(3, 4);
    const long long fourOptions = 6;  // question i = 4: "S" with 4 options
    ASSERT_EQ(StoredOptions(*gcnExam, fourOptions).size(), 4u);
    std::map<std::pair<long long, int>, int> place, optionPlace;
    for (int d = 0; d < kDraws; ++d) {
        emptyRun();
        ASSERT_TRUE(fetch("Questions", 4, true, true, 3));
        const auto qids = QIdsOf(RunQuestions(*gcnExam));
        for (int i = 0; i < 4; ++i) ++place[{qids[i], i}];
        int at = 0;
        for (const RunOption& o : RunOptions(*gcnExam))
            if (o.qid == fourOptions) ++optionPlace[{o.ansId, at++}];
    }
    for (long long q : four)
        for (int i = 0; i < 4; ++i) EXPECT_NEAR((place[{q, i}]), kDraws / 4, 100) << "question " << q << " place " << i;
    for (long long a : StoredOptions(*gcnExam, fourOptions))
        for (int i = 0; i < 4; ++i) EXPECT_NEAR((optionPlace[{a, i}]), kDraws / 4, 100) << "option " << a;

    // The full exam: each question of the bank is as likely to be drawn.
    std::map<long long, int> drawn;
    for (int d = 0; d < kDraws; ++d) {
        emptyRun();
        ASSERT_TRUE(fetch("Questions", 9, true, false, 1, true, true));
        for (long long q : QIdsOf(RunQuestions(*gcnExam))) ++drawn[q];
    }
    for (const BankQuestion& q : bank) EXPECT_NEAR(drawn[q.qid], kDraws * 9 / 36, 100) << "question " << q.qid;

    // A custom cell asking one of its four questions takes each as often.
    std::map<long long, int> picked;
    for (int d = 0; d < kDraws; ++d) {
        emptyRun();
        auto g = grid({0, 0, 0, 0, 1, 0, 0, 0, 0});
        ASSERT_TRUE(selection::FetchCustQuest(*gcnExam, g, true, false, rng));
        for (long long q : QIdsOf(RunQuestions(*gcnExam))) ++picked[q];
    }
    ASSERT_EQ(cell(2, "I").size(), 4u);
    for (long long q : cell(2, "I")) EXPECT_NEAR(picked[q], kDraws / 4, 100) << "question " << q;
}

TEST_F(SelectionTest, CustomInOrderTakesTheFirstQuestionsOfEachCellAndCountsDown) {
    auto g = grid({2, 0, 1, 0, 0, 0, 0, 0, 0});
    std::vector<std::pair<int, int>> changes;
    g.cellChanged = [&](int element, int value) { changes.emplace_back(element, value); };
    ASSERT_TRUE(selection::FetchCustQuest(*gcnExam, g, false, false, rng));

    const auto beginners = cell(1, "B"), experts = cell(1, "E");
    const std::vector<long long> expected = sorted({beginners[0], beginners[1], experts[0]});
    const auto run = RunQuestions(*gcnExam);
    EXPECT_EQ(QIdsOf(run), expected);
    for (size_t i = 0; i < run.size(); ++i) {
        EXPECT_EQ(run[i].index, static_cast<long long>(i) + 1);
        EXPECT_TRUE(run[i].diffLvl.isNull());
    }
    EXPECT_EQ(g.cells, std::vector<int>(9, 0));
    // Each cell that gave questions is set once, to what it still asks for.
    EXPECT_EQ(changes, (std::vector<std::pair<int, int>>{{1, 0}, {3, 0}}));
    expectOptionsFollowRun(false);
}

TEST_F(SelectionTest, CustomInOrderListsTheRunByCategoryThenQId) {
    // The second expert question of Routing comes after the first beginner
    // question of Switching by QId, but Routing is the first category.
    auto g = grid({0, 0, 2, 1, 0, 0, 0, 0, 0});
    ASSERT_GT(cell(1, "E")[1], cell(2, "B")[0]);
    ASSERT_TRUE(selection::FetchCustQuest(*gcnExam, g, false, false, rng));
    EXPECT_EQ(QIdsOf(RunQuestions(*gcnExam)),
              (std::vector<long long>{cell(1, "E")[0], cell(1, "E")[1], cell(2, "B")[0]}));
}

TEST_F(SelectionTest, CustomAtRandomDrawsEachCellFromItsCategoryAndLevel) {
    // A table left behind by an interrupted selection does not get in the way.
    gcnExam->Execute("CREATE TABLE TempRandTble (QIndex NUMBER,RandQId NUMBER)");
    const std::vector<int> cells = {0, 0, 0, 0, 0, 0, 0, 2, 1};  // the first row asks for nothing
    auto g = grid(cells);
    int changed = 0;
    g.cellChanged = [&](int, int) { ++changed; };
    ASSERT_TRUE(selection::FetchCustQuest(*gcnExam, g, true, true, rng));

    const auto run = RunQuestions(*gcnExam);
    ASSERT_EQ(run.size(), 3u);
    int inter = 0, expert = 0;
    for (size_t i = 0; i < run.size(); ++i) {
        EXPECT_EQ(run[i].index, static_cast<long long>(i) + 1);
        EXPECT_TRUE(run[i].diffLvl.isNull());
        const BankQuestion& q = question(run[i].qid);
        EXPECT_EQ(q.cat, 3);
        inter += q.level == "I";
        expert += q.level == "E";
    }
    EXPECT_EQ(inter, 2);
    EXPECT_EQ(expert, 1);
    const auto qids = QIdsOf(run);
    EXPECT_EQ(std::set<long long>(qids.begin(), qids.end()).size(), 3u);
    EXPECT_EQ(g.cells, cells);
    EXPECT_EQ(changed, 0);
    EXPECT_FALSE(gcnExam->TableExists("TempRandTble"));
    expectOptionsFollowRun(true);
}

TEST_F(SelectionTest, BrokenPreconditionsStopWithAReasonAndWriteNothing) {
    auto expectRefused = [&](const selection::Outcome& o, const std::string& words) {
        EXPECT_FALSE(o.ok);
        EXPECT_NE(o.problem.find(words), std::string::npos) << o.problem;
        expectRunEmpty();
    };
    // A block reaching past the end of the bank (positions 50 to 74 of 60).
    expectRefused(fetch("Questions", 25, true, false, 50, true), "holds only 60");
    // A start past the end, at random and in order.
    expectRefused(fetch("Questions", 5, true, false, 61), "start at number 61");
    expectRefused(fetch("Questions", 5, false, false, 61), "start at number 61");
    // The full exam asking for more than the bank has; the flag is used up all the same.
    expectRefused(fetch("Questions", 61, true, false, 1, true, true), "holds only 60 from number 1 on");
    EXPECT_FALSE(fullFlag);
    // An empty source.
    expectRefused(fetch("BookMark", 5, true, false, 1), "no questions in BookMark");
    expectRefused(fetch("BookMark", 5, false, false, 1), "no questions in BookMark");
    expectRefused(fetch("Questions", 0, true, false, 1), "At least one question");

    // Cells asking for more than their category and level hold, either way.
    const size_t have = cell(2, "E").size();
    std::vector<int> cells(9, 0);
    cells[5] = static_cast<int>(have) + 1;
    auto g = grid(cells);
    expectRefused(selection::FetchCustQuest(*gcnExam, g, true, false, rng), "\"Switching\"");
    expectRefused(selection::FetchCustQuest(*gcnExam, g, false, false, rng), "but there are " + std::to_string(have));
    EXPECT_EQ(g.cells, cells);
    auto none = grid(std::vector<int>(9, 0));
    expectRefused(selection::FetchCustQuest(*gcnExam, none, true, false, rng), "no questions");
    expectRefused(selection::FetchCustQuest(*gcnExam, none, false, false, rng), "no questions");

    // A question number twice in the block.
    gcnExam->Execute("INSERT INTO Questions (QId,QName,DiffLevel,QType,CatInd) VALUES (?,'again','B','S',1)",
                     {bank[29].qid});
    expectRefused(fetch("Questions", 25, true, false, 26, true), "question number " + std::to_string(bank[29].qid));
    expectRefused(fetch("Questions", 25, false, false, 26), "Question number " + std::to_string(bank[29].qid));
    gcnExam->Execute("DELETE * from Questions where QName = 'again'");

    // An option number shared by two questions cannot be shuffled.
    const long long shared = StoredOptions(*gcnExam, bank[0].qid)[0];
    gcnExam->Execute("UPDATE Answers SET Index = ? WHERE Index = ?", {shared, StoredOptions(*gcnExam, bank[1].qid)[0]});
    expectRefused(fetch("Questions", 5, false, true, 1), "option number " + std::to_string(shared));
}

TEST_F(SelectionTest, TheSetUpWindowReportsARefusedSelection) {
    EXPECT_FALSE(FrmSettings.FetchQuest("Questions", 25, true, false, 50));
    const auto box = lastBox();
    EXPECT_EQ(box.title, "Question Selection");
    EXPECT_EQ(box.icon(), plat::vbCritical);
    EXPECT_TRUE(box.text.contains("holds only 60"));
    expectRunEmpty();
    EXPECT_FALSE(FrmSettings.IsLoaded());
    EXPECT_FALSE(frmMode.IsLoaded());

    EXPECT_TRUE(FrmSettings.FetchQuest("Questions", 25, true, false, 26));
    EXPECT_EQ(boxes.size(), 1u);
    EXPECT_EQ(RunQuestions(*gcnExam).size(), 25u);
}

TEST_F(SelectionTest, ProgressReachesTheModeWindowOnlyWhileItIsLoaded) {
    const selection::Progress toModeWindow = [](int v) { frmMode.SetProgress(v); };
    ASSERT_TRUE(FrmSettings.FetchQuest("Questions", 10, true, false, 1, toModeWindow));
    EXPECT_FALSE(frmMode.IsLoaded()) << "the selection loaded the mode window";

    frmMode.Load();
    std::vector<int> values;
    QObject::connect(frmMode.prgMode(), &QProgressBar::valueChanged, [&](int v) { values.push_back(v); });
    emptyRun();
    ASSERT_TRUE(FrmSettings.FetchQuest("Questions", 10, true, false, 1, toModeWindow));
    EXPECT_EQ(values, (std::vector<int>{2, 3, 4, 5, 6, 7, 8, 9}));

    values.clear();
    frmMode.prgMode()->setValue(0);
    values.clear();
    emptyRun();
    ASSERT_TRUE(FrmSettings.FetchQuest("Questions", 10, false, false, 1, toModeWindow));
    EXPECT_EQ(values, std::vector<int>{9});
}

TEST_F(SelectionTest, SuccessiveSelectionsAreIndependent) {
    // Each selection has its own generator: two draws in quick succession do not
    // repeat each other.
    ASSERT_TRUE(FrmSettings.FetchQuest("Questions", 60, true, false, 1));
    const auto first = QIdsOf(RunQuestions(*gcnExam));
    emptyRun();
    ASSERT_TRUE(FrmSettings.FetchQuest("Questions", 60, true, false, 1));
    EXPECT_NE(QIdsOf(RunQuestions(*gcnExam)), first);
}

TEST_F(SelectionTest, TheSetUpWindowsCustomBoxesCountDown) {
    // The custom grid as the set-up window lays it out: a header row, then one
    // row per category with three boxes.
    QTableWidget* msg = FrmSettings.msgCustom();
    auto& boxes3 = FrmSettings.cmbDiffLvl();
    const std::vector<std::string> names = {"Routing", "Switching", "Security"};
    msg->setRowCount(4);
    for (int r = 1; r <= 3; ++r) msg->setItem(r, 1, new QTableWidgetItem(QString::fromStdString(names[r - 1])));
    const std::vector<int> wanted = {1, 0, 2, 0, 0, 0, 0, 1, 0};
    for (int e = 1; e <= 9; ++e) {
        QComboBox* b = boxes3.Load(e);
        for (int v = 0; v <= 3; ++v) b->addItem(QString::number(v));
        b->setCurrentText(QString::number(wanted[e - 1]));
    }
    FrmSettings.mintCmbCount = 9;

    ASSERT_TRUE(FrmSettings.FetchCustQuest("Questions", 4, true, false));
    EXPECT_EQ(RunQuestions(*gcnExam).size(), 4u);
    for (int e = 1; e <= 9; ++e) EXPECT_EQ(boxes3(e)->currentText().toInt(), wanted[e - 1]) << "box " << e;

    emptyRun();
    ASSERT_TRUE(FrmSettings.FetchCustQuest("Questions", 4, false, false));
    EXPECT_EQ(QIdsOf(RunQuestions(*gcnExam)),
              (std::vector<long long>{cell(1, "B")[0], cell(1, "E")[0], cell(1, "E")[1], cell(3, "I")[0]}));
    for (int e = 1; e <= 9; ++e) EXPECT_EQ(boxes3(e)->currentText(), "0") << "box " << e;
}
