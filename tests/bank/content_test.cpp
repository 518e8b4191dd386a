// The shipped question bank, as its sources describe it and as the shipped
// database holds it: every rule, the promised content, the factory configuration,
// balanced numbered exams, and labs that can be completed at the console.
#include "bank/bank.h"
#include "bank/pictures.h"
#include "platform/database.h"
#include "simulator/engine.h"
#include "startup/module1.h"
#include "support/fixture.h"

#include <map>
#include <set>

using namespace bank;

namespace {

const std::filesystem::path kData = PEMU_DATA_DIR;

Tables sources() {
    std::vector<Breach> errors;
    Tables t = ReadBankSources(kData / "bank", errors);
    EXPECT_TRUE(errors.empty()) << DescribeAll(errors);
    return t;
}

class ShippedBank : public pemu_test::ProgramTest {
protected:
    plat::Database& db() { return *gcnExam; }
    long long count(const char* sql) { return db().Scalar(sql).toInt(); }
};

}  // namespace

TEST_F(ShippedBank, SourcesAndDatabasePassEveryRule) {
    Tables src = sources();
    LintOptions o;
    o.exhibitSources = kData / "exhibits";
    o.renderExhibit = ExhibitDrawProblem;
    auto breaches = Lint(src, o);
    EXPECT_TRUE(breaches.empty()) << DescribeAll(breaches);

    Tables shipped = ReadTables(db());
    breaches = Lint(shipped, o);
    EXPECT_TRUE(breaches.empty()) << DescribeAll(breaches);
    EXPECT_TRUE(SameContent(src, shipped)) << "the database does not hold the bank its sources describe";
}

TEST_F(ShippedBank, HoldsThePromisedContent) {
    EXPECT_EQ(count("SELECT count(*) FROM Categories"), 10);
    EXPECT_GE(count("SELECT count(*) FROM Questions"), 240);
    EXPECT_GE(count("SELECT count(*) FROM Questions WHERE QType = 'S'"), 120);
    EXPECT_GE(count("SELECT count(*) FROM Questions WHERE QType = 'M'"), 50);
    EXPECT_GE(count("SELECT count(*) FROM Questions WHERE QType = 'D'"), 35);
    EXPECT_GE(count("SELECT count(*) FROM Questions WHERE QType = 'SIM'"), 35);
    EXPECT_GE(count("SELECT count(*) FROM Questions WHERE ExhibitPath <> 'NA'"), 20);
    EXPECT_EQ(count("SELECT count(*) FROM Questions WHERE Expln = 'NA' OR Expln = ''"), 0);

    // Every category offers every level, so a custom selection can mix them.
    auto rs = db().OpenRecordset(
        "SELECT Categories.CatName, count(DISTINCT Questions.DiffLevel) AS Levels, count(*) AS N "
        "FROM Categories INNER JOIN Questions ON Categories.Index = Questions.CatInd GROUP BY Categories.CatName");
    EXPECT_EQ(rs.RecordCount(), 10);
    for (; !rs.Eof(); rs.MoveNext()) {
        EXPECT_EQ(rs["Levels"].toInt(), 3) << rs["CatName"].toString();
        EXPECT_GE(rs["N"].toInt(), 20) << rs["CatName"].toString();
    }
    // Drag-and-drop questions show 3 to 6 rows.
    rs = db().OpenRecordset("SELECT QId, count(*) AS N FROM DragNDrop GROUP BY QId");
    EXPECT_GE(rs.RecordCount(), 35);
    for (; !rs.Eof(); rs.MoveNext()) {
        EXPECT_GE(rs["N"].toInt(), 3) << "question " << rs["QId"].toInt();
        EXPECT_LE(rs["N"].toInt(), 6) << "question " << rs["QId"].toInt();
    }
    // Working columns ship empty.
    EXPECT_EQ(count("SELECT count(*) FROM DragNDrop WHERE AnsSel <> 0 OR AnsRand <> 0"), 0);
    EXPECT_EQ(count("SELECT count(*) FROM SimCommands WHERE CmdTyped <> 0"), 0);
}

TEST_F(ShippedBank, FactoryConfigurationFitsTheBank) {
    EXPECT_EQ(count("SELECT count(*) FROM AdminConfig"), 1);
    EXPECT_EQ(count("SELECT count(*) FROM AdminDef"), 1);
    auto cfg = db().OpenRecordset("SELECT * FROM AdminConfig where Index = 1");
    auto def = db().OpenRecordset("SELECT * FROM AdminDef where Index = 1");
    ASSERT_FALSE(cfg.Eof());
    ASSERT_FALSE(def.Eof());
    for (const char* col : {"ExamName", "Etype", "NofQues", "PassPercentage", "MaxScore", "MaxTime", "LearnMode",
                            "ExamMode", "SimulatorMode", "BeginScore", "IntScore", "ExpScore", "Previous", "Review",
                            "Exams"})
        EXPECT_EQ(cfg[col].toString(), def[std::string(col) + "Def"].toString()) << col;

    EXPECT_EQ(cfg["ExamName"].toString(), "Network Associate Practice Exam");
    EXPECT_EQ(cfg["Etype"].toString(), "B");
    long long exams = cfg["Exams"].toInt(), per = cfg["NofQues"].toInt();
    EXPECT_GE(exams, 1);
    EXPECT_LE(exams * per, count("SELECT count(*) FROM Questions")) << "numbered exams reach past the bank";
    EXPECT_GE(cfg["PassPercentage"].toInt(), 1);
    EXPECT_LE(cfg["PassPercentage"].toInt(), 100);
    EXPECT_GE(cfg["MaxScore"].toInt(), 1);
    EXPECT_LE(cfg["MaxScore"].toInt(), 1000);
    EXPECT_GE(cfg["MaxTime"].toInt(), per) << "at least a minute a question";
    EXPECT_LE(cfg["MaxTime"].toInt(), 999);
    EXPECT_LT(cfg["BeginScore"].toInt(), cfg["IntScore"].toInt());
    EXPECT_LT(cfg["IntScore"].toInt(), cfg["ExpScore"].toInt());
    for (const char* flag : {"LearnMode", "ExamMode", "Previous", "Review"}) EXPECT_TRUE(cfg[flag].toBool()) << flag;

    EXPECT_EQ(count("SELECT count(*) FROM AdminLogin"), 1);
    EXPECT_EQ(count("SELECT count(*) FROM AdminLogin WHERE Uname = 'norvi' AND Pwd = 'kelm'"), 1);
}

