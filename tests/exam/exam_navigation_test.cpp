// Next and Previous through linear and adaptive runs on the real database:
// the ends of a run, unanswered questions only, the adaptive level table, the
// stop rule, the weight and score each counted once, and the correctness rule
// the window judges with.
#include "exam/adaptive.h"
#include "exam_fixture.h"
#include "results/frmReview.h"
#include "startup/state.h"

using namespace exam_test;
using namespace plat;

namespace {

class ExamNavigationTest : public ExamTest {
protected:
    long long order(long long index) {
        return gcnExam->Scalar("SELECT ExamQIdsOrder FROM QuestIds where Index = ?", {index}).toInt();
    }
    void expectBox(const std::string& text, const QString& title) {
        const MsgBoxCall b = lastBox();
        EXPECT_EQ(b.text.toStdString(), text);
        EXPECT_EQ(b.title, title);
        EXPECT_EQ(b.icon(), vbInformation);
    }
    ::testing::AssertionResult reviewUnanswered() {
        return WhileModal(frmReview, [&] { Click(frmExam.cmdReview()); },
                               [&] { Click(frmReview.cmdRevUnAns()); });
    }
};

}  // namespace

TEST_F(ExamNavigationTest, ALinearRunStopsAtBothEndsKeepingTheQuestion) {
    const auto q = ofType("S", 3);
    startRun({{q[0]}, {q[1]}, {q[2]}}, Mode::Linear);
    Click(frmExam.cmdPrev());
    expectBox("You are at the First Question", "Exam Questions...");
    EXPECT_FALSE(frmExam.cmdPrev()->isEnabled());
    EXPECT_EQ(gintCurQId, q[0]);
    EXPECT_EQ(frmExam.intQuestLbls, 1);

    Click(frmExam.cmdNext());
    EXPECT_TRUE(frmExam.cmdPrev()->isEnabled());
    Click(frmExam.cmdNext());
    EXPECT_EQ(frmExam.lblQno()->text(), "3");
    Click(frmExam.cmdNext());
    expectBox("You are at the Last Question", "Exam Questions");
    EXPECT_FALSE(frmExam.cmdNext()->isEnabled());
    EXPECT_EQ(gintCurQId, q[2]);
    EXPECT_EQ(frmExam.intQuestLbls, 1);
    Click(frmExam.cmdPrev());
    EXPECT_TRUE(frmExam.cmdNext()->isEnabled());
    EXPECT_EQ(gintCurQId, q[1]);
}

// Previous switched off in the configuration is not offered at all that run.
TEST_F(ExamNavigationTest, PreviousAndReviewSwitchedOffStayOff) {
    const auto q = ofType("S", 2);
    gcnExam->Execute("UPDATE AdminConfig SET Previous = 0 where Index = 1");
    startRun({{q[0]}, {q[1]}}, Mode::Linear);
    EXPECT_FALSE(frmExam.cmdPrev()->isEnabled());
    EXPECT_TRUE(frmExam.cmdReview()->isEnabled());
    Click(frmExam.cmdNext());
    ASSERT_TRUE(WhileModal(frmReview, [&] { Click(frmExam.cmdReview()); }, [] {}));
    EXPECT_FALSE(frmExam.cmdPrev()->isEnabled());
    frmExam.Unload();

    gcnExam->Execute("UPDATE AdminConfig SET Previous = 1, Review = 0 where Index = 1");
    startRun({{q[0]}, {q[1]}}, Mode::Linear);
    EXPECT_TRUE(frmExam.cmdPrev()->isEnabled());
    EXPECT_FALSE(frmExam.cmdReview()->isEnabled());
}

