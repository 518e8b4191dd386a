// The rules of the learn-mode set-up window, apart from its widgets: what the
// custom grid lists, how many questions each source offers, and the checks of
// Next in their fixed order, which give either the first refusal or the values
// the run starts with.
#pragma once

#include "platform/database.h"
#include "results/message.h"

#include <QString>

#include <array>
#include <cstdint>
#include <variant>
#include <vector>

namespace setupcheck {

enum class Source { All, BookMark, Custom };

// What the window holds when Next is pressed.
struct Entries {
    Source source = Source::All;
    QString questNum;   // the count box
    QString startFrom;  // the start box
    QString min;        // the time box
    // The questions the source offers: the bank's count for all questions,
    // the number shown beside the count for bookmarks.
    long long available = 0;
    // The custom grid's cells, in element order.
    std::vector<int> cells;
};

// The boxes a refusal puts the focus in.
enum class Box { QuestNum, StartFrom, Min };

struct Refusal {
    int check = 0;  // 1 to 12, in the order the checks run
    Box box = Box::QuestNum;
    // An information box with an OK button; an empty title is the program's title.
    results::Message message;
};

// The values a run starts with once every check has passed.
struct Start {
    Source source = Source::All;
    int16_t count = 0;  // custom: the cells' sum
    int16_t start = 1;
    int16_t minutes = 0;
    QString table;  // "Questions" or "BookMark"
};

std::variant<Refusal, Start> Check(const Entries& entries);

// The number the count box shows for the custom source.
long long CellsSum(const std::vector<int>& cells);

// One row of the custom grid: a category that has questions, with how many of
// them are beginner, intermediate and expert questions.
struct GridRow {
    long long index = 0;  // Categories.Index
    QString name;
    std::array<int, 3> counts{};  // "B", "I", "E"
};

// The grid's rows, one per category in Index order.
std::vector<GridRow> ReadGrid(plat::Database& db);

long long CountQuestions(plat::Database& db);
long long CountBookmarks(plat::Database& db);

}  // namespace setupcheck
