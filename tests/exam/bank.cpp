#include "bank.h"

namespace exam_test {

std::vector<BankQuestion> GappedBank(int n) {
    static const char* levels[] = {"B", "I", "E"};
    std::vector<BankQuestion> bank;
    for (int i = 0; i < n; ++i) {
        BankQuestion q;
        q.qid = i + 1 + i / 4;
        q.level = levels[i % 3];
        q.type = i % 10 == 3 ? "D" : i % 10 == 7 ? "SIM" : i % 2 ? "M" : "S";
        q.cat = (i / 3) % 3 + 1;
        q.options = q.type == "S" || q.type == "M" ? 3 + i % 3 : 0;
        bank.push_back(q);
    }
    return bank;
}

void ReplaceBank(plat::Database& db, const std::vector<BankQuestion>& bank) {
    db.Execute("DELETE * from Questions");
    db.Execute("DELETE * from Answers");
    db.Execute("DELETE * from Categories");
    db.Execute("INSERT INTO Categories (Index, CatName) VALUES (1, 'Routing'), (2, 'Switching'), (3, 'Security')");
    plat::Transaction t(db);
    long long index = 1;
    for (const BankQuestion& q : bank) {
        db.Execute("INSERT INTO Questions (QId,QName,DiffLevel,QType,CatInd,ExhibitPath,Expln) "
                   "VALUES (?,?,?,?,?,'NA','NA')",
                   {q.qid, "Question " + std::to_string(q.qid), q.level, q.type, q.cat});
        for (int o = 0; o < q.options; ++o)
            db.Execute("INSERT INTO Answers (Index,QId,Answer,CorrectAns) VALUES (?,?,?,?)",
                       {index++, q.qid, "Option " + std::to_string(o + 1), o == 0 ? 1 : 0});
    }
    t.Commit();
}

std::vector<RunQuestion> RunQuestions(plat::Database& db) {
    std::vector<RunQuestion> run;
    plat::Recordset rs =
        db.OpenRecordset("SELECT Index, QId, DiffLvl, Attempted, ExamQIdsOrder FROM QuestIds order by Index");
    for (; !rs.Eof(); rs.MoveNext())
        run.push_back({rs.Fields("Index").toInt(), rs.Fields("QId").toInt(), rs.Fields("DiffLvl"),
                       rs.Fields("Attempted").toInt(), rs.Fields("ExamQIdsOrder").toInt()});
    return run;
}

std::vector<RunOption> RunOptions(plat::Database& db) {
    std::vector<RunOption> run;
    plat::Recordset rs = db.OpenRecordset("SELECT Index, AnsId, Qid FROM AnsIds order by Index");
    for (; !rs.Eof(); rs.MoveNext())
        run.push_back({rs.Fields("Index").toInt(), rs.Fields("AnsId").toInt(), rs.Fields("Qid").toInt()});
    return run;
}

std::vector<long long> QIdsOf(const std::vector<RunQuestion>& run) {
    std::vector<long long> q;
    for (const RunQuestion& r : run) q.push_back(r.qid);
    return q;
}

std::vector<long long> StoredOptions(plat::Database& db, long long qid) {
    std::vector<long long> o;
    plat::Recordset rs = db.OpenRecordset("SELECT Index FROM Answers where QId = ? order by Index", {qid});
    for (; !rs.Eof(); rs.MoveNext()) o.push_back(rs.Fields(0).toInt());
    return o;
}

}  // namespace exam_test
