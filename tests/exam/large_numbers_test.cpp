// Numbers beyond 32,767 where the exam window reads them: option rows, question
// ids, places in a run of 33,000 questions and issue numbers, through the
// lookups and through the window itself, and a bank larger than a run can number.
#include "exam/examnav.h"
#include "exam/examrun.h"
#include "exam/setupcheck.h"
#include "exam_fixture.h"
#include "startup/state.h"
#include "support/largebank.h"

using namespace exam_test;
using namespace plat;

namespace {

constexpr long long kRunSize = 33000;
constexpr long long kQ = 40001;  // the bank's first question, an "S" question

class LargeNumbersTest : public ExamTest {
protected:
    void SetUp() override {
        ExamTest::SetUp();
        largebank::ReplaceBank(*gcnExam, {20, kQ, 40001, 50001, 60001});
        // A run of 33,000 questions, the last of them the bank's first, whose
        // options are shown in stored order.
        gcnExam->ExecScript(
            "DELETE FROM QuestIds; DELETE FROM AnsIds;"
            "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 33000) "
            "INSERT INTO QuestIds (\"Index\", QId, Attempted, ExamQIdsOrder) SELECT i, 100000 + i, 1, i FROM n;"
            "UPDATE QuestIds SET QId = 40001 WHERE \"Index\" = 33000;"
            "INSERT INTO AnsIds (\"Index\", AnsId, Qid) SELECT \"Index\" - 40000, \"Index\", QId FROM Answers "
            "WHERE QId = 40001;");
    }
};

}  // namespace

TEST_F(LargeNumbersTest, AQuestionLoadsWithItsOptionsAndPlaceAndKeepsItsAnswersAndMarks) {
    Database& db = *gcnExam;
    examrun::Question q = examrun::LoadQuestion(db, kQ);
    ASSERT_TRUE(q.found);
    ASSERT_EQ(q.options.size(), 4u);
    for (size_t i = 0; i < 4; ++i) EXPECT_EQ(q.options[i].index, 40001 + static_cast<long long>(i));
    EXPECT_EQ(q.runIndex, kRunSize);
    EXPECT_EQ(q.runSize, kRunSize);

    examrun::SaveAnswers(db, kQ, {40003});
    q = examrun::LoadQuestion(db, kQ);
    ASSERT_EQ(q.options.size(), 4u);
    EXPECT_TRUE(q.options[2].chosen);
    EXPECT_FALSE(q.options[0].chosen);
    EXPECT_EQ(db.Scalar("SELECT Answer FROM AnsSelected WHERE QId = ?", {kQ}).toInt(), 40003);
    EXPECT_EQ(examrun::CorrectOptions(db, kQ, true), std::vector<long long>{40001});

    examrun::BoxClicked(db, examrun::Marks::Exam, kQ, true);
    EXPECT_EQ(examrun::MarkCount(db, examrun::Marks::Exam, kQ), 1);
    EXPECT_EQ(db.Scalar("SELECT QId FROM BookMarkExam").toInt(), kQ);
}

TEST_F(LargeNumbersTest, NextAndPreviousFindTheirQuestionsAcross32767) {
    Database& db = *gcnExam;
    const auto after = examnav::After(db, 32767, false);
    ASSERT_TRUE(after);
    EXPECT_EQ(after->index, 32768);
    EXPECT_EQ(after->qid, 100000 + 32768);
    EXPECT_EQ(examnav::Before(db, 32769, false)->index, 32768);
    EXPECT_EQ(examnav::At(db, kRunSize)->qid, kQ);
    EXPECT_FALSE(examnav::After(db, kRunSize, false));
    // The issue numbers run as far as the run.
    EXPECT_EQ(examnav::IssuedAfter(db, 32767, false)->order, 32768);
    EXPECT_EQ(examnav::IssuedBefore(db, 32769, false)->order, 32768);
}

TEST_F(LargeNumbersTest, TheWindowShowsAndSavesTheQuestionAtPlace33000) {
    gblnExamMode = false;
    gblnAdaptive = false;
    gblnFromResults = false;
    gintExamTime = 90;
    frmExam.Show();
    frmExam.ShowQuestionAt(kRunSize);
    EXPECT_EQ(gintCurQId, kQ);
    EXPECT_EQ(frmExam.mintCurQuesInd, kRunSize);
    EXPECT_EQ(frmExam.lblQno()->text(), "33000");
    EXPECT_EQ(frmExam.lblTot()->text(), "33000");
    EXPECT_EQ(frmExam.lblQId()->text(), "40001");
    ASSERT_EQ(frmExam.intAnsLbls, 4);

    Click(frmExam.optAnswer()(1));
    Click(frmExam.cmdPrev());
    EXPECT_EQ(frmExam.mintCurQuesInd, kRunSize - 1);
    EXPECT_EQ(chosen(kQ), std::vector<long long>{40001});
    Click(frmExam.cmdNext());
    EXPECT_EQ(gintCurQId, kQ);
    EXPECT_TRUE(frmExam.optAnswer()(1)->Value());
    EXPECT_TRUE(frmExam.ChkAnsCor());
    EXPECT_TRUE(endRequests.empty());
    EXPECT_TRUE(boxTexts().empty());
}

// A bank larger than one run can number: the set-up window says so instead of
// stopping. All of a bank of 40,000 questions, or a start beyond 32,767.
TEST(LargeBankSetUp, ARunBeyond32767QuestionsIsRefusedWithAMessage) {
    using namespace setupcheck;
    auto check = [](Source source, const char* count, const char* start, std::vector<int> cells = {}) {
        return Check(Entries{source, count, start, "60", 40000, std::move(cells)});
    };
    const auto all = check(Source::All, "40000", "1");
    ASSERT_TRUE(std::holds_alternative<Refusal>(all));
    EXPECT_EQ(std::get<Refusal>(all).box, Box::QuestNum);
    EXPECT_EQ(std::get<Refusal>(all).message.text, "A test can have at most 32767 Questions");
    const auto start = check(Source::All, "5", "39000");
    ASSERT_TRUE(std::holds_alternative<Refusal>(start));
    EXPECT_EQ(std::get<Refusal>(start).box, Box::StartFrom);
    EXPECT_EQ(std::get<Refusal>(start).message.text, "Starting Question Number cannot be more than 32767");
    EXPECT_TRUE(std::holds_alternative<Refusal>(check(Source::Custom, "0", "1", {20000, 12768})));

    const auto most = check(Source::All, "32767", "7233");
    ASSERT_TRUE(std::holds_alternative<Start>(most));
    EXPECT_EQ(std::get<Start>(most).count, 32767);
    EXPECT_EQ(std::get<Start>(most).start, 7233);
    EXPECT_TRUE(std::holds_alternative<Start>(check(Source::Custom, "0", "1", {20000, 12767})));
}
