#include "answers.h"

#include <set>

namespace answers {

namespace {

std::set<long long> column(plat::Database& db, const std::string& sql, long long qid) {
    std::set<long long> out;
    plat::Recordset rs = db.OpenRecordset(sql, {qid});
    for (; !rs.Eof(); rs.MoveNext()) out.insert(rs.Fields(0).toInt());
    return out;
}

}  // namespace

std::string AnsweredCondition(const std::string& qid, const std::string& qtype) {
    const std::string type = "(" + qtype + ") COLLATE BINARY";
    return "(CASE WHEN " + type + " IN ('S','M') THEN EXISTS (SELECT 1 FROM AnsSelected WHERE AnsSelected.QId = " +
           qid + ") WHEN " + type + " = 'D' THEN EXISTS (SELECT 1 FROM DragNDrop WHERE DragNDrop.QId = " + qid +
           " and DragNDrop.AnsSel <> 0) WHEN " + type +
           " = 'SIM' THEN EXISTS (SELECT 1 FROM SimCommands WHERE SimCommands.QId = " + qid +
           " and SimCommands.CmdTyped = 1) ELSE 0 END)";
}

std::string RunQuestionAnswered() {
    return "coalesce((SELECT " + AnsweredCondition("QuestIds.QId", "Questions.QType") +
           " FROM Questions WHERE Questions.QId = QuestIds.QId LIMIT 1), 0)";
}

bool IsAnswered(plat::Database& db, long long qid, const std::string& qtype) {
    return db.Scalar("SELECT " + AnsweredCondition("?1", "?2"), {qid, qtype}).toInt() != 0;
}

bool IsCorrect(plat::Database& db, long long qid, const std::string& qtype) {
    if (qtype == "S") {
        plat::Recordset correct =
            db.OpenRecordset("SELECT Index FROM Answers where QId = ? and CorrectAns = 1 ORDER BY Index", {qid});
        plat::Recordset chosen = db.OpenRecordset("SELECT Answer FROM AnsSelected where QId = ?", {qid});
        // A question the bank gives no correct option cannot be answered correctly.
        if (correct.Eof() || chosen.Eof()) return false;
        return chosen.Fields(0).toInt() == correct.Fields(0).toInt();
    }
    if (qtype == "M") {
        return column(db, "SELECT Answer FROM AnsSelected where QId = ?", qid) ==
               column(db, "SELECT Index FROM Answers where QId = ? and CorrectAns = 1", qid);
    }
    if (qtype == "D") {
        return db.Scalar("SELECT count(*) FROM DragNDrop where QId = ? and AnsSel <> Index", {qid}).toInt() == 0;
    }
    if (qtype == "SIM") {
        return db.Scalar("SELECT count(*) FROM SimCommands where QId = ? and (CmdTyped IS NULL or CmdTyped <> 1)",
                         {qid})
                   .toInt() == 0;
    }
    return false;
}

std::string TypeOf(plat::Database& db, long long qid) {
    plat::Recordset rs = db.OpenRecordset("SELECT QType FROM Questions where QId = ?", {qid});
    return rs.Eof() ? std::string() : rs.Fields(0).toString();
}

}  // namespace answers
