// Grading a run: every question of the run judged from its saved answers (the
// shared answers::IsCorrect rule), the score per category and overall, the
// scores of the grade report, the verdict against the pass mark and the
// geometry of its chart. The grade report shows what Grade returns and holds no
// rule of its own.
//
// Percentages are rounded to the nearest whole number with halves going to the
// even neighbour (68.5 gives 68, 69.5 gives 70), and scores are rounded first
// and then multiplied by 10, so computed scores are multiples of 10.
#pragma once

#include "platform/database.h"
#include "results/message.h"

#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

namespace scoring {

// Nearest whole number, a half going to the even neighbour.
long long RoundHalfEven(double v);
// part / whole x 100, rounded half to even; 0 when whole is 0 or less.
int16_t Percent(long long part, long long whole);

struct CategoryScore {
    int number = 0;       // the grid row: 1, 2, ... in CatInd order
    long long catInd = 0;
    QString name;         // empty when Categories holds no such Index
    long long correct = 0;
    long long total = 0;
    int16_t percentage = 0;
};

struct Judgement {
    std::vector<CategoryScore> categories;  // ascending CatInd, one per category met
    long long correct = 0;
    long long total = 0;  // every run question the bank holds, any type
};

// Judges every question of QuestIds that has a Questions row. With issuedOnly
// (a live adaptive exam) only the questions issued count: the run holds every
// question the exam could have drawn, and one never shown is not a wrong
// answer (the saved result keeps the issued questions only, so a reopened
// report shows the same grid).
Judgement JudgeRun(plat::Database& db, bool issuedOnly = false);

// The figures of a saved result, as its ResultsBrief row holds them.
struct SavedFigures {
    int16_t scoreObt = 0;
    int16_t passScore = 0;
    int16_t maxScore = 0;
    int16_t percentage = 0;
    QString result;  // "Pass" or "Fail" as saved
};

struct GradeInput {
    bool examMode = false;  // gblnExamMode
    bool adaptive = false;  // gblnAdaptive
    int16_t examLimit = 0;  // gintExamLimit
    int16_t adapScore = 0;  // gintAdapScore
    // Set for a reopened result: its saved figures are shown as saved, so the
    // report and the saved-results list agree; only the category grid comes
    // from the restored answers.
    std::optional<SavedFigures> saved;
};

// The run described by the module-level state (never a saved view).
GradeInput CurrentRun();

enum class Verdict { None, Pass, Fail };

// The chart, in twips: the ruler box spans the scale; the green (red on a
// FAIL) bar covers the percentage obtained at 44 twips per percent, the grey
// bar the rest; the 30-twip marker's right edge stands at the pass mark.
inline constexpr int kScaleLeft = 120;
inline constexpr int kScaleWidth = 4635;
inline constexpr int kTwipsPerPercent = 44;
inline constexpr int kMarkerWidth = 30;

struct Bar {
    bool visible = true;
    int left = 0;
    int width = 0;
};

struct Chart {
    Bar pass;                 // rtfPass: green, or red when the verdict is FAIL
    Bar fail;                 // rtfFail: grey
    bool passBarRed = false;
    bool markerVisible = false;
    int markerLeft = 0;       // RichTextBox1
};

// Percentages outside 0..100 are drawn as 0 or 100.
Chart ChartFor(int percentage, std::optional<int> passPercentage, Verdict verdict, int scaleLeft = kScaleLeft,
               int scaleWidth = kScaleWidth);

// The ruler's three lines: the scale (shown underlined: a bar at every tenth
// position, 101 characters), the numbers under it, and the caption.
QString RulerScale();
QString RulerNumbers();
QString RulerCaption();

struct Report {
    Judgement judged;
    int16_t scoreObt = 0;    // mintScoreObt
    int16_t passScore = 0;   // mintPassScore
    int16_t maxScore = 0;    // mintMaxScore
    int16_t percentage = 0;  // mintPercentage
    int16_t adapScore = 0;   // the value gintAdapScore takes
    Verdict verdict = Verdict::None;
    QString result;          // mstrResult: "Pass", "Fail", empty without a verdict
    QString verdictText;     // lblResultDsip: "PASS", "FAIL" or empty
    std::optional<int16_t> passPercentage;  // the marker's percentage, when known
    Chart chart;
    // Whether this report may be saved: a fresh run with a verdict.
    bool canSave = false;
    // Shown once when the report has no pass mark (no configuration row).
    results::Message problem;
};

// Grades a run. Exam mode: a linear exam's points are its correct answers, and
// the points never exceed the limit. Without a configuration row the report
// has no pass mark: no verdict, no marker, no save, and a message.
Report Grade(plat::Database& db, const GradeInput& input);

// Grades the run of the module-level state, or a reopened result when saved is
// given, and sets gintAdapScore as the report leaves it.
Report GradeCurrentRun(plat::Database& db, const std::optional<SavedFigures>& saved = std::nullopt);

}  // namespace scoring
