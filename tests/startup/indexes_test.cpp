// The indexes of the per-question lookups: the schema and the start-up agree on
// them, a database made before them gains them when the program starts, and the
// lookups of the review list, grade report, result file and navigation use them.
#include "startup/indexes.h"
#include "startup/module1.h"
#include "support/fixture.h"

#include <map>
#include <set>
#include <utility>

using plat::Database;

namespace {

// Each index's key columns with their collations, read back from the file.
std::map<std::string, std::vector<std::pair<std::string, std::string>>> IndexShapes(Database& db) {
    std::map<std::string, std::vector<std::pair<std::string, std::string>>> shapes;
    for (auto idx = db.OpenRecordset("SELECT name FROM sqlite_master WHERE type = 'index'"); !idx.Eof();
         idx.MoveNext()) {
        const std::string name = idx.Fields(0).toString();
        auto& cols = shapes[name];
        for (auto rs = db.OpenRecordset("SELECT name, coll, key FROM pragma_index_xinfo(?)", {name}); !rs.Eof();
             rs.MoveNext())
            if (rs.Fields("key").toInt() == 1) cols.emplace_back(rs.Fields("name").toString(), rs.Fields("coll").toString());
    }
    return shapes;
}

class IndexesTest : public pemu_test::ProgramTest {};

}  // namespace

// The schema file (new databases) and the start-up (older ones) make the same
// indexes: dropped from a copy and made again at start-up, each has the same
// columns and collations as the schema gave it.
TEST_F(IndexesTest, TheSchemaAndTheStartUpMakeTheSameIndexes) {
    const auto fromSchema = IndexShapes(*gcnExam);
    std::set<std::string> names;
    for (const auto& d : indexes::All()) names.insert(d.name);
    std::set<std::string> inSchema;
    for (const auto& [name, cols] : fromSchema) inSchema.insert(name);
    EXPECT_EQ(inSchema, names) << "data/schema.sql and the start-up's list differ";

    for (const auto& d : indexes::All()) gcnExam->ExecScript("DROP INDEX " + d.name);
    Module1::Disconnect();
    ASSERT_EQ(Module1::Main(), 0) << (boxes.empty() ? std::string() : boxes.back().text.toStdString());
    EXPECT_EQ(IndexShapes(*gcnExam), fromSchema);
    EXPECT_TRUE(indexes::Ensure(*gcnExam).empty()) << "made again although present";
}

// A start-up on a database whose table is missing leaves that table's index
// alone: the missing table is reported where the program uses it.
TEST_F(IndexesTest, AMissingTableIsLeftToItsUsers) {
    gcnExam->ExecScript("DROP TABLE BookMarkExam; DROP INDEX AnsSelectedQId;");
    const std::vector<std::string> made = indexes::Ensure(*gcnExam);
    EXPECT_EQ(made, std::vector<std::string>{"AnsSelectedQId"});
}

// The lookups run per question (review list, grade report, result file, answer
// display) and per click (navigation, saving) search through their index.
TEST_F(IndexesTest, PerQuestionLookupsUseTheirIndexes) {
    const std::vector<std::pair<std::string, std::vector<std::string>>> plans = {
        {"SELECT count(*) FROM AnsSelected where QId = ?", {"AnsSelectedQId"}},
        {"SELECT Answer FROM AnsSelected where QId = ? ORDER BY rowid", {"AnsSelectedQId"}},
        {"DELETE FROM AnsSelected where QId = ?", {"AnsSelectedQId"}},
        {"SELECT AnsId FROM AnsIds where QId = ? ORDER BY Index", {"AnsIdsQid"}},
        {"SELECT Answers.Index, Answers.Answer, "
         "(SELECT count(*) FROM AnsSelected WHERE AnsSelected.QId = ? and AnsSelected.Answer = Answers.Index) "
         "FROM AnsIds INNER JOIN Answers ON Answers.Index = AnsIds.AnsId WHERE AnsIds.Qid = ? ORDER BY AnsIds.Index",
         {"AnsIdsQid", "AnswersIndex", "AnsSelectedQId"}},
        {"SELECT count(*) FROM BookMarkExam where QId = ?", {"BookMarkExamQId"}},
        {"SELECT count(*) FROM BookMark where QId = ?", {"BookMarkQId"}},
        {"SELECT Index FROM QuestIds WHERE QId = ? ORDER BY Index LIMIT 1", {"QuestIdsQId"}},
        {"SELECT Index,QId,DiffLvl,ExamQIdsOrder FROM QuestIds where Index > ? ORDER BY Index LIMIT 1",
         {"QuestIdsIndex"}},
        {"SELECT Index,QId,DiffLvl,ExamQIdsOrder FROM QuestIds where ExamQIdsOrder > ? ORDER BY ExamQIdsOrder",
         {"QuestIdsOrder"}},
        {"UPDATE QuestIds SET Attempted = 1,ExamQIdsOrder = ? where Index = ?", {"QuestIdsIndex"}},
        {"SELECT count(*) FROM DragNDrop where QId = ? and AnsSel <> 0", {"DragNDropQId"}},
        {"UPDATE DragNDrop SET AnsSel = ?,AnsRand = ? where Index = ?", {"DragNDropIndex"}},
        {"SELECT count(*) FROM SimCommands where QId = ? and CmdTyped = 1", {"SimCommandsQId"}},
        {"UPDATE SimCommands SET CmdTyped = 1 where Index = ?", {"SimCommandsIndex"}},
        {"SELECT Index FROM Answers where QId = ? and CorrectAns = 1 ORDER BY Index", {"AnswersQId"}},
        {"SELECT count(*) FROM ResultsBrief where FileName = ?", {"ResultsBriefFileName"}},
        {"SELECT Index,CandidateName,FileName FROM ResultsBrief where UserName = ? order by Index",
         {"ResultsBriefUserName"}},
    };
    for (const auto& [sql, expected] : plans) {
        std::string plan;
        std::vector<plat::Value> params;
        for (char c : sql)
            if (c == '?') params.emplace_back(1);
        for (auto rs = gcnExam->OpenRecordset("EXPLAIN QUERY PLAN " + sql, params); !rs.Eof(); rs.MoveNext())
            plan += rs.Fields("detail").toString() + "\n";
        for (const std::string& index : expected)
            EXPECT_NE(plan.find("INDEX " + index + " "), std::string::npos) << sql << "\n" << plan;
    }
}
