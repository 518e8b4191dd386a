// What the exam window reads and writes around the question on screen: the
// start of a run, the question with its options in display order, the saved
// choices, Show Answer's correct options and the two bookmark lists.
#pragma once

#include "platform/database.h"

#include <QString>

#include <vector>

namespace examrun {

// A new run starts with no answer recorded: no chosen option, every
// drag-and-drop row and router command back to unanswered, and no exam
// bookmark left from a run that was never ended. One transaction.
void StartRun(plat::Database& db);

// One option of a question, in display order.
struct Option {
    long long index = 0;  // Answers.Index
    QString text;
    bool chosen = false;  // it has an AnsSelected row
};

// A question as the exam window shows it.
struct Question {
    bool found = false;  // the bank has the question
    QString name;        // QName
    QString type;        // QType: "S", "M", "D", "SIM"
    QString exhibitPath;
    QString expln;
    std::vector<Option> options;  // "S" and "M" only, in AnsIds order
    long long runIndex = 0;       // its QuestIds.Index; 0 when not in the run
    long long runSize = 0;        // rows of QuestIds
};
Question LoadQuestion(plat::Database& db, long long qid);

// Replaces the question's chosen options: the only writer of AnsSelected
// during a run. One transaction, so a failure keeps the former choice whole.
void SaveAnswers(plat::Database& db, long long qid, const std::vector<long long>& chosen);

// The correct options of a question, by Index; only the first when `firstOnly`.
std::vector<long long> CorrectOptions(plat::Database& db, long long qid, bool firstOnly);

// ---- bookmarks: BookMarkExam for the run, BookMark kept across runs
enum class Marks { Exam, Learn };

// Rows of the question in the list; a question counts as marked with exactly one.
long long MarkCount(plat::Database& db, Marks list, long long qid);
// The click step of a bookmark box: ticked adds a row when the question has
// none; clear removes every row of the question.
void BoxClicked(plat::Database& db, Marks list, long long qid, bool ticked);
// After the learn box was cleared on leaving a question: the question keeps
// exactly one BookMark row.
void KeepLearnMark(plat::Database& db, long long qid);
// End of a run: learn bookmarks marked deleted go, and the run's exam bookmarks.
void PurgeAtEnd(plat::Database& db);

}  // namespace examrun
