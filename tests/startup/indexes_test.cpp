// The indexes of the per-question lookups: the schema and the start-up agree on
// them, a database made before them gains them when the program starts, and the
// statements the program runs through its windows (navigation, the side
// windows, the review list, grading, saving, reopening) search through them.
#include "exam/frmDrag.h"
#include "exam/frmExam.h"
#include "exam/frmMode.h"
#include "plan_check.h"
#include "results/frmGrade.h"
#include "results/frmResBrief.h"
#include "results/frmReview.h"
#include "signin/menustrip.h"
#include "simulator/frmSimulator.h"
#include "startup/indexes.h"
#include "startup/module1.h"
#include "startup/state.h"
#include "support/fixture.h"

#include <QTest>

#include <map>
#include <memory>
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

class IndexesTest : public pemu_test::ProgramTest {
protected:
    // Answers the question on screen through its own controls: an option, a
    // drag window opened and closed, a console typed at; every fourth
    // question is left unanswered.
    void answerOnScreen(int n) {
        if (n % 4 == 3) return;
        const QString type = frmExam.strQuestType;
        if (type == "S") {
            ASSERT_GE(frmExam.intAnsLbls, 1);
            Click(frmExam.optAnswer()(1));
        } else if (type == "M") {
            ASSERT_GE(frmExam.intAnsLbls, 2);
            Click(frmExam.chkAnswer()(1));
            Click(frmExam.chkAnswer()(2));
        } else if (type == "D") {
            ASSERT_TRUE(WhileModal(frmDrag, [] { Click(frmExam.cmdDND()); }, [] {}));
        } else if (type == "SIM") {
            ASSERT_TRUE(WhileModal(frmSimulator, [] { Click(frmExam.cmdSimulator()); }, [] {
                QTest::keyClick(frmSimulator.txtSimCon(), Qt::Key_Return);
                QTest::keyClicks(frmSimulator.txtSimCon(), "en");
                QTest::keyClick(frmSimulator.txtSimCon(), Qt::Key_Return);
            }));
        }
    }
    // Next through the whole run, answering on the way; the types met.
    std::set<QString> throughTheRun() {
        std::set<QString> met;
        for (int n = 0; n < 100 && frmExam.cmdNext()->isEnabled(); ++n) {
            met.insert(frmExam.strQuestType);
            answerOnScreen(n);
            if (HasFatalFailure()) break;
            if (n == 2) Click(frmExam.BookMark());
            Click(frmExam.cmdNext());
        }
        return met;
    }
};

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


// The checker finds what it is for: a table picked by a value but read whole,
// and not a table read whole for a join or for all its rows.
TEST_F(IndexesTest, APlanThatReadsAPickedTableWholeIsFound) {
    sqlite3* db = gcnExam->handle();
    const plan_check::IndexedColumns indexed = plan_check::LeadingColumns(db);
    auto avoidable = [&](const std::string& sql) {
        const plan_check::Plan p = plan_check::QueryPlan(db, sql);
        EXPECT_EQ(p.error, "") << sql;
        return plan_check::AvoidableScans(sql, p, indexed).size();
    };
    EXPECT_EQ(avoidable("SELECT count(*) FROM AnsSelected where QId + 0 = ?"), 1u);
    EXPECT_EQ(avoidable("SELECT Answer FROM AnsSelected AS a where 7 = a.QId + 0"), 1u);
    EXPECT_EQ(avoidable("DELETE FROM AnsSelected where QId + 0 IN (1, 2)"), 1u);
    EXPECT_EQ(avoidable("SELECT count(*) FROM AnsSelected where QId = ?"), 0u);
    EXPECT_EQ(avoidable("SELECT count(*) FROM AnsSelected"), 0u);
    EXPECT_EQ(avoidable("SELECT QId FROM QuestIds where ExamQIdsOrder <> 0"), 0u) << "every row is read anyway";
    EXPECT_EQ(avoidable("SELECT Questions.QId FROM QuestIds INNER JOIN Questions ON Questions.QId = QuestIds.QId "
                        "ORDER BY QuestIds.\"Index\""),
              0u)
        << "one table of a join is read whole";
    // A subquery run for every question of the run reads its table whole each time.
    EXPECT_EQ(avoidable("SELECT QId, (SELECT count(*) FROM BookMarkExam WHERE BookMarkExam.QId + 0 = QuestIds.QId) "
                        "FROM QuestIds"),
              1u);
    EXPECT_EQ(avoidable("SELECT QId, (SELECT count(*) FROM BookMarkExam WHERE BookMarkExam.QId = QuestIds.QId) "
                        "FROM QuestIds"),
              0u);
}

