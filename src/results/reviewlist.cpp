#include "reviewlist.h"

#include "exam/answers.h"

namespace results {

// One query reads the whole list, asking per question what the list shows: its
// text from the first bank row whose category exists (none: the question is
// left out), its bookmark rows in both lists and whether it is answered.
std::vector<ReviewRow> ReviewRows(plat::Database& db, bool examMode, bool adaptiveIssuedOnly) {
    std::vector<ReviewRow> out;
    const std::string sql =
        "SELECT QuestIds.Index, QuestIds.QId, Questions.QName, Questions.QType, "
        "(SELECT count(*) FROM BookMarkExam where BookMarkExam.QId = QuestIds.QId), "
        "(SELECT count(*) FROM BookMark where BookMark.QId = QuestIds.QId), " +
        answers::AnsweredCondition("QuestIds.QId", "Questions.QType") +
        " FROM QuestIds INNER JOIN Questions ON Questions.rowid = "
        "(SELECT Questions.rowid FROM Categories INNER JOIN Questions ON Categories.Index = Questions.CatInd "
        "where Questions.QId = QuestIds.QId LIMIT 1) " +
        (adaptiveIssuedOnly ? "where QuestIds.ExamQIdsOrder <> 0 order by QuestIds.ExamQIdsOrder,QuestIds.Index"
                            : "order by QuestIds.Index");
    plat::Recordset rs = db.OpenRecordset(sql);
    for (; !rs.Eof(); rs.MoveNext()) {
        ReviewRow r;
        r.index = rs.Fields(0).toInt();
        r.qid = rs.Fields(1).toInt();
        r.question = QString::fromStdString(rs.Fields(2).toString());
        r.bookmarked = rs.Fields(4).toInt() == 1 || (rs.Fields(5).toInt() == 1 && !examMode);
        const std::string type = rs.Fields(3).toString();
        if (type == "S" || type == "M" || type == "D" || type == "SIM") r.answered = rs.Fields(6).toInt() != 0;
        out.push_back(std::move(r));
    }
    return out;
}

}  // namespace results
