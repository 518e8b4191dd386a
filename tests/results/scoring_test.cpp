// Grading runs of the shipped bank's questions: the category grid, the scores
// in learn and exam mode, the verdict, the chart, and the reports that have
// nothing or no pass mark to go on.
#include "results/scoring.h"
#include "run.h"
#include "startup/state.h"
#include "support/fixture.h"

using namespace results_test;
using namespace scoring;

namespace {

class ScoringTest : public pemu_test::ProgramTest {
protected:
    void config(long long maxScore, long long passPercentage) {
        gcnExam->Execute("UPDATE AdminConfig SET MaxScore = ?, PassPercentage = ? where Index = 1",
                         {maxScore, passPercentage});
    }
    void exam(bool adaptive, int16_t limit, int16_t points) {
        gblnExamMode = true;
        gblnAdaptive = adaptive;
        gintExamLimit = limit;
        gintAdapScore = points;
    }
    // A run of n questions of every type, in QId order per type, the first
    // `right` of them answered correctly and the rest wrongly.
    void mixedRun(int n, int right) {
        static const char* const kTypes[] = {"S", "M", "D", "SIM"};
        for (int i = 0; i < n; ++i) {
            const long long q = Pick(*gcnExam, kTypes[i % 4], i / 4);
            AddToRun(*gcnExam, q);
            Answer(*gcnExam, q, i < right);
        }
    }
};

}  // namespace

TEST_F(ScoringTest, LinearExamOfThirteenRightInTwentyFailsAtSeventyPercent) {
    config(100, 70);
    mixedRun(20, 13);
    exam(false, 20, 99);  // a linear exam's points are its correct answers

    const Report r = GradeCurrentRun(*gcnExam);
    EXPECT_EQ(gintAdapScore, 13);
    EXPECT_EQ(r.scoreObt, 650);
    EXPECT_EQ(r.passScore, 700);
    EXPECT_EQ(r.maxScore, 1000);
    EXPECT_EQ(r.percentage, 65);
    EXPECT_EQ(r.verdict, Verdict::Fail);
    EXPECT_EQ(r.result, "Fail");
    EXPECT_EQ(r.verdictText, "FAIL");
    EXPECT_TRUE(r.canSave);

    // 65 % at 44 twips a percent from the scale's left edge, the rest grey, the
    // marker's right edge at 70 %.
    EXPECT_TRUE(r.chart.pass.visible);
    EXPECT_EQ(r.chart.pass.left, 120);
    EXPECT_EQ(r.chart.pass.width, 2860);
    EXPECT_TRUE(r.chart.passBarRed);
    EXPECT_TRUE(r.chart.fail.visible);
    EXPECT_EQ(r.chart.fail.left, 2980);
    EXPECT_EQ(r.chart.fail.width, 4635 - 2860);
    EXPECT_TRUE(r.chart.markerVisible);
    EXPECT_EQ(r.chart.markerLeft, 70 * 45 - 70 + 90);

    long long total = 0;
    for (const CategoryScore& c : r.judged.categories) total += c.total;
    EXPECT_EQ(total, 20);
    EXPECT_EQ(r.judged.correct, 13);
}

TEST_F(ScoringTest, LearnModeScoresOutOfAThousandWithAGridRowPerCategory) {
    config(100, 70);
    std::vector<long long> run;
    for (int i = 0; i < 4; ++i) run.push_back(Pick(*gcnExam, "S", i, 3));
    run.push_back(Pick(*gcnExam, "S", 0, 1));
    for (long long q : run) {
        AddToRun(*gcnExam, q);
        Answer(*gcnExam, q, true);
    }

    Report r = GradeCurrentRun(*gcnExam);
    ASSERT_EQ(r.judged.categories.size(), 2u);
    EXPECT_EQ(r.judged.categories[0].name, "Network Fundamentals and Models");
    EXPECT_EQ(r.judged.categories[0].total, 1);
    EXPECT_EQ(r.judged.categories[1].number, 2);
    EXPECT_EQ(r.judged.categories[1].total, 4);
    EXPECT_EQ(r.judged.categories[1].percentage, 100);
    EXPECT_EQ(r.scoreObt, 1000);
    EXPECT_EQ(r.passScore, 700);
    EXPECT_EQ(r.maxScore, 1000);
    EXPECT_EQ(r.verdictText, "PASS");
    EXPECT_FALSE(r.chart.passBarRed);
    EXPECT_EQ(r.chart.pass.width, 4635 - 30);
    EXPECT_FALSE(r.chart.fail.visible);

    // Nothing right: no green bar, the grey one over the whole scale.
    gcnExam->Execute("DELETE * from AnsSelected");
    r = GradeCurrentRun(*gcnExam);
    EXPECT_EQ(r.scoreObt, 0);
    EXPECT_EQ(r.verdictText, "FAIL");
    EXPECT_FALSE(r.chart.pass.visible);
    EXPECT_EQ(r.chart.fail.left, 120);
    EXPECT_EQ(r.chart.fail.width, 4635);
}