TEST_F(ExamNavigationTest, UnansweredOnlySkipsAnsweredQuestionsAndKeepsEveryAnswer) {
    const auto q = ofType("S", 5);
    startRun({{q[0]}, {q[1]}, {q[2]}, {q[3]}, {q[4]}}, Mode::Linear);
    Click(frmExam.cmdNext());
    answerCorrectly(q[1]);
    Click(frmExam.cmdNext());
    answerWrongly(q[2]);
    Click(frmExam.cmdNext());

    ASSERT_TRUE(reviewUnanswered());
    EXPECT_TRUE(gblnRevUnAns);
    EXPECT_FALSE(frmReview.IsLoaded());
    ASSERT_EQ(gintCurQId, q[0]);
    answerCorrectly(q[0]);
    Click(frmExam.cmdNext());
    EXPECT_EQ(gintCurQId, q[3]) << "the answered questions are passed over";
    EXPECT_EQ(chosen(q[0]), std::vector<long long>{options(q[0], 1).front()});
    EXPECT_EQ(chosen(q[1]), std::vector<long long>{options(q[1], 1).front()});
    EXPECT_EQ(chosen(q[2]), std::vector<long long>{options(q[2], 0).front()});
    Click(frmExam.cmdNext());
    Click(frmExam.cmdNext());
    expectBox("You are at the Last Unaswered Question", "Exam Questions");
    EXPECT_EQ(gintCurQId, q[4]) << "the question on screen stays";
    EXPECT_FALSE(frmExam.cmdNext()->isEnabled());
    Click(frmExam.cmdPrev());
    EXPECT_EQ(gintCurQId, q[3]);
    Click(frmExam.cmdPrev());
    expectBox("You are at the First Unaswered Question", "Exam Questions...");
    EXPECT_EQ(gintCurQId, q[3]);
    EXPECT_EQ(frmExam.intQuestLbls, 1);

    // Every question answered: the review list says so and stays open.
    answerCorrectly(q[3]);
    Click(frmExam.cmdNext());
    answerCorrectly(q[4]);
    ASSERT_TRUE(WhileModal(frmReview, [&] { Click(frmExam.cmdReview()); }, [&] {
        Click(frmReview.cmdRevUnAns());
        expectBox("No Unanswered Question", "Exam Questions");
        EXPECT_TRUE(frmReview.IsLoaded());
    }));
    EXPECT_EQ(gintCurQId, q[4]);
}

TEST_F(ExamNavigationTest, EveryCellOfTheLevelTableFallsBackInItsOrder) {
    std::vector<Item> run;
    for (const char* level : {"E", "I", "B"})
        for (long long qid : ofType("S", 2, level)) run.push_back({qid, level});
    fillRun(run);
    const std::vector<std::tuple<QString, bool, std::vector<QString>>> table = {
        {"B", true, {"I", "E", "B"}}, {"B", false, {"B", "I", "E"}}, {"I", true, {"E", "I", "B"}},
        {"I", false, {"B", "I", "E"}}, {"E", true, {"E", "I", "B"}}, {"E", false, {"I", "B", "E"}}};
    for (const auto& [left, correct, levels] : table) {
        gcnExam->Execute("UPDATE QuestIds SET Attempted = 0");
        for (const QString& expected : levels) {
            const auto next = adaptive::ChooseNext(*gcnExam, left, correct);
            ASSERT_TRUE(next) << left.toStdString() << (correct ? " right" : " wrong");
            EXPECT_EQ(next->level, expected) << left.toStdString() << (correct ? " right" : " wrong");
            // The first unissued question of that level by Index.
            EXPECT_EQ(next->index,
                      gcnExam->Scalar("SELECT min(Index) FROM QuestIds where DiffLvl = ?", {expected.toStdString()})
                          .toInt());
            gcnExam->Execute("UPDATE QuestIds SET Attempted = 1 where DiffLvl = ?", {expected.toStdString()});
        }
        EXPECT_FALSE(adaptive::ChooseNext(*gcnExam, left, correct));
    }
    EXPECT_FALSE(adaptive::ChooseNext(*gcnExam, "X", true)) << "no level follows an unknown one";
}

