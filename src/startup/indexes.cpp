#include "indexes.h"

#include <cctype>
#include <set>

namespace indexes {

const std::vector<Definition>& All() {
    // Text columns compare without letter case, so their indexes are built with
    // the same collation; otherwise a lookup by name could not use them. User has
    // none: the sign-in list reads its names in stored order, which a covering
    // index on Uname would turn into alphabetical order.
    static const std::vector<Definition> all = {
        {"QuestionsQId", "Questions", "QId"},
        {"AnswersQId", "Answers", "QId"},
        {"AnswersIndex", "Answers", "\"Index\""},
        {"SimCmdValuesCmdInd", "SimCmdValues", "CmdInd"},
        {"DragNDropQId", "DragNDrop", "QId"},
        {"DragNDropIndex", "DragNDrop", "\"Index\""},
        {"SimCommandsQId", "SimCommands", "QId"},
        {"SimCommandsIndex", "SimCommands", "\"Index\""},
        {"QuestIdsIndex", "QuestIds", "\"Index\""},
        {"QuestIdsQId", "QuestIds", "QId, \"Index\""},
        {"QuestIdsOrder", "QuestIds", "ExamQIdsOrder, \"Index\""},
        {"AnsIdsQid", "AnsIds", "Qid, \"Index\""},
        {"AnsSelectedQId", "AnsSelected", "QId"},
        {"BookMarkExamQId", "BookMarkExam", "QId"},
        {"BookMarkQId", "BookMark", "QId"},
        {"ResultsBriefFileName", "ResultsBrief", "FileName COLLATE NOCASE"},
        {"ResultsBriefUserName", "ResultsBrief", "UserName COLLATE NOCASE, \"Index\""},
    };
    return all;
}

std::string CreateStatement(const Definition& d) {
    return "CREATE INDEX IF NOT EXISTS " + d.name + " ON \"" + d.table + "\" (" + d.columns + ")";
}

std::vector<std::string> Ensure(plat::Database& db) {
    std::set<std::string> indexes, tables;
    for (plat::Recordset rs = db.OpenRecordset("SELECT type, lower(name) FROM sqlite_master "
                                               "WHERE type IN ('index','table')");
         !rs.Eof(); rs.MoveNext())
        (rs.Fields(0).toString() == "index" ? indexes : tables).insert(rs.Fields(1).toString());
    auto lower = [](std::string s) {
        for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        return s;
    };
    std::vector<const Definition*> missing;
    for (const Definition& d : All())
        if (!indexes.count(lower(d.name)) && tables.count(lower(d.table))) missing.push_back(&d);
    if (missing.empty()) return {};

    std::vector<std::string> created;
    try {
        plat::Transaction t(db);
        for (const Definition* d : missing) {
            // Untranslated: the Jet rewriting would take INDEX for the column name.
            db.ExecScript(CreateStatement(*d));
            created.push_back(d->name);
        }
        t.Commit();
    } catch (const plat::DbError& e) {
        if (!e.isReadOnly() && !e.isBusy()) throw;
        return {};
    }
    return created;
}

}  // namespace indexes
