// Where Next and Previous lead in a run: the questions of QuestIds by their
// place (a linear run) or by their issue number (an adaptive run), skipping
// answered questions while the candidate reviews the unanswered ones. Every
// lookup only reads, so a window decides before it takes a question down.
#pragma once

#include "platform/database.h"

#include <QString>

#include <optional>

namespace examnav {

// A question of the run.
struct RunQuestion {
    long long index = 0;  // QuestIds.Index, its place in the run
    long long qid = 0;
    QString level;        // QuestIds.DiffLvl
    long long order = 0;  // ExamQIdsOrder: its issue number, 0 while not issued
};

// The question a row of QuestIds read with Index, QId, DiffLvl and
// ExamQIdsOrder stands for.
RunQuestion RowOf(const plat::Recordset& rs);

// The row with this Index; the run's first row.
std::optional<RunQuestion> At(plat::Database& db, long long index);
std::optional<RunQuestion> First(plat::Database& db);

// The nearest question after or before `index` by Index; with unansweredOnly,
// the nearest one that has no answer recorded.
std::optional<RunQuestion> After(plat::Database& db, long long index, bool unansweredOnly);
std::optional<RunQuestion> Before(plat::Database& db, long long index, bool unansweredOnly);

// The same over the issued questions of an adaptive run, by issue number.
std::optional<RunQuestion> IssuedAfter(plat::Database& db, long long order, bool unansweredOnly);
std::optional<RunQuestion> IssuedBefore(plat::Database& db, long long order, bool unansweredOnly);

// The first question without an answer: by Index, or, for an adaptive run,
// among the issued questions by issue number.
std::optional<RunQuestion> FirstUnanswered(plat::Database& db, bool issuedOnly);

// Whether the question has an answer recorded, by its type in the bank.
bool Answered(plat::Database& db, long long qid);

}  // namespace examnav
