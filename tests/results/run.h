// Runs of the shipped bank's own questions put into the run tables, answered
// right or wrong the way the exam window and its side windows record answers,
// and snapshots of every table a saved result restores.
#pragma once

#include "platform/database.h"
#include "results/savedresults.h"

#include <QDate>
#include <QString>
#include <QTime>

#include <optional>
#include <string>
#include <vector>

namespace results_test {

// The n-th question (from 0, in QId order) of a type, optionally of a category.
long long Pick(plat::Database& db, const std::string& type, int nth = 0, std::optional<int> category = {});

// Appends a question to QuestIds (next Index) and its options to AnsIds in
// stored order, as a selection does.
void AddToRun(plat::Database& db, long long qid);

// Records an answer for a question of the run, by its type: "S" the correct or
// a wrong option, "M" all correct options or all but one, "D" every row on its
// own slot or the first two swapped, "SIM" every command typed or only the
// first.
void Answer(plat::Database& db, long long qid, bool correct);

// Everything a reopened result rebuilds, as comparable text.
struct Tables {
    std::vector<std::string> questIds;     // Index, QId
    std::vector<std::string> ansIds;       // AnsId, Qid in Index order
    std::vector<std::string> ansSelected;  // QId, Answer, sorted
    std::vector<std::string> dragNDrop;    // Index, AnsRand, AnsSel of every row
    std::vector<std::string> simCommands;  // Index, CmdTyped of every row
    bool operator==(const Tables&) const = default;
};
Tables Snapshot(plat::Database& db);

std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& text);

// The saving of a run scored 650 of 1000 against a pass of 700 (65 %, "Fail").
results::SaveRequest FailedRunRequest(const QString& candName, const QString& userName, const QString& examName,
                                      QDate date, QTime time);

}  // namespace results_test
