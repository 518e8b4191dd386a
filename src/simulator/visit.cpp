#include "visit.h"

namespace sim {

namespace {

QString Text(const plat::Value& v) { return QString::fromStdString(v.toString()); }

}  // namespace

Lab LoadLab(plat::Database& db, long long qid) {
    Lab lab;
    plat::Recordset rs = db.OpenRecordset(
        "SELECT Index,Command,CmdPmt,ResPmt,Response,DevName,CmdTyped FROM SimCommands WHERE QId = ? ORDER BY Index",
        {qid});
    for (; !rs.Eof(); rs.MoveNext()) {
        Command c;
        c.index = rs["Index"].toInt();
        c.command = Text(rs["Command"]);
        c.cmdPmt = Text(rs["CmdPmt"]);
        c.resPmt = Text(rs["ResPmt"]);
        c.response = Text(rs["Response"]);
        c.devName = Text(rs["DevName"]);
        c.typed = rs["CmdTyped"].toInt() == 1;
        // A value word takes the value rows of its command in the order they were stored.
        plat::Recordset v = db.OpenRecordset("SELECT CmdVal FROM SimCmdValues WHERE CmdInd = ? ORDER BY rowid", {c.index});
        for (; !v.Eof(); v.MoveNext()) c.values << Text(v.Fields(0));
        lab.commands.push_back(std::move(c));
    }
    return lab;
}

void RecordTyped(plat::Database& db, long long index) {
    db.Execute("UPDATE SimCommands SET CmdTyped = 1 where Index = ?", {index});
}

void ClearTyped(plat::Database& db, long long qid) {
    db.Execute("UPDATE SimCommands SET CmdTyped = 0 where QId = ?", {qid});
}

Opening OpenConsole(plat::Database& db, const std::filesystem::path& folder, long long qid, const Visit& visit,
                    Console& console) {
    Opening o;
    plat::Recordset q = db.OpenRecordset("SELECT QName FROM Questions WHERE QId = ?", {qid});
    if (!q.Eof()) o.question = Text(q.Fields(0));

    if (visit.showAnswer || visit.fromResults) {
        if (!visit.showAnswer) console.Stop();
        o.console = AnswerListing(LoadLab(db, qid), visit.fromResults);
        o.consoleEnabled = false;
        o.resetEnabled = false;
        return o;
    }
    if (std::optional<Block> saved = ReadConsoleBlock(folder, qid, &o.problem)) {
        console.Restore(saved->devName, saved->prompt);
        o.console = saved->console;
    } else {
        console.Stop();
        o.console = kStartLine;
        // A file that cannot be read may still hold this console: its recorded
        // commands stay until the candidate resets it.
        if (o.problem.isEmpty()) ClearTyped(db, qid);
    }
    return o;
}

Reply PressReturn(plat::Database& db, long long qid, Console& console, const QString& text) {
    Reply r = console.Enter(text, LoadLab(db, qid));
    if (r.accepted) RecordTyped(db, *r.accepted);
    return r;
}

Reply CheckCommand(plat::Database& db, long long qid, Console& console, const QString& command) {
    Reply r;
    const Lab lab = LoadLab(db, qid);
    const Judgement j = console.Judge(lab, command);
    if (j.kind == Judgement::Accepted) {
        r.accepted = j.row->index;
        RecordTyped(db, j.row->index);
    } else if (j.kind == Judgement::Refused) {
        r.refused = true;
        r.box = kRefusedText;
    }
    return r;
}

QString ResetConsole(plat::Database& db, long long qid, Console& console) {
    ClearTyped(db, qid);
    console.Stop();
    return kStartLine;
}

FileOutcome CloseConsole(const std::filesystem::path& folder, long long qid, const Visit& visit,
                         const Console& console, const QString& text) {
    if (visit.showAnswer || visit.fromResults) return FileOutcome{};
    std::optional<Block> block;
    if (console.Started()) block = Block{qid, console.DevName(), console.Prompt(), text};
    return StoreConsoleBlock(folder, qid, block);
}

}  // namespace sim
