// The answered and correct rules of each question type, judged from the saved
// answers of the shipped bank's own questions.
#include "exam/answers.h"
#include "startup/state.h"
#include "support/fixture.h"

#include <vector>

using namespace plat;

namespace {

class AnswersTest : public pemu_test::ProgramTest {
protected:
    long long firstOfType(const std::string& type) {
        return gcnExam->Scalar("SELECT min(QId) FROM Questions where QType = ?", {type}).toInt();
    }
    void choose(long long qid, const std::vector<long long>& chosen) {
        gcnExam->Execute("DELETE * from AnsSelected where QId = ?", {qid});
        for (long long a : chosen) gcnExam->Execute("INSERT INTO AnsSelected (QId,Answer) VALUES (?,?)", {qid, a});
    }
    bool answered(long long qid, const std::string& t) { return answers::IsAnswered(*gcnExam, qid, t); }
    bool correct(long long qid, const std::string& t) { return answers::IsCorrect(*gcnExam, qid, t); }
};

}  // namespace

TEST_F(AnswersTest, SingleAnswerIsCorrectOnlyWithItsCorrectOption) {
    const long long q = firstOfType("S");
    ASSERT_EQ(answers::TypeOf(*gcnExam, q), "S");
    const auto right = OptionsOf(q, 1);
    const auto wrong = OptionsOf(q, 0);
    ASSERT_EQ(right.size(), 1u);
    ASSERT_FALSE(wrong.empty());
    EXPECT_FALSE(answered(q, "S"));
    EXPECT_FALSE(correct(q, "S")) << "no choice saved";
    choose(q, wrong);
    EXPECT_TRUE(answered(q, "S"));
    EXPECT_FALSE(correct(q, "S"));
    choose(q, right);
    EXPECT_TRUE(correct(q, "S"));
    // A question the bank gives no correct option: wrong, whatever is chosen.
    gcnExam->Execute("UPDATE Answers SET CorrectAns = 0 where QId = ?", {q});
    EXPECT_FALSE(correct(q, "S"));
}

TEST_F(AnswersTest, MultipleAnswerIsCorrectOnlyWithExactlyTheCorrectOptions) {
    const long long q = firstOfType("M");
    const auto right = OptionsOf(q, 1);
    const auto wrong = OptionsOf(q, 0);
    ASSERT_GE(right.size(), 2u);
    ASSERT_FALSE(wrong.empty());
    EXPECT_FALSE(correct(q, "M"));
    choose(q, right);
    EXPECT_TRUE(answered(q, "M"));
    EXPECT_TRUE(correct(q, "M"));
    choose(q, {right.begin(), right.end() - 1});
    EXPECT_FALSE(correct(q, "M")) << "one correct option missing";
    // As many ticks as there are correct options, one of them wrong.
    std::vector<long long> swapped(right.begin(), right.end() - 1);
    swapped.push_back(wrong.front());
    choose(q, swapped);
    EXPECT_TRUE(answered(q, "M"));
    EXPECT_FALSE(correct(q, "M")) << "a wrong option in place of a correct one";
    std::vector<long long> all = right;
    all.push_back(wrong.front());
    choose(q, all);
    EXPECT_FALSE(correct(q, "M")) << "an extra wrong tick";
    all.insert(all.end(), wrong.begin() + 1, wrong.end());
    choose(q, all);
    EXPECT_FALSE(correct(q, "M")) << "every option ticked";
}

TEST_F(AnswersTest, DragAndDropIsCorrectWhenEveryRowHoldsItsOwnAnswer) {
    const long long q = firstOfType("D");
    Recordset rs = gcnExam->OpenRecordset("SELECT Index FROM DragNDrop where QId = ? ORDER BY Index", {q});
    std::vector<long long> rows;
    for (; !rs.Eof(); rs.MoveNext()) rows.push_back(rs.Fields(0).toInt());
    ASSERT_GE(rows.size(), 3u);
    EXPECT_FALSE(answered(q, "D"));
    EXPECT_FALSE(correct(q, "D"));
    gcnExam->Execute("UPDATE DragNDrop SET AnsSel = ? where Index = ?", {rows[0], rows[0]});
    EXPECT_TRUE(answered(q, "D"));
    EXPECT_FALSE(correct(q, "D")) << "the other slots are empty";
    gcnExam->Execute("UPDATE DragNDrop SET AnsSel = Index where QId = ?", {q});
    EXPECT_TRUE(correct(q, "D"));
    gcnExam->Execute("UPDATE DragNDrop SET AnsSel = ? where Index = ?", {rows[2], rows[1]});
    gcnExam->Execute("UPDATE DragNDrop SET AnsSel = ? where Index = ?", {rows[1], rows[2]});
    EXPECT_FALSE(correct(q, "D")) << "two answers swapped";
    gcnExam->Execute("DELETE * from DragNDrop where QId = ?", {q});
    EXPECT_TRUE(correct(q, "D")) << "a question without rows has nothing wrong";
    EXPECT_FALSE(answered(q, "D"));
}

TEST_F(AnswersTest, SimulationIsCorrectWhenEveryCommandIsTyped) {
    const long long q = firstOfType("SIM");
    const long long n = gcnExam->Scalar("SELECT count(*) FROM SimCommands where QId = ?", {q}).toInt();
    ASSERT_GE(n, 2);
    EXPECT_FALSE(answered(q, "SIM"));
    EXPECT_FALSE(correct(q, "SIM"));
    gcnExam->Execute("UPDATE SimCommands SET CmdTyped = 1 where QId = ? and Index = (SELECT min(Index) FROM "
                     "SimCommands where QId = ?)",
                     {q, q});
    EXPECT_TRUE(answered(q, "SIM"));
    EXPECT_FALSE(correct(q, "SIM"));
    gcnExam->Execute("UPDATE SimCommands SET CmdTyped = 1 where QId = ?", {q});
    EXPECT_TRUE(correct(q, "SIM"));
    // Only 1 means typed.
    gcnExam->Execute("UPDATE SimCommands SET CmdTyped = 2 where QId = ?", {q});
    EXPECT_FALSE(answered(q, "SIM"));
    EXPECT_FALSE(correct(q, "SIM"));
}

TEST_F(AnswersTest, AnUnknownTypeIsNeverAnsweredNorCorrect) {
    const long long q = firstOfType("S");
    choose(q, OptionsOf(q, 1));
    EXPECT_FALSE(answered(q, "UA"));
    EXPECT_FALSE(correct(q, "UA"));
    EXPECT_EQ(answers::TypeOf(*gcnExam, 999999), "");
}
