// Whether a question of the run is answered, and whether correctly, judged from
// the answers saved in the database (never from the ticks on screen). The exam
// window, the review list and the grade report all judge by these two rules.
//
//   type   answered when                     correct when
//   "S"    it has an AnsSelected row         the chosen option is the correct one
//   "M"    it has an AnsSelected row         the chosen options are exactly the
//                                            correct ones (an extra tick is wrong)
//   "D"    a DragNDrop row has AnsSel <> 0   every row's AnsSel is its own Index
//                                            (a question without rows is correct)
//   "SIM"  a SimCommands row has CmdTyped 1  every command has CmdTyped = 1
//                                            (a question without rows is correct)
//   other  never                             never
#pragma once

#include "platform/database.h"

#include <string>

namespace answers {

bool IsAnswered(plat::Database& db, long long qid, const std::string& qtype);

// The answered rule above as an SQL condition (1 or 0) on the question whose
// QId is the SQL expression `qid` and whose type is `qtype` (a column or a
// parameter), so one query can search a run for its next unanswered question.
// Types compare exactly, whatever the column's collation.
std::string AnsweredCondition(const std::string& qid, const std::string& qtype);

// The same for a row of QuestIds in the query around it: its type is looked up
// in the bank, and a question the bank does not hold is not answered.
std::string RunQuestionAnswered();
bool IsCorrect(plat::Database& db, long long qid, const std::string& qtype);

// The question's type as stored ("S", "M", "D", "SIM"); empty when the bank
// holds no such question.
std::string TypeOf(plat::Database& db, long long qid);

}  // namespace answers