// Numbered exam k is the k-th slice of NofQues questions in QId order: each must
// be a fair exam on its own, linear or adaptive.
TEST_F(ShippedBank, EveryNumberedExamIsBalanced) {
    auto cfg = db().OpenRecordset("SELECT NofQues, Exams, BeginScore, IntScore, ExpScore FROM AdminConfig");
    const long long per = cfg["NofQues"].toInt(), exams = cfg["Exams"].toInt();
    const std::map<std::string, long long> weight = {
        {"B", cfg["BeginScore"].toInt()}, {"I", cfg["IntScore"].toInt()}, {"E", cfg["ExpScore"].toInt()}};
    std::vector<std::tuple<long long, std::string, std::string, long long>> bank;  // qid, type, level, category
    for (auto rs = db().OpenRecordset("SELECT QId, QType, DiffLevel, CatInd FROM Questions ORDER BY QId"); !rs.Eof();
         rs.MoveNext())
        bank.emplace_back(rs["QId"].toInt(), rs["QType"].toString(), rs["DiffLevel"].toString(), rs["CatInd"].toInt());
    for (long long k = 1; k <= exams; ++k) {
        std::map<std::string, int> types, levels;
        std::set<long long> cats;
        long long total = 0;
        for (long long i = (k - 1) * per; i < k * per && i < static_cast<long long>(bank.size()); ++i) {
            auto& [qid, type, level, cat] = bank[i];
            ++types[type];
            ++levels[level];
            cats.insert(cat);
            total += weight.at(level);
        }
        SCOPED_TRACE("Exam" + std::to_string(k));
        EXPECT_EQ(cats.size(), 10u) << "every category in every exam";
        EXPECT_GE(types["S"], per / 3);
        EXPECT_GE(types["M"], per / 8);
        EXPECT_GE(types["D"], per / 10);
        EXPECT_GE(types["SIM"], per / 10);
        // An adaptive run opens with a beginner question and falls back to beginner
        // questions after wrong answers; its target is BeginScore x NofQues.
        EXPECT_GE(levels["B"], per / 3);
        EXPECT_GE(levels["I"], per / 4);
        EXPECT_GE(levels["E"], per / 5);
        EXPECT_GE(total, weight.at("B") * per);
    }
}

// Every lab's model answer, typed command by command at a console that starts at
// the user prompt and moves only by the lab's own commands and "exit", is accepted.
TEST_F(ShippedBank, EveryLabCanBeCompletedAtTheConsole) {
    std::map<int, std::vector<SimCommandRow>> labs;
    for (auto rs = db().OpenRecordset("SELECT Index, QId, Command, CmdPmt, ResPmt, DevName FROM SimCommands "
                                      "ORDER BY Index");
         !rs.Eof(); rs.MoveNext()) {
        SimCommandRow c;
        c.index = static_cast<int>(rs["Index"].toInt());
        c.qid = static_cast<int>(rs["QId"].toInt());
        c.command = rs["Command"].toString();
        c.cmdPmt = rs["CmdPmt"].toString();
        c.resPmt = rs["ResPmt"].toString();
        c.devName = rs["DevName"].toString();
        labs[c.qid].push_back(c);
    }
    EXPECT_EQ(static_cast<long long>(labs.size()), count("SELECT count(*) FROM Questions WHERE QType = 'SIM'"));
    for (auto& [qid, rows] : labs) {
        std::map<int, std::vector<std::string>> values;
        for (auto& r : rows) {
            // Read as the console reads them: by CmdInd, in stored order.
            for (auto v = db().OpenRecordset("SELECT CmdVal FROM SimCmdValues WHERE CmdInd = ?", {r.index}); !v.Eof();
                 v.MoveNext())
                values[r.index].push_back(v["CmdVal"].toString());
        }
        EXPECT_EQ(rows.front().cmdPmt, ">") << "question " << qid << " starts where the console starts";
        auto problems = WalkLab(rows, values);
        EXPECT_TRUE(problems.empty()) << "question " << qid << ": " << (problems.empty() ? "" : problems[0]);
        // Each typed line is accepted by its own command.
        for (auto& r : rows) {
            sim::Command c;
            c.command = QString::fromStdString(r.command);
            for (const auto& v : values[r.index]) c.values << QString::fromStdString(v);
            const QString typed = sim::NormaliseCommand(sim::FilledCommand(c));
            EXPECT_TRUE(sim::Accepts(c, typed)) << "question " << qid << ": " << typed.toStdString();
        }
    }
}
