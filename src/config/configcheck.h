// The rules of the exam configuration window, apart from its widgets: what the
// boxes show for a stored row, whether the boxes still match the stored row,
// the checks an update runs in their fixed order, and the row it stores.
#pragma once

#include "platform/database.h"
#include "startup/adminconfig.h"

#include <QString>

#include <cstdint>
#include <optional>
#include <variant>

namespace configcheck {

// What the configuration window holds: the texts of its boxes and the values
// (1 ticked, 0 clear) of its check boxes.
struct FormValues {
    QString ExamName;
    int Linear = 0;
    int Adaptive = 0;
    QString Exams;
    QString NofQues;
    QString PassPercentage;
    QString MaxScore;
    QString MaxTime;
    QString BeginScore;
    QString IntScore;
    QString ExpScore;
    int LearnMode = 0;
    int ExamMode = 0;
    int SimulatorMode = 0;
    int Previous = 0;
    int Review = 0;
};

// The boxes a refused update puts the focus in.
enum class Box { ExamName, NumOfExams, NoOfQues, PassPer, MaxScore, MaxTime };

struct Refusal {
    Box box;
    QString message;
    QString title;
};

// The row an accepted update writes; the exam name and the difficulty points
// are never written.
struct StoredRow {
    QString Etype;
    int16_t Exams = 0;
    int16_t NofQues = 0;
    int16_t PassPercentage = 0;
    int16_t MaxScore = 0;
    int16_t MaxTime = 0;
    int LearnMode = 0;
    int ExamMode = 0;
    int SimulatorMode = 0;
    int Previous = 0;
    int Review = 0;
};

// Only the characters with codes 48 to 57; the empty text passes.
bool NumberChk(const QString& strNumToChk);

// The exam type the two boxes stand for: "B" both, "L" linear, "A" adaptive,
// and "L" when neither is ticked.
QString TypeOf(int linear, int adaptive);

// The boxes as they show a stored (or factory) row. Both type boxes follow the
// row's type; any type but "L", "A" and "B" ticks neither.
FormValues FromRow(const AdminConfigRow& row);

// True while the boxes hold what is stored (the exam name is not compared).
// Numbers compare as texts, so "05" differs from a stored 5. The type compares
// as the one an update would store.
bool Matches(const FormValues& form, const AdminConfigRow& stored);

// The checks of an update, in their fixed order, against the factory limits
// on the numbers of exams and questions: the first refusal, or the row to store.
std::variant<Refusal, StoredRow> Check(const FormValues& form, long long examsDef, long long nofQuesDef);

// Rewrites the configuration's one row with `row`.
void Store(plat::Database& db, const StoredRow& row);

// Checks the boxes against the factory row and stores them when they pass:
// the refusal, or nullopt once stored. A missing factory row stops the update
// with a run-time error.
std::optional<Refusal> Update(plat::Database& db, const FormValues& form);

}  // namespace configcheck