// Weights B 1, I 2, E 3; the run stops issuing at 7 points.
TEST_F(ExamNavigationTest, AdaptiveRunIssuesByTheAnswersAndCountsWeightAndScoreOnce) {
    const auto b = ofType("S", 2, "B"), i = ofType("S", 2, "I"), e = ofType("S", 2, "E");
    gintExamLimit = 7;
    startRun({{i[0], "I"}, {b[0], "B"}, {e[0], "E"}, {b[1], "B"}, {i[1], "I"}, {e[1], "E"}}, Mode::Adaptive);
    EXPECT_EQ(gintCurQId, b[0]) << "the first beginner question by Index";
    EXPECT_EQ(order(2), 1);
    EXPECT_EQ(frmExam.lblQno()->text(), "2");

    answerCorrectly(b[0]);
    Click(frmExam.cmdNext());
    EXPECT_EQ(gintCurQId, i[0]) << "a correct B leads to I";
    EXPECT_EQ(order(1), 2);
    EXPECT_EQ(gintAdapScore, 1);
    // Back and forth behind the newest question: nothing counts again.
    Click(frmExam.cmdPrev());
    EXPECT_EQ(gintCurQId, b[0]);
    Click(frmExam.cmdNext());
    EXPECT_EQ(gintCurQId, i[0]);
    Click(frmExam.cmdPrev());
    Click(frmExam.cmdNext());
    EXPECT_EQ(gintAdapScore, 1);

    answerWrongly(i[0]);
    Click(frmExam.cmdNext());
    EXPECT_EQ(gintCurQId, b[1]) << "a wrong I leads to B";
    answerCorrectly(b[1]);
    Click(frmExam.cmdNext());
    EXPECT_EQ(gintCurQId, i[1]);
    answerCorrectly(i[1]);
    Click(frmExam.cmdNext());
    EXPECT_EQ(gintCurQId, e[0]) << "a correct I leads to E";
    EXPECT_EQ(gintAdapScore, 4);

    // 1 + 2 + 1 + 2 points were counted; leaving E makes 9: the stop.
    answerWrongly(e[0]);
    Click(frmExam.cmdNext());
    expectBox("You are at the Last Question", "Exam Score");
    EXPECT_EQ(gintCurQId, e[0]);
    EXPECT_EQ(order(6), 0) << "nothing more is issued";
    Click(frmExam.cmdNext());
    EXPECT_EQ(boxes.size(), 2u);
    EXPECT_EQ(gintAdapScore, 4);
    Click(frmExam.cmdPrev());
    EXPECT_EQ(gintCurQId, i[1]);
    Click(frmExam.cmdNext());
    Click(frmExam.cmdPrev());
    Click(frmExam.cmdNext());
    EXPECT_EQ(gintAdapScore, 4) << "leaving a correct question again adds nothing";
    answerCorrectly(e[0]);
    Click(frmExam.cmdNext());
    expectBox("You are at the Last Question", AppTitle());
    EXPECT_EQ(gintAdapScore, 7);

    // Changing an answer after the stop changes the score handed to the grade report.
    Click(frmExam.cmdPrev());
    answerWrongly(i[1]);
    Click(frmExam.cmdEndExam());
    EXPECT_EQ(gintAdapScore, 5);
}

TEST_F(ExamNavigationTest, AnAdaptiveRunWithoutBeginnersOrQuestionsLeftKeepsItsLastQuestion) {
    const long long i = ofType("S", 1, "I").front(), e = ofType("S", 1, "E").front();
    gintExamLimit = 100;
    startRun({{e, "E"}, {i, "I"}}, Mode::Adaptive);
    EXPECT_EQ(gintCurQId, i) << "no B: the first of the lowest level present";
    answerWrongly(i);
    Click(frmExam.cmdNext());
    EXPECT_EQ(gintCurQId, e);
    for (int n = 0; n < 2; ++n) {
        Click(frmExam.cmdNext());
        expectBox("You are at the Last Question", "Exam Score");
        EXPECT_EQ(gintCurQId, e);
        EXPECT_EQ(frmExam.intQuestLbls, 1);
        EXPECT_EQ(order(1), 2);
        EXPECT_EQ(order(2), 1);
    }
    Click(frmExam.cmdPrev());
    EXPECT_EQ(gintCurQId, i);
}

// Review jumps and unanswered questions in an adaptive run move over the
// issued questions; a question never issued leads back to the issue position.
TEST_F(ExamNavigationTest, AdaptiveReviewJumpsFollowTheIssuedQuestions) {
    const auto b = ofType("S", 3, "B");
    const long long e = ofType("S", 1, "E").front();
    gintExamLimit = 50;
    startRun({{b[0], "B"}, {b[1], "B"}, {b[2], "B"}, {e, "E"}}, Mode::Adaptive);
    answerWrongly(b[0]);
    Click(frmExam.cmdNext());
    ASSERT_EQ(gintCurQId, b[1]);
    Click(frmExam.cmdNext());
    ASSERT_EQ(gintCurQId, b[2]);

    frmExam.ShowQuestionAt(1);
    EXPECT_EQ(gintCurQId, b[0]);
    Click(frmExam.cmdNext());
    EXPECT_EQ(gintCurQId, b[1]) << "on from the question jumped to";
    frmExam.ShowQuestionAt(4);  // never issued
    EXPECT_EQ(gintCurQId, e);
    Click(frmExam.cmdNext());
    EXPECT_EQ(gintCurQId, b[1]) << "back to the issue position";
    EXPECT_EQ(order(4), 0);

    answerCorrectly(b[1]);
    ASSERT_TRUE(reviewUnanswered());
    ASSERT_TRUE(gblnRevUnAns);
    EXPECT_EQ(gintCurQId, b[2]) << "the first unanswered issued question";
    Click(frmExam.cmdNext());
    expectBox("You are at the Last Unaswered Question", "Exam Questions");
    EXPECT_EQ(gintCurQId, b[2]);
    EXPECT_EQ(order(4), 0) << "unanswered questions only: nothing is issued";
    EXPECT_EQ(chosen(b[1]).size(), 1u);
}

