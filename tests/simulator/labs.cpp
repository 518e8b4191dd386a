#include "labs.h"

namespace sim_test {

const char* const kConfigOutput = "Enter configuration commands, one per line.  End with CNTL/Z.";
const char* const kLinkOutput =
    "%LINK-3-UPDOWN: Interface GigabitEthernet0/1, changed state to up\r\n"
    "%LINEPROTO-5-UPDOWN: Line protocol on Interface GigabitEthernet0/1, changed state to up";

std::vector<LabRow> TestLab() {
    return {
        {">", "enable", "#", "NA", {}},
        {"#", "configure terminal", "(config)#", kConfigOutput, {}},
        {"(config)#", "interface <if>", "(config-if)#", "NA", {"g0/1"}},
        {"(config-if)#", "ip address <ip> <mask>", "(config-if)#", "NA", {"10.0.0.1", "255.0.0.0"}},
        {"(config-if)#", "no shutdown", "(config-if)#", kLinkOutput, {}},
        {"(config)#", "interface <if>", "(config-if)#", "NA", {"g0/2"}},
        {"(config-if)#", "no shutdown", "(config-if)#", kLinkOutput, {}},
        {"(config)#", "router ospf <pid>", "(config-router)#", "NA", {"1"}},
    };
}

long long AddLab(plat::Database& db, const std::vector<LabRow>& rows, std::vector<long long>* indexes, long long qid) {
    if (qid == 0) qid = db.Scalar("SELECT max(QId) FROM Questions").toInt() + 1;
    db.Execute("INSERT INTO Questions (QId, QName, DiffLevel, QType, CatInd, ExhibitPath, Expln) "
               "VALUES (?, 'Configure R9.', 'I', 'SIM', (SELECT min(Index) FROM Categories), 'NA', 'Because.')",
               {qid});
    long long index = db.Scalar("SELECT max(Index) FROM SimCommands").toInt();
    for (const LabRow& r : rows) {
        ++index;
        db.Execute("INSERT INTO SimCommands (Index, QId, Command, CmdPmt, ResPmt, Response, DevName, CmdTyped) "
                   "VALUES (?, ?, ?, ?, ?, ?, 'R9', 0)",
                   {index, qid, r.command, r.cmdPmt, r.resPmt, r.response});
        for (const std::string& v : r.values)
            db.Execute("INSERT INTO SimCmdValues (CmdInd, CmdVal) VALUES (?, ?)", {index, v});
        if (indexes) indexes->push_back(index);
    }
    return qid;
}

std::vector<long long> Typed(plat::Database& db, long long qid) {
    std::vector<long long> out;
    for (plat::Recordset rs = db.OpenRecordset("SELECT CmdTyped FROM SimCommands WHERE QId = ? ORDER BY Index", {qid});
         !rs.Eof(); rs.MoveNext())
        out.push_back(rs.Fields(0).toInt());
    return out;
}

sim::Reply Typist::press(const QString& line) {
    text += line;
    sim::Reply r = sim::PressReturn(*db, qid, console, text);
    text = r.Applied(text);
    return r;
}

bool Typist::refused(const QString& line) {
    const sim::Reply r = press(line);
    if (r.refused) text.chop(line.size());
    return r.refused;
}

sim::Reply Typist::ctrlZ() {
    sim::Reply r = console.CtrlZ();
    text = r.Applied(text);
    return r;
}

}  // namespace sim_test
