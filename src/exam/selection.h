// Question selection: which questions make up a run (QuestIds) and in which
// order their options are shown (AnsIds). No widget is needed here: the set-up
// window's custom cells and the mode window's progress bar come in as plain
// values and callbacks.
//
// Draws happen in memory on one generator seeded once per selection, with the
// same outcomes and probabilities as drawing a value at a time and rejecting
// unsuitable ones: a random block is a uniform permutation of its questions, a
// custom cell takes its questions uniformly among its category and level, a
// random option order is a uniform permutation. The run tables are written in
// one transaction. A selection that cannot be made (a block past the end of the
// source, an empty source, cells asking for more than exists, repeated question
// numbers) writes nothing and says why.
#pragma once

#include "platform/database.h"

#include <functional>
#include <random>
#include <string>
#include <vector>

namespace selection {

using Rng = std::mt19937;

// A generator seeded from the system's entropy source.
Rng MakeRng();

// Receives the progress values 2 to 9 of a selection.
using Progress = std::function<void(int)>;

struct Outcome {
    bool ok = true;
    std::string problem;  // what stopped the selection, for the user
    explicit operator bool() const { return ok; }
};

// The set-up window's custom grid: one category name per grid row (rows 1..n)
// and three cells per row, in element order 1..3n: beginner, intermediate and
// expert questions wanted from that row.
struct CustomGrid {
    std::vector<std::string> categories;
    std::vector<int> cells;
    // Called once the in-order path has made its selection, once for each cell
    // it took questions from, with the cell's element number (1-based) and its
    // value after the count-down.
    std::function<void(int element, int value)> cellChanged;
    // The Categories.Index of each grid row. When every row has one, rows are
    // matched to the bank's categories by Index, so that two categories of one
    // name stay apart; otherwise by name.
    std::vector<long long> indexes = {};
};

// A block of intMaxQuests questions of a table from position intStartInd (1-based,
// in QId order), in order or at random. With fullExam set, a random draw takes
// intMaxQuests questions from the whole table from the start position on, and
// clears fullExam. In exam mode a random draw also records each question's
// difficulty. Then fills AnsIds as RandAns does.
Outcome FetchQuest(plat::Database& db, const std::string& strTblName, int intMaxQuests, bool blnRandQuest,
                   bool blnRandAns, int intStartInd, bool examMode, bool& fullExam, Rng& rng,
                   const Progress& progress = {});

// The questions the custom grid asks for: in order, each cell takes the first
// questions of its category and level by QId and the run lists them in category
// order (the cells count down as they are taken); at random, each cell's
// questions are drawn uniformly and the whole set is shuffled (the cells stay).
// Then fills AnsIds as RandAns does.
Outcome FetchCustQuest(plat::Database& db, CustomGrid& grid, bool blnRandQuest, bool blnRandAns, Rng& rng);

// Lists the options of every question in QuestIds, in run order, in stored or
// random order.
Outcome RandAns(plat::Database& db, bool blnRandAns, Rng& rng);

}  // namespace selection
