#include "configcheck.h"

#include "platform/convert.h"

#include <initializer_list>
#include <stdexcept>

namespace configcheck {

namespace {

enum class Test { Empty, NotNumeric, Zero, Above };

struct Step {
    Test test;
    long long limit;  // for Above only
    const char* message;
    const char* title;
};

// Runs one box's checks in order. A value is read only once the text is known
// to be digits, and read whole: twenty digits must fail the limit, never pass
// as a number that wrapped round to zero.
std::optional<Refusal> checkBox(Box box, const QString& text, std::initializer_list<Step> steps) {
    for (const Step& s : steps) {
        bool refused = false;
        switch (s.test) {
        case Test::Empty: refused = text.isEmpty(); break;
        case Test::NotNumeric: refused = !NumberChk(text); break;
        case Test::Zero: refused = plat::DigitsValue(text).value_or(0) == 0; break;
        case Test::Above: refused = plat::DigitsValue(text).value_or(0) > s.limit; break;
        }
        if (refused) return Refusal{box, QString::fromUtf8(s.message), QString::fromUtf8(s.title)};
    }
    return std::nullopt;
}

int16_t value16(const QString& digits) { return plat::CInt(plat::DigitsValue(digits).value_or(0)); }

QString text(long long v) { return QString::number(v); }
int tick(bool v) { return v ? 1 : 0; }

}  // namespace

bool NumberChk(const QString& strNumToChk) {
    for (QChar c : strNumToChk)
        if (c.unicode() < 48 || c.unicode() > 57) return false;
    return true;
}

QString TypeOf(int linear, int adaptive) {
    if (linear && adaptive) return QStringLiteral("B");
    if (linear) return QStringLiteral("L");
    if (adaptive) return QStringLiteral("A");
    return QStringLiteral("L");
}

FormValues FromRow(const AdminConfigRow& row) {
    FormValues f;
    f.ExamName = row.ExamName;
    f.Linear = tick(row.Etype == u"L" || row.Etype == u"B");
    f.Adaptive = tick(row.Etype == u"A" || row.Etype == u"B");
    f.Exams = text(row.Exams);
    f.NofQues = text(row.NofQues);
    f.PassPercentage = text(row.PassPercentage);
    f.MaxScore = text(row.MaxScore);
    f.MaxTime = text(row.MaxTime);
    f.BeginScore = text(row.BeginScore);
    f.IntScore = text(row.IntScore);
    f.ExpScore = text(row.ExpScore);
    f.LearnMode = tick(row.LearnMode);
    f.ExamMode = tick(row.ExamMode);
    f.SimulatorMode = tick(row.SimulatorMode);
    f.Previous = tick(row.Previous);
    f.Review = tick(row.Review);
    return f;
}

bool Matches(const FormValues& f, const AdminConfigRow& s) {
    // A box ticked beyond the stored type is a change too: it is what an
    // update would write.
    if (TypeOf(f.Linear, f.Adaptive) != s.Etype) return false;
    if (text(s.Exams) != f.Exams || text(s.NofQues) != f.NofQues || text(s.PassPercentage) != f.PassPercentage ||
        text(s.MaxScore) != f.MaxScore || text(s.MaxTime) != f.MaxTime || text(s.BeginScore) != f.BeginScore ||
        text(s.IntScore) != f.IntScore || text(s.ExpScore) != f.ExpScore)
        return false;
    return tick(s.LearnMode) == tick(f.LearnMode) && tick(s.ExamMode) == tick(f.ExamMode) &&
           tick(s.SimulatorMode) == tick(f.SimulatorMode) && tick(s.Previous) == tick(f.Previous) &&
           tick(s.Review) == tick(f.Review);
}

std::variant<Refusal, StoredRow> Check(const FormValues& f, long long examsDef, long long nofQuesDef) {
    if (f.ExamName.isEmpty()) return Refusal{Box::ExamName, "Please enter a exam name", "Exam Name"};
    const std::optional<Refusal> refusal = [&]() -> std::optional<Refusal> {
        if (auto r = checkBox(Box::NumOfExams, f.Exams,
                              {{Test::Empty, 0, "Please Enter the Number of Exams", "Exams"},
                               {Test::NotNumeric, 0, "Please Enter only Numeric value for Number of Exams", "Exams"},
                               {Test::Zero, 0, "Number of exams cannot be zero", "Exams"},
                               {Test::Above, examsDef,
                                "Number of exams should be less than the default number of exams", "Exams"}}))
            return r;
        if (auto r = checkBox(
                Box::NoOfQues, f.NofQues,
                {{Test::Empty, 0, "Please Enter the Number of Questions", "Exam Questions"},
                 {Test::NotNumeric, 0, "Please Enter only Numeric value for Number of Questions", "Exam Questions"},
                 {Test::Above, nofQuesDef, "Number of question should be less than the default number of questions",
                  "Exam Questions"},
                 {Test::Zero, 0, "NUmber of exams cannot be zero", "Exam Questions"}}))
            return r;
        if (auto r = checkBox(Box::PassPer, f.PassPercentage,
                              {{Test::Empty, 0, "Please Enter the Pass score", "Pass Score"},
                               {Test::NotNumeric, 0, "Please Enter only Numeric value for Score", "Pass Score"},
                               {Test::Above, 100, "Pass Percentage should be Less than or Equal to 100",
                                "Pass Percentage"},
                               {Test::Zero, 0, "Pass Percentage cannot be zero", "Pass Percentage"}}))
            return r;
        if (auto r = checkBox(
                Box::MaxScore, f.MaxScore,
                {{Test::Empty, 0, "Please Enter the Maximum score", "Maximim Score"},
                 {Test::NotNumeric, 0, "Please Enter only Numeric value for Maximum Score", "Maximim Score"},
                 {Test::Zero, 0, "Maximum score cannot be zero", "Maximim Score"},
                 {Test::Above, 1000, "Maximum score cannot be greater than 1000", "Maximim Score"}}))
            return r;
        return checkBox(Box::MaxTime, f.MaxTime,
                        {{Test::Empty, 0, "Please Enter the Maximum time", "Exam Time"},
                         {Test::NotNumeric, 0, "Please Enter only Numeric value for Maximimum Time", "Exam Time"},
                         {Test::Above, 999, "Please Specify the Time Less than 1000 Minutes", "Exam Time"},
                         {Test::Zero, 0, "Maximum time cannot be less than or equal to zero", "Exam Time"}});
    }();
    if (refusal) return *refusal;

    // Narrowed to 16 bits only now that every value is within its limit.
    StoredRow row;
    row.Etype = TypeOf(f.Linear, f.Adaptive);
    row.Exams = value16(f.Exams);
    row.NofQues = value16(f.NofQues);
    row.PassPercentage = value16(f.PassPercentage);
    row.MaxScore = value16(f.MaxScore);
    row.MaxTime = value16(f.MaxTime);
    row.LearnMode = tick(f.LearnMode);
    row.ExamMode = tick(f.ExamMode);
    row.SimulatorMode = tick(f.SimulatorMode);
    row.Previous = tick(f.Previous);
    row.Review = tick(f.Review);
    return row;
}

void Store(plat::Database& db, const StoredRow& r) {
    // No WHERE clause: the table holds the one configuration row.
    db.Execute("UPDATE AdminConfig SET Etype = ?,NofQues = ?,PassPercentage = ?,MaxScore = ?, MaxTime = ?,"
               "LearnMode = ?,ExamMode = ?,SimulatorMode = ?,Previous = ? ,Review = ?,Exams = ? ",
               {r.Etype.toStdString(), int(r.NofQues), int(r.PassPercentage), int(r.MaxScore), int(r.MaxTime),
                plat::Value::Flag(r.LearnMode), plat::Value::Flag(r.ExamMode), plat::Value::Flag(r.SimulatorMode),
                plat::Value::Flag(r.Previous), plat::Value::Flag(r.Review), int(r.Exams)});
}

std::optional<Refusal> Update(plat::Database& db, const FormValues& form) {
    const std::optional<AdminConfigRow> def = ReadAdminDef(db);
    if (!def) throw std::runtime_error("The factory configuration (AdminDef) holds no row.");
    const std::variant<Refusal, StoredRow> outcome = Check(form, def->Exams, def->NofQues);
    if (const auto* refusal = std::get_if<Refusal>(&outcome)) return *refusal;
    Store(db, std::get<StoredRow>(outcome));
    return std::nullopt;
}

}  // namespace configcheck
