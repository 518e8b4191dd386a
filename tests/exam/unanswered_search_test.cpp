// The search for the next and previous unanswered question of a run, which
// the database answers in one query: every question type answered and not,
// answers stored in the table of another type, a type that only differs in
// letter case, a question the bank does not hold, bookmarks (which do not
// count), the last question, and an adaptive run's issue order.
#include "exam/examnav.h"
#include "results/frmReview.h"
#include "startup/state.h"
#include "support/fixture.h"

#include <optional>
#include <string>
#include <vector>

using namespace plat;

namespace {

class UnansweredSearchTest : public pemu_test::ProgramTest {
protected:
    std::vector<long long> ofType(const std::string& type, int n) {
        std::vector<long long> q;
        Recordset rs = gcnExam->OpenRecordset("SELECT QId FROM Questions where QType = ? ORDER BY QId", {type});
        for (; !rs.Eof() && static_cast<int>(q.size()) < n; rs.MoveNext()) q.push_back(rs.Fields(0).toInt());
        EXPECT_EQ(static_cast<int>(q.size()), n) << "the bank has too few " << type << " questions";
        return q;
    }
    long long firstRow(const char* table, long long qid) {
        return gcnExam->Scalar(std::string("SELECT min(Index) FROM ") + table + " where QId = ?", {qid}).toInt();
    }

    // Index 1..n in run order; `order` gives each one's issue number (0: not issued).
    void fillRun(const std::vector<long long>& qids, const std::vector<int>& order = {}) {
        gcnExam->Execute("DELETE * from QuestIds");
        gcnExam->Execute("DELETE * from AnsSelected");
        gcnExam->Execute("UPDATE DragNDrop SET AnsSel = 0");
        gcnExam->Execute("UPDATE SimCommands SET CmdTyped = 0");
        for (size_t i = 0; i < qids.size(); ++i)
            gcnExam->Execute("INSERT INTO QuestIds (Index,QId,Attempted,ExamQIdsOrder) VALUES (?,?,?,?)",
                             {static_cast<long long>(i + 1), qids[i], order.empty() || order[i] == 0 ? 0 : 1,
                              order.empty() ? 0 : order[i]});
    }

    static int at(const std::optional<examnav::RunQuestion>& q) { return q ? q->index : 0; }
};

}  // namespace