// The statements the program runs through its windows, recorded from the
// connection: a linear exam answered question by question through every kind
// of window, Previous, the review list (a jump, the unanswered questions), the
// grade report and its save; an adaptive exam; the saved result reopened and
// looked through. Each one that picks rows of a table by a value on a column
// an index of that table leads searches through an index.
TEST_F(IndexesTest, PerQuestionLookupsUseTheirIndexes) {
    gcnExam->Execute("INSERT INTO User (Uname,Name,Email,Phone) VALUES ('cand','Ann Candidate','NA','NA')");
    gcnExam->Execute("UPDATE AdminConfig SET NofQues = 30, Etype = 'B', Previous = 1, Review = 1 where Index = 1");
    auto log = std::make_unique<plan_check::StatementLog>(gcnExam->handle());

    SignInAs("cand");
    frmMode.Menu().examLin(1)->trigger();
    ASSERT_TRUE(frmExam.Visible());
    const std::set<QString> met = throughTheRun();
    EXPECT_EQ(met, (std::set<QString>{"S", "M", "D", "SIM"})) << "the first exam holds every kind of question";
    Click(frmExam.cmdPrev());
    Click(frmExam.cmdPrev());
    ASSERT_TRUE(WhileModal(frmReview, [] { Click(frmExam.cmdReview()); }, [] { frmReview.msgReview_DblClick(0); }));
    ASSERT_TRUE(WhileModal(frmReview, [] { Click(frmExam.cmdReview()); }, [] { Click(frmReview.cmdRevUnAns()); }));
    Click(frmExam.cmdNext());
    Click(frmExam.cmdPrev());
    ASSERT_TRUE(WhileModal(frmReview, [] { Click(frmExam.cmdReview()); }, [] { Click(frmReview.cmdGrade()); }));
    ASSERT_TRUE(frmGrade.Visible());
    Click(frmGrade.cmdSave());
    ASSERT_EQ(lastBox().text, "Result Saved");
    Click(frmGrade.cmdClose());

    SignInAs("cand");
    frmMode.Menu().examAdap(1)->trigger();
    ASSERT_TRUE(frmExam.Visible());
    ASSERT_TRUE(gblnAdaptive);
    for (int n = 0; n < 4; ++n) {
        answerOnScreen(n);
        Click(frmExam.cmdNext());
    }
    Click(frmExam.cmdPrev());
    Click(frmExam.cmdNext());
    Click(frmExam.cmdEndExam());
    ASSERT_TRUE(frmGrade.Visible());
    Click(frmGrade.cmdClose());

    SignInAs("cand");
    frmMode.Menu().savRes->trigger();
    ASSERT_TRUE(frmResBrief.Visible());
    ASSERT_GE(frmResBrief.msgResults()->rowCount(), 1);
    frmResBrief.msgResults()->setCurrentCell(0, 0);
    frmResBrief.msgResults_DblClick();
    ASSERT_TRUE(frmGrade.Visible());
    ASSERT_TRUE(WhileModal(frmExam, [] { Click(frmGrade.cmdSave()); }, [] {
        for (int n = 0; n < 5; ++n) Click(frmExam.cmdNext());
        Click(frmExam.cmdPrev());
        Click(frmExam.cmdEndExam());
    }));

    const std::vector<std::string> statements = log->statements();
    log.reset();

    sqlite3* db = gcnExam->handle();
    const plan_check::IndexedColumns indexed = plan_check::LeadingColumns(db);
    ASSERT_GE(statements.size(), 40u);
    std::set<std::string> used;
    for (const std::string& sql : statements) {
        const plan_check::Plan plan = plan_check::QueryPlan(db, sql);
        ASSERT_EQ(plan.error, "") << sql;
        for (const std::string& scan : plan_check::AvoidableScans(sql, plan, indexed))
            ADD_FAILURE() << "reads the table whole (" << scan << "):\n" << sql;
        for (const std::string& index : plan_check::IndexesUsed(plan)) used.insert(index);
    }
    // The road reaches the lookups of every per-question table.
    for (const char* index : {"QuestionsQId", "AnswersQId", "AnswersIndex", "SimCmdValuesCmdInd", "DragNDropQId",
                              "SimCommandsQId", "QuestIdsIndex", "QuestIdsQId", "QuestIdsOrder", "AnsIdsQid",
                              "AnsSelectedQId", "BookMarkExamQId", "BookMarkQId", "ResultsBriefFileName",
                              "ResultsBriefUserName"})
        EXPECT_TRUE(used.count(index)) << "no statement of the road searches " << index;
}
