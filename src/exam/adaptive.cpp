#include "adaptive.h"

#include "exam/answers.h"
#include "platform/convert.h"

namespace adaptive {

int16_t WeightOf(const QString& level, const Weights& w) {
    if (level == u"B") return w.B;
    if (level == u"I") return w.I;
    if (level == u"E") return w.E;
    return 0;
}

std::vector<QString> LevelOrder(const QString& level, bool correct) {
    if (level == u"B") return correct ? std::vector<QString>{"I", "E", "B"} : std::vector<QString>{"B", "I", "E"};
    if (level == u"I") return correct ? std::vector<QString>{"E", "I", "B"} : std::vector<QString>{"B", "I", "E"};
    if (level == u"E") return correct ? std::vector<QString>{"E", "I", "B"} : std::vector<QString>{"I", "B", "E"};
    return {};
}

QString StopTitle(const QString& level, bool correct) {
    if ((level == u"E" && correct) || (level == u"B" && !correct)) return QString();
    return QStringLiteral("Exam Score");
}

namespace {

std::optional<examnav::RunQuestion> firstUnissued(plat::Database& db, const QString& level) {
    plat::Recordset rs = db.OpenRecordset(
        "SELECT Index,QId,DiffLvl,ExamQIdsOrder FROM QuestIds where DiffLvl = ? and Attempted = 0 "
        "ORDER BY Index LIMIT 1",
        {level.toStdString()});
    if (rs.Eof()) return std::nullopt;
    return examnav::RowOf(rs);
}

}  // namespace

std::optional<examnav::RunQuestion> FirstQuestion(plat::Database& db) {
    for (const QString& level : {QStringLiteral("B"), QStringLiteral("I"), QStringLiteral("E")})
        if (auto q = firstUnissued(db, level)) return q;
    return std::nullopt;
}

std::optional<examnav::RunQuestion> ChooseNext(plat::Database& db, const QString& levelLeft, bool correct) {
    for (const QString& level : LevelOrder(levelLeft, correct))
        if (auto q = firstUnissued(db, level)) return q;
    return std::nullopt;
}

void Issue(plat::Database& db, long long index, long long issueNo) {
    db.Execute("UPDATE QuestIds SET Attempted = 1,ExamQIdsOrder = ? where Index = ?", {issueNo, index});
}

void ScoreBook::Add(plat::Database& db, long long qid, int16_t weight) {
    book_[qid] = Entry{weight, answers::IsCorrect(db, qid, answers::TypeOf(db, qid))};
}

void ScoreBook::Rejudge(plat::Database& db, long long qid) {
    auto it = book_.find(qid);
    if (it == book_.end()) return;
    it->second.correct = answers::IsCorrect(db, qid, answers::TypeOf(db, qid));
}

int16_t ScoreBook::Total() const {
    long long sum = 0;
    for (const auto& [qid, e] : book_)
        if (e.correct) sum += e.weight;
    return plat::CInt(sum);
}

}  // namespace adaptive