TEST_F(UnansweredSearchTest, NextAndPreviousFindTheNearestQuestionWithoutAnAnswerOfItsOwnType) {
    const auto s = ofType("S", 3);
    const auto m = ofType("M", 1);
    const auto d = ofType("D", 2);
    const auto sim = ofType("SIM", 3);
    const long long missing = gcnExam->Scalar("SELECT max(QId) + 1 FROM Questions").toInt();
    //            1     2     3     4     5       6       7        8     9       10
    fillRun({s[0], m[0], d[0], d[1], sim[0], sim[1], missing, s[1], sim[2], s[2]});

    auto choose = [](long long qid, long long option) {
        gcnExam->Execute("INSERT INTO AnsSelected (QId,Answer) VALUES (?,?)", {qid, option});
    };
    choose(s[0], OptionsOf(s[0], 0).front());                      // 1 answered, even wrongly
    gcnExam->Execute("UPDATE DragNDrop SET AnsSel = ? where Index = ?",  // 3 answered: one slot filled
                     {firstRow("DragNDrop", d[0]), firstRow("DragNDrop", d[0])});
    choose(d[1], 1);                                               // 4: a choice is no drag-and-drop answer
    gcnExam->Execute("UPDATE SimCommands SET CmdTyped = 1 where Index = ?", {firstRow("SimCommands", sim[0])});  // 5
    gcnExam->Execute("UPDATE SimCommands SET CmdTyped = 2 where Index = ?", {firstRow("SimCommands", sim[1])});  // 6: not 1
    choose(s[1], OptionsOf(s[1], 1).front());                      // 8 answered
    gcnExam->Execute("INSERT INTO BookMarkExam (QId) VALUES (?)", {s[1]});
    gcnExam->Execute("INSERT INTO BookMark (QId) VALUES (?)", {m[0]});
    gcnExam->Execute("UPDATE SimCommands SET CmdTyped = 1 where QId = ?", {sim[2]});  // 9 answered
    choose(s[2], OptionsOf(s[2], 1).front());                      // 10, the last, answered

    EXPECT_EQ(at(examnav::FirstUnanswered(*gcnExam, false)), 2);
    EXPECT_EQ(at(examnav::After(*gcnExam, 1, true)), 2);
    EXPECT_EQ(at(examnav::After(*gcnExam, 2, true)), 4) << "a filled slot answers a drag-and-drop question";
    EXPECT_EQ(at(examnav::After(*gcnExam, 4, true)), 6) << "one typed command answers a simulation";
    EXPECT_EQ(at(examnav::After(*gcnExam, 6, true)), 7) << "a question the bank does not hold is never answered";
    EXPECT_EQ(at(examnav::After(*gcnExam, 7, true)), 0) << "the answered ones to the last are passed over";
    EXPECT_EQ(at(examnav::After(*gcnExam, 7, false)), 8);
    EXPECT_EQ(at(examnav::Before(*gcnExam, 10, true)), 7);
    EXPECT_EQ(at(examnav::Before(*gcnExam, 6, true)), 4);
    EXPECT_EQ(at(examnav::Before(*gcnExam, 4, true)), 2);
    EXPECT_EQ(at(examnav::Before(*gcnExam, 2, true)), 0);

    // The review list's rule agrees, question by question.
    const bool expected[] = {true, false, true, false, true, false, false, true, true, true};
    Recordset run = gcnExam->OpenRecordset("SELECT Index,QId FROM QuestIds ORDER BY Index");
    for (const bool want : expected) {
        ASSERT_FALSE(run.Eof());
        EXPECT_EQ(frmReview.chkQuesAnswered(static_cast<int16_t>(run.Fields("QId").toInt())), want)
            << "question " << run.Fields("Index").toInt();
        run.MoveNext();
    }

    // A type stored in another letter case is no type that can be answered.
    gcnExam->Execute("UPDATE Questions SET QType = 's' where QId = ?", {s[1]});
    EXPECT_EQ(at(examnav::After(*gcnExam, 7, true)), 8);
    EXPECT_FALSE(frmReview.chkQuesAnswered(static_cast<int16_t>(s[1])));

    // Every question answered: nothing is found either way.
    gcnExam->Execute("UPDATE Questions SET QType = 'S' where QId = ?", {s[1]});
    fillRun({s[0], s[2]});
    choose(s[0], OptionsOf(s[0], 1).front());
    choose(s[2], OptionsOf(s[2], 1).front());
    EXPECT_EQ(at(examnav::FirstUnanswered(*gcnExam, false)), 0);
    EXPECT_EQ(at(examnav::Before(*gcnExam, 3, true)), 0);
}

TEST_F(UnansweredSearchTest, AnAdaptiveRunIsSearchedInIssueOrderOverTheIssuedQuestionsOnly) {
    const auto s = ofType("S", 6);
    // Index:        1  2  3  4  5  6
    // issue number: 3  2  0  4  0  1
    fillRun(s, {3, 2, 0, 4, 0, 1});
    gcnExam->Execute("INSERT INTO AnsSelected (QId,Answer) VALUES (?,?)", {s[0], OptionsOf(s[0], 1).front()});

    EXPECT_EQ(at(examnav::FirstUnanswered(*gcnExam, true)), 6);
    EXPECT_EQ(at(examnav::IssuedAfter(*gcnExam, 1, true)), 2);
    EXPECT_EQ(at(examnav::IssuedAfter(*gcnExam, 2, true)), 4) << "issue 3 is answered";
    EXPECT_EQ(at(examnav::IssuedAfter(*gcnExam, 4, true)), 0) << "questions never issued are not visited";
    EXPECT_EQ(at(examnav::IssuedBefore(*gcnExam, 4, true)), 2);
    EXPECT_EQ(at(examnav::IssuedBefore(*gcnExam, 2, true)), 6);
    EXPECT_EQ(at(examnav::IssuedBefore(*gcnExam, 1, true)), 0);
    const auto q = examnav::IssuedBefore(*gcnExam, 4, true);
    ASSERT_TRUE(q);
    EXPECT_EQ(q->qid, s[1]);
    EXPECT_EQ(q->order, 2);
}
