#include "adminconfig.h"

#include <string>

namespace {

std::optional<AdminConfigRow> readRow(plat::Database& db, const std::string& table, const std::string& suffix) {
    static const char* const kColumns[] = {"ExamName",   "Etype",    "NofQues",  "PassPercentage",
                                           "MaxScore",   "MaxTime",  "LearnMode", "ExamMode",
                                           "SimulatorMode", "BeginScore", "IntScore", "ExpScore",
                                           "Previous",   "Review",   "Exams"};
    std::string sql = "SELECT ";
    for (const char* c : kColumns) sql += std::string(c) + suffix + ",";
    sql.back() = ' ';
    sql += "FROM " + table + " where Index = ?";
    plat::Recordset rs = db.OpenRecordset(sql, {1});
    if (rs.Eof()) return std::nullopt;
    auto field = [&](const char* c) -> const plat::Value& { return rs.Fields(std::string(c) + suffix); };
    AdminConfigRow r;
    r.ExamName = QString::fromStdString(field("ExamName").toString());
    r.Etype = QString::fromStdString(field("Etype").toString());
    r.NofQues = field("NofQues").toInt();
    r.PassPercentage = field("PassPercentage").toInt();
    r.MaxScore = field("MaxScore").toInt();
    r.MaxTime = field("MaxTime").toInt();
    r.LearnMode = field("LearnMode").toBool();
    r.ExamMode = field("ExamMode").toBool();
    r.SimulatorMode = field("SimulatorMode").toBool();
    r.BeginScore = field("BeginScore").toInt();
    r.IntScore = field("IntScore").toInt();
    r.ExpScore = field("ExpScore").toInt();
    r.Previous = field("Previous").toBool();
    r.Review = field("Review").toBool();
    r.Exams = field("Exams").toInt();
    return r;
}

}  // namespace

std::optional<AdminConfigRow> ReadAdminConfig(plat::Database& db) { return readRow(db, "AdminConfig", ""); }
std::optional<AdminConfigRow> ReadAdminDef(plat::Database& db) { return readRow(db, "AdminDef", "Def"); }
