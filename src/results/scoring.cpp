#include "scoring.h"

#include "exam/answers.h"
#include "platform/convert.h"
#include "startup/adminconfig.h"
#include "startup/state.h"

#include <algorithm>
#include <cfenv>
#include <cmath>

namespace scoring {

namespace {

QString CategoryName(plat::Database& db, const plat::Value& catInd) {
    plat::Recordset rs = db.OpenRecordset("SELECT CatName FROM Categories where Index = ?", {catInd});
    return rs.Eof() ? QString() : QString::fromStdString(rs.Fields(0).toString());
}

// A whole number held in 16 bits; beyond that the handler stops with "Overflow".
int16_t Short(double v) { return plat::CInt(RoundHalfEven(v)); }

}  // namespace

long long RoundHalfEven(double v) {
    // nearbyint rounds in the current mode, which is to-nearest-even unless
    // someone changed it; say so rather than rely on it.
    const int mode = std::fegetround();
    if (mode != FE_TONEAREST) std::fesetround(FE_TONEAREST);
    const double r = std::nearbyint(v);
    if (mode != FE_TONEAREST) std::fesetround(mode);
    return static_cast<long long>(r);
}

int16_t Percent(long long part, long long whole) {
    if (whole <= 0) return 0;
    return Short(static_cast<double>(part) / static_cast<double>(whole) * 100.0);
}

Judgement JudgeRun(plat::Database& db, bool issuedOnly) {
    Judgement j;
    // One read for the whole run: each statement outside a transaction would
    // take and release the file's lock on its own.
    plat::Transaction read(db);
    plat::Recordset rs = db.OpenRecordset(
        std::string("SELECT [Questions].[QType],[Questions].[CatInd],[QuestIds].[QId] FROM QuestIds INNER JOIN "
                    "Questions ON [QuestIds].[QId]=[Questions].[QId] ") +
        (issuedOnly ? "WHERE [QuestIds].[ExamQIdsOrder] <> 0 " : "") + "ORDER BY [Questions].[CatInd]");
    CategoryScore* current = nullptr;
    plat::Value currentInd;
    for (; !rs.Eof(); rs.MoveNext()) {
        const plat::Value catInd = rs.Fields(1);
        if (!current || !(catInd == currentInd)) {
            CategoryScore c;
            c.number = static_cast<int>(j.categories.size()) + 1;
            c.catInd = catInd.toInt();
            c.name = CategoryName(db, catInd);
            j.categories.push_back(c);
            current = &j.categories.back();
            currentInd = catInd;
        }
        ++current->total;
        ++j.total;
        if (answers::IsCorrect(db, rs.Fields(2).toInt(), rs.Fields(0).toString())) {
            ++current->correct;
            ++j.correct;
        }
    }
    read.Commit();
    for (CategoryScore& c : j.categories) c.percentage = Percent(c.correct, c.total);
    return j;
}

GradeInput CurrentRun() {
    GradeInput in;
    in.examMode = gblnExamMode;
    in.adaptive = gblnAdaptive;
    in.examLimit = gintExamLimit;
    in.adapScore = gintAdapScore;
    return in;
}

Chart ChartFor(int percentage, std::optional<int> passPercentage, Verdict verdict, int scaleLeft, int scaleWidth) {
    Chart c;
    const int p = std::clamp(percentage, 0, 100);
    c.pass.left = scaleLeft;
    if (p == 0) {
        c.pass.visible = false;
        c.fail.left = scaleLeft;
        c.fail.width = scaleWidth;
    } else if (p == 100) {
        c.pass.width = scaleWidth - kMarkerWidth;
        c.fail.visible = false;
        c.fail.left = c.pass.left + c.pass.width;
    } else {
        c.pass.width = kTwipsPerPercent * p;
        c.fail.left = c.pass.left + c.pass.width;
        c.fail.width = scaleWidth - c.pass.width;
    }
    c.passBarRed = verdict == Verdict::Fail;
    if (passPercentage) {
        c.markerVisible = true;
        c.markerLeft = scaleLeft + kTwipsPerPercent * *passPercentage - kMarkerWidth;
    }
    return c;
}

QString RulerScale() {
    QString s = QStringLiteral("|");
    for (int i = 0; i < 10; ++i) s += QStringLiteral(",,,,,,,,,|");
    return s;
}

QString RulerNumbers() {
    static const int kGaps[] = {6, 7, 5, 6, 5, 5, 6, 5, 4, 4};
    QString s = QStringLiteral("0");
    for (int i = 0; i < 10; ++i) s += QString(kGaps[i], u' ') + QString::number((i + 1) * 10);
    return s;
}

QString RulerCaption() { return QString(24, u' ') + QStringLiteral("Percentage --->"); }

Report Grade(plat::Database& db, const GradeInput& in) {
    Report r;
    r.judged = JudgeRun(db, in.examMode && in.adaptive && !in.saved);
    r.adapScore = in.adapScore;

    if (in.saved) {
        const SavedFigures& s = *in.saved;
        r.scoreObt = s.scoreObt;
        r.passScore = s.passScore;
        r.maxScore = s.maxScore;
        r.percentage = s.percentage;
        if (s.result.compare(QStringLiteral("Pass"), Qt::CaseInsensitive) == 0) r.verdict = Verdict::Pass;
        else if (s.result.compare(QStringLiteral("Fail"), Qt::CaseInsensitive) == 0) r.verdict = Verdict::Fail;
        r.passPercentage = Percent(s.passScore, s.maxScore);
    } else {
        const std::optional<AdminConfigRow> cfg = ReadAdminConfig(db);
        const double maxScore = cfg ? static_cast<double>(cfg->MaxScore) : 0.0;
        const double passPct = cfg ? static_cast<double>(cfg->PassPercentage) : 0.0;
        if (!in.examMode) {
            r.percentage = Percent(r.judged.correct, r.judged.total);
            r.scoreObt = plat::CInt(static_cast<long long>(r.percentage) * 10);
            r.passScore = plat::CInt(RoundHalfEven(passPct) * 10);
            r.maxScore = 1000;
        } else {
            long long points = in.adaptive ? in.adapScore : r.judged.correct;
            if (points > in.examLimit) points = in.examLimit;
            r.adapScore = plat::CInt(points);
            r.percentage = Percent(points, in.examLimit);
            r.scoreObt = in.examLimit > 0
                             ? plat::CInt(RoundHalfEven(maxScore / in.examLimit * points) * 10)
                             : int16_t(0);
            r.passScore = plat::CInt(RoundHalfEven(passPct / 100.0 * maxScore) * 10);
            r.maxScore = plat::CInt(static_cast<long long>(maxScore) * 10);
        }
        if (cfg) {
            r.passPercentage = plat::CInt(cfg->PassPercentage);
            // The scores take no part in the verdict; reaching the pass mark passes.
            r.verdict = r.percentage < cfg->PassPercentage ? Verdict::Fail : Verdict::Pass;
            r.canSave = true;
        } else {
            r.problem = {QStringLiteral("The exam configuration is missing, so this result has no pass mark "
                                        "and cannot be saved."),
                         results::Icon::Exclamation, QStringLiteral("Grade")};
        }
    }
    if (r.verdict == Verdict::Pass) {
        r.result = QStringLiteral("Pass");
        r.verdictText = QStringLiteral("PASS");
    } else if (r.verdict == Verdict::Fail) {
        r.result = QStringLiteral("Fail");
        r.verdictText = QStringLiteral("FAIL");
    }
    r.chart = ChartFor(r.percentage, r.passPercentage ? std::optional<int>(*r.passPercentage) : std::nullopt,
                       r.verdict);
    return r;
}

Report GradeCurrentRun(plat::Database& db, const std::optional<SavedFigures>& saved) {
    GradeInput in = CurrentRun();
    in.saved = saved;
    Report r = Grade(db, in);
    if (!saved) gintAdapScore = r.adapScore;
    return r;
}

}  // namespace scoring