// The window judges the question on screen by its saved answers, with the
// rule the grade report uses.
TEST_F(ExamNavigationTest, ChkAnsCorJudgesTheSavedAnswersOfEachType) {
    const long long s = ofType("S").front(), m = ofType("M").front(), d = ofType("D").front(),
                    sim = ofType("SIM").front();
    startRun({{s}, {m}, {d}, {sim}}, Mode::Linear);
    answerCorrectly(s);
    EXPECT_FALSE(frmExam.ChkAnsCor()) << "ticks count once saved";
    Click(frmExam.cmdNext());
    Click(frmExam.cmdPrev());
    EXPECT_TRUE(frmExam.ChkAnsCor());
    gcnExam->Execute("UPDATE Answers SET CorrectAns = 0 where QId = ?", {s});
    EXPECT_FALSE(frmExam.ChkAnsCor()) << "a question without a correct option";

    Click(frmExam.cmdNext());
    std::vector<long long> all = options(m, 1);
    for (long long o : options(m, 0)) all.push_back(o);
    tick(all);
    Click(frmExam.cmdNext());
    Click(frmExam.cmdPrev());
    EXPECT_FALSE(frmExam.ChkAnsCor()) << "every option ticked";
    tick(options(m, 0));
    Click(frmExam.cmdNext());
    Click(frmExam.cmdPrev());
    EXPECT_TRUE(frmExam.ChkAnsCor());

    // The drag-and-drop and simulator answers are their windows' rows.
    Click(frmExam.cmdNext());
    EXPECT_FALSE(frmExam.ChkAnsCor());
    gcnExam->Execute("UPDATE DragNDrop SET AnsSel = Index where QId = ?", {d});
    EXPECT_TRUE(frmExam.ChkAnsCor());
    Click(frmExam.cmdNext());
    EXPECT_FALSE(frmExam.ChkAnsCor());
    gcnExam->Execute("UPDATE SimCommands SET CmdTyped = 1 where QId = ?", {sim});
    EXPECT_TRUE(frmExam.ChkAnsCor());
}

// Previous goes back over the issued questions only: from the first one issued
// it stops there, though questions never issued wait in the run before and
// after it.
TEST_F(ExamNavigationTest, AdaptivePreviousNeverLandsOnAQuestionNotIssued) {
    const auto b = ofType("S", 2, "B"), i = ofType("S", 2, "I");
    const long long e = ofType("S", 1, "E").front();
    gintExamLimit = 50;
    startRun({{i[0], "I"}, {e, "E"}, {b[0], "B"}, {i[1], "I"}, {b[1], "B"}}, Mode::Adaptive);
    ASSERT_EQ(gintCurQId, b[0]);
    ASSERT_EQ(order(3), 1);

    Click(frmExam.cmdPrev());
    expectBox("You are at the First Question", "Exam Questions...");
    EXPECT_EQ(gintCurQId, b[0]);
    EXPECT_EQ(frmExam.intQuestLbls, 1);
    EXPECT_FALSE(frmExam.cmdPrev()->isEnabled());

    answerCorrectly(b[0]);
    Click(frmExam.cmdNext());
    ASSERT_EQ(gintCurQId, i[0]) << "a correct B leads to I";
    ASSERT_EQ(order(1), 2);
    EXPECT_TRUE(frmExam.cmdPrev()->isEnabled());
    boxes.clear();
    Click(frmExam.cmdPrev());
    EXPECT_EQ(gintCurQId, b[0]);
    EXPECT_TRUE(boxes.empty());
    Click(frmExam.cmdPrev());
    expectBox("You are at the First Question", "Exam Questions...");
    EXPECT_EQ(gintCurQId, b[0]);
    for (long long index : {2, 4, 5}) EXPECT_EQ(order(index), 0) << "Index " << index;
    Click(frmExam.cmdNext());
    EXPECT_EQ(gintCurQId, i[0]) << "forward again to the newest question";
}
