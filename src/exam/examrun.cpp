#include "examrun.h"

namespace examrun {

void StartRun(plat::Database& db) {
    plat::Transaction t(db);
    db.Execute("DELETE * from AnsSelected");
    db.Execute("UPDATE DragNDrop SET AnsRand  = 0,AnsSel = 0");
    db.Execute("UPDATE SimCommands SET CmdTyped  = 0");
    db.Execute("DELETE * from BookMarkExam");
    t.Commit();
}

Question LoadQuestion(plat::Database& db, long long qid) {
    Question q;
    plat::Recordset rs =
        db.OpenRecordset("SELECT QName,QType,ExhibitPath,Expln FROM Questions where QId = ?", {qid});
    if (!rs.Eof()) {
        q.found = true;
        q.name = QString::fromStdString(rs.Fields("QName").toString());
        q.type = QString::fromStdString(rs.Fields("QType").toString());
        q.exhibitPath = QString::fromStdString(rs.Fields("ExhibitPath").toString());
        q.expln = QString::fromStdString(rs.Fields("Expln").toString());
    }
    // Types compare exactly: only "S" and "M" have option rows.
    if (q.type == u"S" || q.type == u"M") {
        plat::Recordset opts = db.OpenRecordset(
            "SELECT Answers.Index, Answers.Answer, "
            "(SELECT count(*) FROM AnsSelected WHERE AnsSelected.QId = ? and AnsSelected.Answer = Answers.Index) "
            "FROM AnsIds INNER JOIN Answers ON Answers.Index = AnsIds.AnsId "
            "WHERE AnsIds.Qid = ? ORDER BY AnsIds.Index",
            {qid, qid});
        for (; !opts.Eof(); opts.MoveNext())
            q.options.push_back(Option{opts.Fields(0).toInt(),
                                       QString::fromStdString(opts.Fields(1).toString()),
                                       opts.Fields(2).toInt() != 0});
    }
    plat::Recordset place = db.OpenRecordset("SELECT Index FROM QuestIds WHERE QId = ? ORDER BY Index LIMIT 1", {qid});
    if (!place.Eof()) q.runIndex = place.Fields(0).toInt();
    q.runSize = db.Scalar("SELECT count(*) FROM QuestIds ").toInt();
    return q;
}

void SaveAnswers(plat::Database& db, long long qid, const std::vector<long long>& chosen) {
    plat::Transaction t(db);
    db.Execute("DELETE * from AnsSelected where QId = ?", {qid});
    for (long long a : chosen) db.Execute("INSERT INTO AnsSelected (QId,Answer) VALUES (?,?)", {qid, a});
    t.Commit();
}

std::vector<long long> CorrectOptions(plat::Database& db, long long qid, bool firstOnly) {
    std::vector<long long> out;
    plat::Recordset rs =
        db.OpenRecordset("SELECT Index FROM Answers WHERE QId = ? and CorrectAns = 1 ORDER BY Index", {qid});
    for (; !rs.Eof(); rs.MoveNext()) {
        out.push_back(rs.Fields(0).toInt());
        if (firstOnly) break;
    }
    return out;
}

namespace {
const char* table(Marks list) { return list == Marks::Exam ? "BookMarkExam" : "BookMark"; }
}  // namespace

long long MarkCount(plat::Database& db, Marks list, long long qid) {
    return db.Scalar(std::string("SELECT count(*) FROM ") + table(list) + " where QId = ?", {qid}).toInt();
}

void BoxClicked(plat::Database& db, Marks list, long long qid, bool ticked) {
    const long long count = MarkCount(db, list, qid);
    if (count == 0 && ticked)
        db.Execute(std::string("INSERT INTO ") + table(list) + " (QId) VALUES (?)", {qid});
    else if (!ticked)
        db.Execute(std::string("Delete QId from ") + table(list) + " where QId = ?", {qid});
}

void KeepLearnMark(plat::Database& db, long long qid) {
    if (MarkCount(db, Marks::Learn, qid) == 0) db.Execute("INSERT INTO BookMark (QId) VALUES (?)", {qid});
}

void PurgeAtEnd(plat::Database& db) {
    plat::Transaction t(db);
    db.Execute("DELETE * from BookMark where Deleted = 1 ");
    db.Execute("DELETE * from BookMarkExam");
    t.Commit();
}

}  // namespace examrun
