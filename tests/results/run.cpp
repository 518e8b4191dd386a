#include "run.h"

#include <algorithm>
#include <fstream>
#include <sstream>
#include <stdexcept>

using plat::Database;
using plat::Recordset;

namespace results_test {

namespace {

std::vector<long long> Column(Database& db, const std::string& sql, long long qid) {
    std::vector<long long> v;
    Recordset rs = db.OpenRecordset(sql, {qid});
    for (; !rs.Eof(); rs.MoveNext()) v.push_back(rs.Fields(0).toInt());
    return v;
}

std::vector<std::string> Rows(Database& db, const std::string& sql) {
    std::vector<std::string> out;
    Recordset rs = db.OpenRecordset(sql);
    for (; !rs.Eof(); rs.MoveNext()) {
        std::string row;
        for (int i = 0; i < rs.FieldCount(); ++i) row += (i ? "," : "") + rs.Fields(i).toString();
        out.push_back(row);
    }
    return out;
}

}  // namespace

long long Pick(Database& db, const std::string& type, int nth, std::optional<int> category) {
    Recordset rs = category ? db.OpenRecordset("SELECT QId FROM Questions where QType = ? and CatInd = ? ORDER BY QId",
                                               {type, *category})
                            : db.OpenRecordset("SELECT QId FROM Questions where QType = ? ORDER BY QId", {type});
    rs.Move(nth);
    if (rs.Eof()) throw std::runtime_error("the bank has too few questions of type " + type);
    return rs.Fields(0).toInt();
}

void AddToRun(Database& db, long long qid) {
    const long long index = db.Scalar("SELECT count(*) FROM QuestIds").toInt() + 1;
    db.Execute("INSERT INTO QuestIds (Index,QId) VALUES (?,?)", {index, qid});
    for (long long a : Column(db, "SELECT Index FROM Answers where QId = ? ORDER BY Index", qid)) {
        const long long next = db.Scalar("SELECT count(*) FROM AnsIds").toInt() + 1;
        db.Execute("INSERT INTO AnsIds (Index,AnsId,Qid) VALUES (?,?,?)", {next, a, qid});
    }
}

void Answer(Database& db, long long qid, bool correct) {
    const std::string type = db.Scalar("SELECT QType FROM Questions where QId = ?", {qid}).toString();
    if (type == "S" || type == "M") {
        db.Execute("DELETE * from AnsSelected where QId = ?", {qid});
        std::vector<long long> right =
            Column(db, "SELECT Index FROM Answers where QId = ? and CorrectAns = 1 ORDER BY Index", qid);
        const std::vector<long long> wrong =
            Column(db, "SELECT Index FROM Answers where QId = ? and CorrectAns = 0 ORDER BY Index", qid);
        std::vector<long long> chosen;
        if (type == "S") chosen = {correct ? right.at(0) : wrong.at(0)};
        else {
            chosen = right;
            if (!correct) chosen.pop_back();
        }
        for (long long a : chosen) db.Execute("INSERT INTO AnsSelected (QId,Answer) VALUES (?,?)", {qid, a});
    } else if (type == "D") {
        const std::vector<long long> rows = Column(db, "SELECT Index FROM DragNDrop where QId = ? ORDER BY Index", qid);
        db.Execute("UPDATE DragNDrop SET AnsSel = Index, AnsRand = Index where QId = ?", {qid});
        if (!correct) {
            db.Execute("UPDATE DragNDrop SET AnsSel = ? where Index = ?", {rows.at(1), rows.at(0)});
            db.Execute("UPDATE DragNDrop SET AnsSel = ? where Index = ?", {rows.at(0), rows.at(1)});
        }
    } else if (type == "SIM") {
        const std::vector<long long> rows =
            Column(db, "SELECT Index FROM SimCommands where QId = ? ORDER BY Index", qid);
        db.Execute("UPDATE SimCommands SET CmdTyped = ? where QId = ?", {correct ? 1 : 0, qid});
        if (!correct) db.Execute("UPDATE SimCommands SET CmdTyped = 1 where Index = ?", {rows.at(0)});
    } else {
        throw std::runtime_error("no way to answer a question of type " + type);
    }
}

Tables Snapshot(Database& db) {
    Tables t;
    t.questIds = Rows(db, "SELECT Index,QId FROM QuestIds ORDER BY Index");
    t.ansIds = Rows(db, "SELECT AnsId,Qid FROM AnsIds ORDER BY Index");
    t.ansSelected = Rows(db, "SELECT QId,Answer FROM AnsSelected ORDER BY QId,Answer");
    t.dragNDrop = Rows(db, "SELECT Index,AnsRand,AnsSel FROM DragNDrop ORDER BY Index");
    t.simCommands = Rows(db, "SELECT Index,CmdTyped FROM SimCommands ORDER BY Index");
    return t;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

void WriteFile(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
}

results::SaveRequest FailedRunRequest(const QString& candName, const QString& userName, const QString& examName,
                                      QDate date, QTime time) {
    results::SaveRequest r;
    r.candName = candName;
    r.userName = userName;
    r.examName = examName;
    r.date = date;
    r.time = time;
    r.scoreObt = 650;
    r.passScore = 700;
    r.maxScore = 1000;
    r.percentage = 65;
    r.result = "Fail";
    return r;
}

}  // namespace results_test
