// Moves the bank's tables into and out of a database.
#include "bank.h"

#include "platform/database.h"

#include <tuple>

namespace bank {

void WriteTables(plat::Database& db, const Tables& t) {
    for (const auto& c : t.categories)
        db.Execute("INSERT INTO Categories (Index, CatName) VALUES (?,?)", {c.index, c.name});
    for (const auto& q : t.questions)
        db.Execute("INSERT INTO Questions (QId, QName, DiffLevel, QType, CatInd, ExhibitPath, Expln) "
                   "VALUES (?,?,?,?,?,?,?)",
                   {q.qid, q.qname, q.diffLevel, q.qtype, q.catInd, q.exhibitPath, q.expln});
    for (const auto& a : t.answers)
        db.Execute("INSERT INTO Answers (Index, QId, Answer, CorrectAns) VALUES (?,?,?,?)",
                   {a.index, a.qid, a.answer, a.correct});
    for (const auto& d : t.drags)
        db.Execute("INSERT INTO DragNDrop (Index, QId, Question, Answer, AnsSel, AnsRand) VALUES (?,?,?,?,?,?)",
                   {d.index, d.qid, d.question, d.answer, d.ansSel, d.ansRand});
    for (const auto& c : t.commands)
        db.Execute("INSERT INTO SimCommands (Index, QId, Command, CmdPmt, ResPmt, Response, DevName, CmdTyped) "
                   "VALUES (?,?,?,?,?,?,?,?)",
                   {c.index, c.qid, c.command, c.cmdPmt, c.resPmt, c.response, c.devName, c.cmdTyped});
    // Stored command by command, each command's values in word order: the console
    // reads them back in stored order.
    for (const auto& v : t.values)
        db.Execute("INSERT INTO SimCmdValues (CmdInd, CmdVal) VALUES (?,?)", {v.cmdInd, v.cmdVal});
}

Tables ReadTables(plat::Database& db) {
    Tables t;
    Origin at{db.file().string(), 0};
    auto s = [](const plat::Value& v) { return v.toString(); };
    auto n = [](const plat::Value& v) { return static_cast<int>(v.toInt()); };
    for (auto rs = db.OpenRecordset("SELECT Index, CatName FROM Categories ORDER BY Index"); !rs.Eof(); rs.MoveNext())
        t.categories.push_back({n(rs["Index"]), s(rs["CatName"]), at});
    for (auto rs = db.OpenRecordset("SELECT QId, QName, DiffLevel, QType, CatInd, ExhibitPath, Expln FROM Questions "
                                    "ORDER BY QId");
         !rs.Eof(); rs.MoveNext()) {
        QuestionRow q;
        q.qid = n(rs["QId"]);
        q.qname = s(rs["QName"]);
        q.diffLevel = s(rs["DiffLevel"]);
        q.qtype = s(rs["QType"]);
        q.catInd = n(rs["CatInd"]);
        q.exhibitPath = s(rs["ExhibitPath"]);
        q.expln = s(rs["Expln"]);
        q.at = at;
        t.questions.push_back(q);
    }
    for (auto rs = db.OpenRecordset("SELECT Index, QId, Answer, CorrectAns FROM Answers ORDER BY Index"); !rs.Eof();
         rs.MoveNext())
        t.answers.push_back({n(rs["Index"]), n(rs["QId"]), s(rs["Answer"]), n(rs["CorrectAns"]), at});
    for (auto rs = db.OpenRecordset("SELECT Index, QId, Question, Answer, AnsSel, AnsRand FROM DragNDrop ORDER BY Index");
         !rs.Eof(); rs.MoveNext())
        t.drags.push_back({n(rs["Index"]), n(rs["QId"]), s(rs["Question"]), s(rs["Answer"]), n(rs["AnsSel"]),
                           n(rs["AnsRand"]), at});
    for (auto rs = db.OpenRecordset("SELECT Index, QId, Command, CmdPmt, ResPmt, Response, DevName, CmdTyped "
                                    "FROM SimCommands ORDER BY Index");
         !rs.Eof(); rs.MoveNext()) {
        SimCommandRow c;
        c.index = n(rs["Index"]);
        c.qid = n(rs["QId"]);
        c.command = s(rs["Command"]);
        c.cmdPmt = s(rs["CmdPmt"]);
        c.resPmt = s(rs["ResPmt"]);
        c.response = s(rs["Response"]);
        c.devName = s(rs["DevName"]);
        c.cmdTyped = n(rs["CmdTyped"]);
        c.at = at;
        t.commands.push_back(c);
    }
    // Stored order is the order the console reads values in.
    for (auto rs = db.OpenRecordset("SELECT CmdInd, CmdVal FROM SimCmdValues"); !rs.Eof(); rs.MoveNext())
        t.values.push_back({n(rs["CmdInd"]), s(rs["CmdVal"]), at});
    return t;
}

bool SameContent(const Tables& a, const Tables& b) {
    auto cat = [](const CategoryRow& r) { return std::tie(r.index, r.name); };
    auto que = [](const QuestionRow& r) {
        return std::tie(r.qid, r.qname, r.diffLevel, r.qtype, r.catInd, r.exhibitPath, r.expln);
    };
    auto ans = [](const AnswerRow& r) { return std::tie(r.index, r.qid, r.answer, r.correct); };
    auto drg = [](const DragRow& r) { return std::tie(r.index, r.qid, r.question, r.answer); };
    auto cmd = [](const SimCommandRow& r) {
        return std::tie(r.index, r.qid, r.command, r.cmdPmt, r.resPmt, r.response, r.devName);
    };
    auto val = [](const SimValueRow& r) { return std::tie(r.cmdInd, r.cmdVal); };
    auto same = [](const auto& x, const auto& y, auto key) {
        if (x.size() != y.size()) return false;
        for (size_t i = 0; i < x.size(); ++i)
            if (key(x[i]) != key(y[i])) return false;
        return true;
    };
    return same(a.categories, b.categories, cat) && same(a.questions, b.questions, que) &&
           same(a.answers, b.answers, ans) && same(a.drags, b.drags, drg) && same(a.commands, b.commands, cmd) &&
           same(a.values, b.values, val);
}

}  // namespace bank
