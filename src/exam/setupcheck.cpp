#include "setupcheck.h"

#include "platform/convert.h"

#include <algorithm>
#include <limits>

namespace setupcheck {

namespace {

Refusal refuse(int check, Box box, const char* text, const char* title) {
    return Refusal{check, box, results::Message{QString::fromUtf8(text), results::Icon::Information,
                                                QString::fromUtf8(title), false}};
}

// The value of a text already known to hold only the digits 0 to 9, read whole:
// twenty digits compare greater than any limit instead of wrapping round.
long long valueOf(const QString& digits) { return plat::DigitsValue(digits).value_or(0); }

// count + start - 1 questions from the start on, without overflowing.
bool beyond(long long count, long long start, long long available) {
    return count > available || start - 1 > available - count;
}

}  // namespace

long long CellsSum(const std::vector<int>& cells) {
    long long sum = 0;
    for (int v : cells) sum += std::max(v, 0);
    return sum;
}

std::variant<Refusal, Start> Check(const Entries& e) {
    if (e.questNum.isEmpty())
        return refuse(1, Box::QuestNum, "Please Enter the number of Questions", "Exam Questions");
    if (e.startFrom.isEmpty())
        return refuse(2, Box::StartFrom, "Please Enter the starting Question number", "Exam Questions");
    if (!plat::IsDigits(e.questNum))
        return refuse(3, Box::QuestNum, "Please Enter only Numeric value for Number of Questions",
                      "Number of Questions");
    // The custom count is the cells' sum, whatever else the box was given.
    const long long count = e.source == Source::Custom ? CellsSum(e.cells) : valueOf(e.questNum);
    if (count == 0) return refuse(4, Box::QuestNum, "Number of Questions cannot be zero", "Number of Questions");
    if (!plat::IsDigits(e.startFrom))
        return refuse(5, Box::StartFrom, "Please Enter only Numeric value for Starting Question Number", "");
    const long long start = valueOf(e.startFrom);
    if (start == 0) return refuse(6, Box::StartFrom, "Starting Question Number cannot be zero", "");
    // An empty source is refused too: a run must have questions to show. The
    // custom cells list no more questions than their category and level hold.
    if (e.source != Source::Custom && beyond(count, start, std::max(e.available, 0LL)))
        return refuse(7, Box::QuestNum, "Sufficient Questions not avialable", "Exam Questions");
    if (e.min.isEmpty()) return refuse(8, Box::Min, "Please Enter the Time", "Exam Time");
    if (!plat::IsDigits(e.min)) return refuse(9, Box::Min, "Please Specify the Time Properly", "Exam TIme");
    const long long minutes = valueOf(e.min);
    if (minutes <= 0) return refuse(10, Box::Min, "Please Specify the Time Properly", "Exam TIme");
    if (minutes > 999)
        return refuse(11, Box::Min, "Please Specify the Time Less than 1000 Minutes", "Exam TIme");
    // A run is numbered in 16 bits: a bank larger than that offers more than
    // one run can take, which is said rather than stopping the program.
    constexpr long long kMost = std::numeric_limits<int16_t>::max();
    if (count > kMost)
        return refuse(12, Box::QuestNum, "A test can have at most 32767 Questions", "Number of Questions");
    if (e.source != Source::Custom && start > kMost)
        return refuse(12, Box::StartFrom, "Starting Question Number cannot be more than 32767", "");

    Start s;
    s.source = e.source;
    s.count = plat::CInt(count);
    s.start = e.source == Source::Custom ? int16_t(1) : plat::CInt(start);
    s.minutes = plat::CInt(minutes);
    s.table = e.source == Source::BookMark ? QStringLiteral("BookMark") : QStringLiteral("Questions");
    return s;
}

std::vector<GridRow> ReadGrid(plat::Database& db) {
    std::vector<GridRow> rows;
    plat::Recordset rs = db.OpenRecordset(
        "SELECT Categories.Index,Categories.CatName, Questions.DiffLevel FROM Categories INNER JOIN Questions ON "
        "Categories.Index = Questions.CatInd order by Categories.Index");
    for (; !rs.Eof(); rs.MoveNext()) {
        // Rows belong to categories by Index: two categories of one name stay apart.
        const long long index = rs.Fields(0).toInt();
        if (rows.empty() || rows.back().index != index)
            rows.push_back(GridRow{index, QString::fromStdString(rs.Fields(1).toString()), {}});
        const std::string level = rs.Fields(2).toString();
        if (level == "B") ++rows.back().counts[0];
        else if (level == "I") ++rows.back().counts[1];
        else if (level == "E") ++rows.back().counts[2];
    }
    return rows;
}

long long CountQuestions(plat::Database& db) { return db.Scalar("SELECT Count (*) FROM Questions").toInt(); }

long long CountBookmarks(plat::Database& db) { return db.Scalar("SELECT Count (*) FROM BookMark").toInt(); }

}  // namespace setupcheck
