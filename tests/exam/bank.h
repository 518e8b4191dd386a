// Question banks of a known shape for the selection and mode window tests, and
// readers of the run tables.
#pragma once

#include "platform/database.h"

#include <string>
#include <vector>

namespace exam_test {

struct BankQuestion {
    long long qid;
    std::string level;  // "B", "I", "E"
    std::string type;   // "S", "M", "D", "SIM"
    int cat;            // Categories.Index
    int options;        // Answers rows ("S" and "M" only)
};

// n questions whose QIds leave gaps (every fifth number is missing). Question i
// (from 0) has level "B", "I", "E" by i % 3 and category 1 to 3 by (i / 3) % 3,
// so every category holds every level; every tenth question from the fourth is
// drag-and-drop, from the eighth a simulation; the others are "S" and "M" with
// 3 to 5 options.
std::vector<BankQuestion> GappedBank(int n);

// Replaces the question bank (questions, categories "Routing", "Switching",
// "Security" and options) of the database.
void ReplaceBank(plat::Database& db, const std::vector<BankQuestion>& bank);

struct RunQuestion {
    long long index, qid;
    plat::Value diffLvl;
    long long attempted, order;
};
struct RunOption {
    long long index, ansId, qid;
};

std::vector<RunQuestion> RunQuestions(plat::Database& db);  // in Index order
std::vector<RunOption> RunOptions(plat::Database& db);      // in Index order
std::vector<long long> QIdsOf(const std::vector<RunQuestion>& run);
// The option Index values of one question as stored.
std::vector<long long> StoredOptions(plat::Database& db, long long qid);

}  // namespace exam_test
