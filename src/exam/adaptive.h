// The adaptive exam's rules: which level comes next after a right or wrong
// answer, when issuing stops, and the score. The window keeps the position
// (which issued question is on screen) and calls these.
//
// Level order after the question left (the first level with an unissued
// question wins):
//
//   level left   answer correct   answer wrong
//   "B"          I, E, B          B, I, E
//   "I"          E, I, B          B, I, E
//   "E"          E, I, B          I, B, E
#pragma once

#include "exam/examnav.h"
#include "platform/database.h"

#include <QString>

#include <cstdint>
#include <map>
#include <optional>
#include <vector>

namespace adaptive {

// The difficulty points of a question of each level (gintBeginScore,
// gintIntScore, gintExpScore).
struct Weights {
    int16_t B = 0;
    int16_t I = 0;
    int16_t E = 0;
};

// A level's weight; a level other than "B", "I" or "E" has none.
int16_t WeightOf(const QString& level, const Weights& w);

// The levels to try, in order, after leaving a question of `level`; none for
// a level other than "B", "I" or "E".
std::vector<QString> LevelOrder(const QString& level, bool correct);

// Issuing stops once the weights counted reach the limit.
inline bool Stopped(int weight, int limit) { return weight >= limit; }

// The title of "You are at the Last Question" when issuing has stopped: "Exam
// Score", or empty (the box shows the program's title) after a correct "E" or
// a wrong "B".
QString StopTitle(const QString& level, bool correct);

// The run's first question: the first "B" question by Index, or, in a run
// without one, the first of the lowest level present.
std::optional<examnav::RunQuestion> FirstQuestion(plat::Database& db);

// The next question to issue: the first unissued question, by Index, of the
// first level of LevelOrder that has one. Nothing when none is left.
std::optional<examnav::RunQuestion> ChooseNext(plat::Database& db, const QString& levelLeft, bool correct);

// Stamps the question at `index` as issued with the issue number.
void Issue(plat::Database& db, long long index, long long issueNo);

// The score: the weights of the issued questions that are correct by their
// saved answers, each counted once. A question is judged when it is issued
// and again whenever its answer may have changed.
class ScoreBook {
public:
    void Clear() { book_.clear(); }
    // Adds an issued question with its weight, judged now.
    void Add(plat::Database& db, long long qid, int16_t weight);
    // Judges the question again; a question not issued is not scored.
    void Rejudge(plat::Database& db, long long qid);
    int16_t Total() const;

private:
    struct Entry {
        int16_t weight = 0;
        bool correct = false;
    };
    std::map<long long, Entry> book_;
};

}  // namespace adaptive
