// Generated question banks of any size, for the tests and the benchmarks that
// need more than the shipped bank: many questions, or row numbers far beyond
// what the shipped bank reaches.
#pragma once

#include "platform/database.h"

namespace largebank {

constexpr int kCategories = 10;

struct Shape {
    int questions = 1000;
    // The first number of each kind of row; the numbers rise from there.
    long long firstQId = 1;      // Questions.QId, with a gap after every ninth
    long long firstOption = 1;   // Answers.Index
    long long firstDragRow = 1;  // DragNDrop.Index
    long long firstCommand = 1;  // SimCommands.Index
};

// Question i (from 0): level "B", "I", "E" by (i / 7) % 3, category
// (i * 7) % 10 + 1 ("Category 1" to "Category 10"); every tenth question from
// the fourth is drag-and-drop with three rows, from the eighth a simulation
// with one command ("enable" at "Router>"), the others "M" (odd) or "S" (even)
// with four options of which the first is correct. One transaction.
void MakeBank(plat::Database& db, const Shape& shape);

// The same in a database that holds a bank already (the shipped one): its
// questions, categories, options, drag-and-drop rows and commands go first.
void ReplaceBank(plat::Database& db, const Shape& shape);

}  // namespace largebank
