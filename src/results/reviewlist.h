// The rows of the review list: the run's questions with their text, whether
// each is bookmarked and whether it has an answer recorded.
#pragma once

#include "platform/database.h"

#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

namespace results {

struct ReviewRow {
    long long index = 0;  // QuestIds.Index: the question's place in the run
    long long qid = 0;
    QString question;   // Questions.QName
    // BookMarkExam holds exactly one row for it, or, in learn mode, BookMark does.
    bool bookmarked = false;
    // Answered or not; nothing for a question of a type no answer can be
    // recorded for.
    std::optional<bool> answered;
};

// Every question of the run in run order, leaving out those the bank does not
// hold or whose category it does not hold. In a live adaptive exam only the
// questions issued so far are listed, in the order they were issued: the
// others were never shown, are not graded and are not saved, so an answer
// given to one of them would be lost.
std::vector<ReviewRow> ReviewRows(plat::Database& db, bool examMode, bool adaptiveIssuedOnly);

}  // namespace results
