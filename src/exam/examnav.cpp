#include "examnav.h"

#include "exam/answers.h"

#include <string>

namespace examnav {

RunQuestion RowOf(const plat::Recordset& rs) {
    RunQuestion q;
    q.index = rs.Fields("Index").toInt();
    q.qid = rs.Fields("QId").toInt();
    q.level = QString::fromStdString(rs.Fields("DiffLvl").toString());
    q.order = rs.Fields("ExamQIdsOrder").toInt();
    return q;
}

namespace {

// The first row of the query that qualifies: with unansweredOnly the search
// for an unanswered question runs in the query and stops at the first one.
std::optional<RunQuestion> first(plat::Database& db, const std::string& where, const std::string& order,
                                 long long value, bool unansweredOnly) {
    std::string sql = "SELECT Index,QId,DiffLvl,ExamQIdsOrder FROM QuestIds where " + where;
    if (unansweredOnly) sql += " and NOT " + answers::RunQuestionAnswered();
    sql += " ORDER BY " + order + " LIMIT 1";
    plat::Recordset rs = db.OpenRecordset(sql, {value});
    if (rs.Eof()) return std::nullopt;
    return RowOf(rs);
}

}  // namespace

bool Answered(plat::Database& db, long long qid) {
    return answers::IsAnswered(db, qid, answers::TypeOf(db, qid));
}

std::optional<RunQuestion> At(plat::Database& db, long long index) {
    return first(db, "Index = ?", "Index", index, false);
}

std::optional<RunQuestion> First(plat::Database& db) {
    plat::Recordset rs = db.OpenRecordset("SELECT Index,QId,DiffLvl,ExamQIdsOrder FROM QuestIds ORDER BY Index LIMIT 1");
    if (rs.Eof()) return std::nullopt;
    return RowOf(rs);
}

std::optional<RunQuestion> After(plat::Database& db, long long index, bool unansweredOnly) {
    return first(db, "Index > ?", "Index", index, unansweredOnly);
}

std::optional<RunQuestion> Before(plat::Database& db, long long index, bool unansweredOnly) {
    return first(db, "Index < ?", "Index DESC", index, unansweredOnly);
}

std::optional<RunQuestion> IssuedAfter(plat::Database& db, long long order, bool unansweredOnly) {
    return first(db, "ExamQIdsOrder > ?", "ExamQIdsOrder", order, unansweredOnly);
}

std::optional<RunQuestion> IssuedBefore(plat::Database& db, long long order, bool unansweredOnly) {
    return first(db, "ExamQIdsOrder < ? and ExamQIdsOrder <> 0", "ExamQIdsOrder DESC", order, unansweredOnly);
}

std::optional<RunQuestion> FirstUnanswered(plat::Database& db, bool issuedOnly) {
    return issuedOnly ? IssuedAfter(db, 0, true) : After(db, 0, true);
}

}  // namespace examnav