TEST_F(ScoringTest, HalvesRoundToTheEvenNeighbour) {
    // Categories: 1 of 8 gives 12, 3 of 8 gives 38.
    for (int i = 0; i < 8; ++i) {
        const long long a = Pick(*gcnExam, "S", i, 2), b = Pick(*gcnExam, "S", i, 4);
        AddToRun(*gcnExam, a);
        AddToRun(*gcnExam, b);
        Answer(*gcnExam, a, i < 1);
        Answer(*gcnExam, b, i < 3);
    }
    const Judgement j = JudgeRun(*gcnExam);
    ASSERT_EQ(j.categories.size(), 2u);
    EXPECT_EQ(j.categories[0].percentage, 12);
    EXPECT_EQ(j.categories[1].percentage, 38);

    // Exam mode: 69.5 % passes at 70, 68.5 % fails; the score rounds before the x 10.
    config(100, 70);
    exam(true, 200, 139);
    Report r = GradeCurrentRun(*gcnExam);
    EXPECT_EQ(r.percentage, 70);
    EXPECT_EQ(r.verdict, Verdict::Pass) << "reaching the pass mark passes";
    EXPECT_EQ(r.scoreObt, 700);  // 69.5 -> 70
    exam(true, 200, 137);
    r = GradeCurrentRun(*gcnExam);
    EXPECT_EQ(r.percentage, 68);
    EXPECT_EQ(r.verdict, Verdict::Fail);
    EXPECT_EQ(r.scoreObt, 680);  // 68.5 -> 68
    EXPECT_EQ(gintAdapScore, 137) << "an adaptive exam keeps the points it gathered";
}

TEST_F(ScoringTest, AdaptivePointsAreCappedAtTheLimit) {
    config(1000, 80);
    exam(true, 40, 55);
    const Report r = GradeCurrentRun(*gcnExam);
    EXPECT_EQ(gintAdapScore, 40);
    EXPECT_EQ(r.percentage, 100);
    EXPECT_EQ(r.scoreObt, 10000);
    EXPECT_EQ(r.passScore, 8000);
    EXPECT_EQ(r.maxScore, 10000);
    EXPECT_EQ(r.verdict, Verdict::Pass);
}

TEST_F(ScoringTest, EveryCategoryGetsItsRowAndAMissingOneAnEmptyName) {
    // Ten categories entered in reverse order, and one question whose category
    // is gone.
    for (int cat = 10; cat >= 1; --cat) AddToRun(*gcnExam, Pick(*gcnExam, "S", 0, cat));
    const long long orphan = Pick(*gcnExam, "S", 1, 5);
    AddToRun(*gcnExam, orphan);
    gcnExam->Execute("UPDATE Questions SET CatInd = 99 where QId = ?", {orphan});
    Answer(*gcnExam, orphan, true);

    const Judgement j = JudgeRun(*gcnExam);
    ASSERT_EQ(j.categories.size(), 11u);
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(j.categories[i].catInd, i + 1);
        EXPECT_EQ(j.categories[i].number, i + 1);
        EXPECT_FALSE(j.categories[i].name.isEmpty());
    }
    EXPECT_EQ(j.categories[10].catInd, 99);
    EXPECT_EQ(j.categories[10].name, "");
    EXPECT_EQ(j.categories[10].percentage, 100);
}

TEST_F(ScoringTest, AnEmptyRunOrAZeroLimitScoresNothing) {
    Report r = GradeCurrentRun(*gcnExam);  // learn mode, no questions
    EXPECT_TRUE(r.judged.categories.empty());
    EXPECT_EQ(r.percentage, 0);
    AddToRun(*gcnExam, Pick(*gcnExam, "S"));
    exam(false, 0, 0);
    r = GradeCurrentRun(*gcnExam);
    EXPECT_EQ(r.percentage, 0);
    EXPECT_EQ(r.scoreObt, 0);
}

