#include "reviewlist.h"

#include "exam/answers.h"
#include "platform/convert.h"

namespace results {

std::vector<ReviewRow> ReviewRows(plat::Database& db, bool examMode, bool adaptiveIssuedOnly) {
    std::vector<ReviewRow> out;
    // One read for the whole list: each statement outside a transaction would
    // take and release the file's lock on its own.
    plat::Transaction read(db);
    plat::Recordset run = db.OpenRecordset(
        adaptiveIssuedOnly ? "SELECT Index,QId FROM QuestIds where ExamQIdsOrder <> 0 order by ExamQIdsOrder,Index"
                           : "SELECT Index,QId FROM QuestIds order by Index ");
    for (; !run.Eof(); run.MoveNext()) {
        const plat::Value qid = run.Fields("QId");
        plat::Recordset q = db.OpenRecordset(
            "SELECT Questions.QName,Questions.QType FROM Categories INNER JOIN Questions ON Categories.Index = "
            "Questions.CatInd where Questions.QId = ?",
            {qid});
        if (q.Eof()) continue;
        ReviewRow r;
        r.index = plat::CInt(run.Fields("Index").toInt());
        r.qid = qid.toInt();
        r.question = QString::fromStdString(q.Fields("QName").toString());
        const long long examMarks = db.Scalar("SELECT count(*) FROM BookMarkExam where QId = ?", {qid}).toInt();
        const long long learnMarks = db.Scalar("SELECT count(*) FROM BookMark where QId = ?", {qid}).toInt();
        r.bookmarked = examMarks == 1 || (learnMarks == 1 && !examMode);
        const std::string type = q.Fields("QType").toString();
        if (type == "S" || type == "M" || type == "D" || type == "SIM")
            r.answered = answers::IsAnswered(db, r.qid, type);
        out.push_back(std::move(r));
    }
    read.Commit();
    return out;
}

}  // namespace results
