// Saved results of a bank numbered beyond 32,767 and of runs longer than
// 32,767 questions: written, listed and rebuilt with every number as it was.
#include "results/resultfile.h"
#include "results/savedresults.h"
#include "run.h"
#include "startup/state.h"
#include "support/fixture.h"
#include "support/largebank.h"

#include <string>

using namespace results;
using namespace results_test;

namespace {

class LargeResultTest : public pemu_test::ProgramTest {
protected:
    ReopenOutcome reopen(int row) { return ReopenResult(*gcnExam, folder(), {"cand01", false}, row); }
    void emptyRun() {
        for (const char* sql : {"DELETE * from QuestIds", "DELETE * from AnsIds", "DELETE * from AnsSelected",
                                "UPDATE DragNDrop SET AnsRand = 0, AnsSel = 0", "UPDATE SimCommands SET CmdTyped = 0"})
            gcnExam->Execute(sql);
    }
};

}  // namespace

TEST_F(LargeResultTest, IdsBeyond32767AreSavedAndReopenedAsTheyWere) {
    largebank::ReplaceBank(*gcnExam, {20, 40001, 40001, 50001, 60001});
    gcnExam->Execute("INSERT INTO ResultsBrief (Index,UserName,FileName,Score,PassScore,MaxScore,Percentage) "
                     "VALUES (40000,'other','other_1226_1000',0,0,0,0)");
    plat::Recordset qs = gcnExam->OpenRecordset("SELECT QId FROM Questions ORDER BY QId");
    bool right = true;
    for (; !qs.Eof(); qs.MoveNext(), right = !right) {
        AddToRun(*gcnExam, qs.Fields(0).toInt());
        Answer(*gcnExam, qs.Fields(0).toInt(), right);
    }
    gcnExam->Execute("UPDATE DragNDrop SET AnsRand = Index + 1 WHERE Index % 3 <> 0");
    gcnExam->Execute("UPDATE DragNDrop SET AnsRand = Index - 2 WHERE Index % 3 = 0");
    const Tables taken = Snapshot(*gcnExam);

    const SaveOutcome saved = SaveResult(*gcnExam, folder(),
                                         FailedRunRequest("Cand", "cand01", "CCNA", QDate(2026, 12, 7), QTime(9, 5)));
    ASSERT_TRUE(saved.saved) << saved.message.text.toStdString();
    EXPECT_EQ(saved.index, 40001);
    const std::string text = ReadFile((folder() / "results" / (saved.key.toStdString() + ".erf")).string());
    for (const char* line : {"qid : 40001\r\n", "ansid : 40001\r\n", "selansid : 40001\r\n", "ansid : 50001\r\n",
                             "ansrand : 50002\r\n", "anssel : 50001\r\n", "selansid : 60001\r\n"})
        EXPECT_NE(text.find(line), std::string::npos) << line;

    emptyRun();
    const ReopenOutcome o = reopen(1);
    ASSERT_TRUE(o.ok) << o.message.text.toStdString();
    EXPECT_EQ(Snapshot(*gcnExam), taken);
}

TEST_F(LargeResultTest, AFileOfMoreThan32767QuestionsIsReadAndReplayedWhole) {
    std::string text;
    for (long long i = 1; i <= 33000; ++i)
        text += "qid : " + std::to_string(100000 + i) + "\r\nqtype : S\r\nansid : " + std::to_string(200000 + i) +
                "\r\nselansid : " + std::to_string(200000 + i) + "\r\n";
    text += "qid : 9223372036854775807\r\nqtype : X\r\n";
    const ParsedFile parsed = ParseResultFile(QByteArray::fromStdString(text));
    ASSERT_TRUE(parsed.ok()) << parsed.problem.toStdString() << " at line " << parsed.badLine;
    ASSERT_EQ(parsed.lines.size(), 33000u * 4 + 2);
    EXPECT_EQ(parsed.lines[parsed.lines.size() - 2].value, 9223372036854775807LL);

    emptyRun();
    plat::Transaction t(*gcnExam);
    ReplayRun(*gcnExam, parsed.lines);
    t.Commit();
    EXPECT_EQ(gcnExam->Scalar("SELECT count(*) FROM QuestIds").toInt(), 33001);
    EXPECT_EQ(gcnExam->Scalar("SELECT QId FROM QuestIds WHERE Index = 33000").toInt(), 133000);
    EXPECT_EQ(gcnExam->Scalar("SELECT QId FROM QuestIds WHERE Index = 33001").toInt(), 9223372036854775807LL);
    EXPECT_EQ(gcnExam->Scalar("SELECT AnsId FROM AnsIds WHERE Index = 33000").toInt(), 233000);
    EXPECT_EQ(gcnExam->Scalar("SELECT Answer FROM AnsSelected WHERE QId = 132768").toInt(), 232768);

    // One past the 64-bit range is refused, naming its line.
    const ParsedFile beyond = ParseResultFile("qid : 5\r\nqtype : S\r\nansid : -9223372036854775809\r\n");
    EXPECT_EQ(beyond.badLine, 3);
}