TEST_F(ScoringTest, WithoutTheConfigurationThereIsNoVerdictAndNoSave) {
    mixedRun(4, 4);
    gcnExam->Execute("DELETE * from AdminConfig");
    const Report r = GradeCurrentRun(*gcnExam);
    EXPECT_EQ(r.percentage, 100);
    EXPECT_EQ(r.verdict, Verdict::None);
    EXPECT_EQ(r.result, "");
    EXPECT_EQ(r.verdictText, "");
    EXPECT_FALSE(r.chart.markerVisible);
    EXPECT_FALSE(r.canSave);
    EXPECT_FALSE(r.problem.empty());
}

TEST_F(ScoringTest, ASavedResultShowsItsSavedFiguresAndGridFromItsAnswers) {
    config(100, 50);  // today's pass mark does not decide a saved result
    mixedRun(4, 4);
    const SavedFigures saved{650, 700, 1000, 65, "Fail"};
    gintAdapScore = 7;
    const Report r = GradeCurrentRun(*gcnExam, saved);
    EXPECT_EQ(r.scoreObt, 650);
    EXPECT_EQ(r.passScore, 700);
    EXPECT_EQ(r.maxScore, 1000);
    EXPECT_EQ(r.percentage, 65);
    EXPECT_EQ(r.verdictText, "FAIL");
    EXPECT_TRUE(r.chart.passBarRed);
    EXPECT_EQ(r.chart.markerLeft, 70 * 44 + 90) << "the marker stands at the saved pass score";
    EXPECT_FALSE(r.canSave);
    EXPECT_EQ(r.judged.correct, 4);
    EXPECT_EQ(gintAdapScore, 7);
}

// An adaptive run holds every question the exam could issue; the grid judges
// the ones the candidate was shown, as the saved result (which keeps only
// those) will when reopened.
TEST_F(ScoringTest, AnAdaptiveGridCountsOnlyTheIssuedQuestions) {
    config(1000, 80);
    mixedRun(8, 8);
    // Only the first three were issued.
    gcnExam->Execute("UPDATE QuestIds SET Attempted = 1, ExamQIdsOrder = Index where Index <= 3");
    exam(true, 3, 3);
    const Report r = GradeCurrentRun(*gcnExam);
    EXPECT_EQ(r.judged.total, 3);
    EXPECT_EQ(r.judged.correct, 3);
    for (const CategoryScore& c : r.judged.categories) EXPECT_EQ(c.percentage, 100) << c.name.toStdString();
    // A linear exam judges every question of its run.
    exam(false, 8, 0);
    EXPECT_EQ(GradeCurrentRun(*gcnExam).judged.total, 8);
}

// The report counts a multiple-answer question by which options were ticked,
// not by how many: as many ticks as correct options, one of them wrong, is a
// wrong answer.
TEST_F(ScoringTest, AMultipleAnswerQuestionNeedsItsOwnCorrectOptionsTicked) {
    config(100, 50);
    const long long right = Pick(*gcnExam, "M", 0), swapped = Pick(*gcnExam, "M", 1);
    AddToRun(*gcnExam, right);
    AddToRun(*gcnExam, swapped);
    Answer(*gcnExam, right, true);
    std::vector<long long> ticks;
    for (plat::Recordset rs = gcnExam->OpenRecordset(
             "SELECT Index FROM Answers where QId = ? and CorrectAns = 1 ORDER BY Index", {swapped});
         !rs.Eof(); rs.MoveNext())
        ticks.push_back(rs.Fields(0).toInt());
    ASSERT_GE(ticks.size(), 2u);
    ticks.back() = gcnExam->Scalar("SELECT min(Index) FROM Answers where QId = ? and CorrectAns = 0", {swapped}).toInt();
    for (long long a : ticks) gcnExam->Execute("INSERT INTO AnsSelected (QId,Answer) VALUES (?,?)", {swapped, a});

    exam(false, 2, 0);
    const Report r = GradeCurrentRun(*gcnExam);
    EXPECT_EQ(r.judged.total, 2);
    EXPECT_EQ(r.judged.correct, 1);
    EXPECT_EQ(gintAdapScore, 1);
    EXPECT_EQ(r.percentage, 50);
    EXPECT_EQ(r.scoreObt, 500);
}
