// A lab of known shape added to the test's copy of the shipped database, and a
// candidate typing at its console through the engine the window calls.
#pragma once

#include "platform/database.h"
#include "simulator/visit.h"

#include <QString>

#include <string>
#include <vector>

namespace sim_test {

struct LabRow {
    std::string cmdPmt, command, resPmt, response;
    std::vector<std::string> values;
};

// Adds a simulation question with these commands (device R9) and returns its
// QId (`qid`, or one more than the bank's largest when 0); the rows'
// SimCommands.Index values follow in `indexes`.
long long AddLab(plat::Database& db, const std::vector<LabRow>& rows, std::vector<long long>* indexes = nullptr,
                 long long qid = 0);

// The test lab: enable, configure terminal (with output), two interfaces with
// the same commands at (config-if)#, and OSPF, whose level expects nothing.
//   1 >             enable                        => #
//   2 #             configure terminal            => (config)#     (one line of output)
//   3 (config)#     interface <if>  g0/1          => (config-if)#
//   4 (config-if)#  ip address <ip> <mask>  10.0.0.1 255.0.0.0
//   5 (config-if)#  no shutdown                   (two lines of output)
//   6 (config)#     interface <if>  g0/2          => (config-if)#
//   7 (config-if)#  no shutdown                   (two lines of output)
//   8 (config)#     router ospf <pid>  1          => (config-router)#
std::vector<LabRow> TestLab();
extern const char* const kConfigOutput;
extern const char* const kLinkOutput;  // CR LF between its two lines

// CmdTyped of the question's commands, in Index order.
std::vector<long long> Typed(plat::Database& db, long long qid);

// A candidate at the console of one question: the console's text and the
// window's console state, kept as the window keeps them.
struct Typist {
    Typist(plat::Database* d, long long q) : db(d), qid(q) {}

    plat::Database* db;
    long long qid;
    sim::Console console;
    QString text = sim::kStartLine;

    // Types the line at the end of the console and presses Return.
    sim::Reply press(const QString& line = QString());
    sim::Reply ctrlZ();
    // Presses Return on the line; when it is refused, erases it again as the
    // candidate would. Whether it was refused.
    bool refused(const QString& line);
    // The console's last line.
    QString last() const { return text.section(QLatin1Char('\n'), -1); }
};

}  // namespace sim_test
