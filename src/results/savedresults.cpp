#include "savedresults.h"

#include "results/resultfile.h"
#include "startup/state.h"

#include <fstream>
#include <iterator>
#include <limits>
#include <system_error>

namespace fs = std::filesystem;

namespace results {

namespace {

const QString kTitle = QStringLiteral("Results");

Message Info(const QString& text) { return {text, Icon::Information, kTitle}; }
Message Failure(const QString& text) { return {text, Icon::Critical, kTitle}; }

QString Shown(const fs::path& p) { return QStringLiteral("\"") + QString::fromStdString(p.string()) + u'"'; }

// An error's first line: the data layer adds the statement on the next ones.
QString Reason(const std::exception& e) { return QString::fromUtf8(e.what()).section(u'\n', 0, 0); }
QString Reason(const std::error_code& ec) { return QString::fromStdString(ec.message()); }

fs::path FileOf(const fs::path& programFolder, const QString& key) {
    return ResultsFolder(programFolder) / (key.toStdString() + ".erf");
}

// Whether the folder holds an entry of that name in any letter case, as a
// folder on a case-blind disk would.
bool NameTaken(const fs::path& folder, const QString& name) {
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
        if (QString::fromStdString(it->path().filename().string()).compare(name, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

bool RowHolds(plat::Database& db, const QString& key) {
    // FileName compares without regard to letter case.
    return db.Scalar("SELECT count(*) FROM ResultsBrief where FileName = ?", {key.toStdString()}).toInt() > 0;
}

std::optional<int16_t> Short(const plat::Value& v) {
    if (v.kind() == plat::Value::Kind::Text && !v.toString().empty()) {
        // Text that is not a plain number must not pass as 0.
        const QString t = QString::fromStdString(v.toString()).trimmed();
        bool ok = false;
        const long long n = t.toLongLong(&ok);
        if (!ok || n < std::numeric_limits<int16_t>::min() || n > std::numeric_limits<int16_t>::max())
            return std::nullopt;
        return static_cast<int16_t>(n);
    }
    const long long n = v.toInt();
    if (n < std::numeric_limits<int16_t>::min() || n > std::numeric_limits<int16_t>::max()) return std::nullopt;
    return static_cast<int16_t>(n);
}

QDate DateOf(const plat::Value& v) { return QDate::fromString(QString::fromStdString(v.toString()).left(10), Qt::ISODate); }

QTime TimeOf(const plat::Value& v) {
    const QString s = QString::fromStdString(v.toString()).trimmed();
    QTime t = QTime::fromString(s, Qt::ISODate);
    if (!t.isValid()) t = QTime::fromString(s.section(u' ', -1), Qt::ISODate);
    return t;
}

std::optional<SavedResult> At(plat::Database& db, const Viewer& viewer, int row) {
    if (row < 1) return std::nullopt;
    std::vector<SavedResult> list = ListResults(db, viewer);
    if (static_cast<size_t>(row) > list.size()) return std::nullopt;
    return list[static_cast<size_t>(row) - 1];
}

// A free name beside `file` to park it under while its row goes.
fs::path ParkingName(const fs::path& file) {
    std::error_code ec;
    for (int n = 1;; ++n) {
        fs::path p = file;
        p += ".deleting" + (n > 1 ? std::to_string(n) : std::string());
        if (!fs::exists(fs::symlink_status(p, ec))) return p;
    }
}

}  // namespace

Viewer Viewer::Current() { return {gstrUserName, gblnAdminSignedIn}; }

fs::path ResultsFolder(const fs::path& programFolder) { return programFolder / "results"; }

// ---------------------------------------------------------------- saving

SaveRequest RequestFor(const scoring::Report& report) {
    SaveRequest r;
    r.candName = gstrCandName;
    r.userName = gstrUserName;
    r.examName = gstrExamName;
    r.date = StampDate(gvarExamDate).value_or(QDate());
    r.time = StampTime(gvarExamTime).value_or(QTime());
    r.scoreObt = report.scoreObt;
    r.passScore = report.passScore;
    r.maxScore = report.maxScore;
    r.percentage = report.percentage;
    r.result = report.result;
    r.adaptive = gblnAdaptive;
    return r;
}

SaveOutcome SaveResult(plat::Database& db, const fs::path& programFolder, const SaveRequest& req) {
    SaveOutcome out;
    if (req.alreadySaved) {
        out.message = Info(QStringLiteral("Result Already Saved"));
        return out;
    }
    auto fail = [&](const QString& why) {
        out.message = Failure(why + QStringLiteral(" The result was not saved."));
        return out;
    };
    if (req.result.isEmpty()) return fail(QStringLiteral("This report has no verdict."));
    if (!req.date.isValid() || !req.time.isValid())
        return fail(QStringLiteral("The date and time this run started are not known."));

    const fs::path folder = ResultsFolder(programFolder);
    std::error_code ec;
    fs::create_directories(folder, ec);
    if (ec || !fs::is_directory(folder))
        return fail(QStringLiteral("The folder ") + Shown(folder) + QStringLiteral(" cannot be made") +
                    (ec ? QStringLiteral(" (") + Reason(ec) + QStringLiteral(").") : QStringLiteral(".")));

    fs::path written;  // the file in place, removed again if the row cannot follow
    fs::path part;
    try {
        const QByteArray text = RunFileText(db, req.adaptive);
        plat::Transaction trans(db);
        plat::Recordset last = db.OpenRecordset("SELECT Index FROM ResultsBrief order by Index DESC LIMIT 1");
        const long long index = last.Eof() ? 1 : last.Fields(0).toInt() + 1;

        const QString base = ResultKey(req.userName, req.date, req.time);
        QString key = base;
        for (int n = 2; RowHolds(db, key) || NameTaken(folder, key + QStringLiteral(".erf")) ||
                        NameTaken(folder, key + QStringLiteral(".erf.part"));
             ++n)
            key = base + u'_' + QString::number(n);

        const fs::path file = FileOf(programFolder, key);
        part = file;
        part += ".part";
        {
            std::ofstream f(part, std::ios::binary | std::ios::trunc);
            if (f) f.write(text.constData(), text.size());
            f.close();
            if (!f) {
                fs::remove(part, ec);
                return fail(QStringLiteral("The file ") + Shown(part) + QStringLiteral(" cannot be written."));
            }
        }
        if (fs::file_size(part, ec) != static_cast<std::uintmax_t>(text.size()) || ec) {
            fs::remove(part, ec);
            return fail(QStringLiteral("The file ") + Shown(part) + QStringLiteral(" was not written whole."));
        }
        if (fs::exists(fs::symlink_status(file, ec))) {
            fs::remove(part, ec);
            return fail(QStringLiteral("The file ") + Shown(file) + QStringLiteral(" exists already."));
        }
        fs::rename(part, file, ec);
        if (ec) {
            const QString why = Reason(ec);
            fs::remove(part, ec);
            return fail(QStringLiteral("The file ") + Shown(file) + QStringLiteral(" cannot be made (") + why +
                        QStringLiteral(")."));
        }
        part.clear();
        written = file;

        db.Execute(
            "INSERT INTO ResultsBrief (Index,CandidateName,UserName,ExamName,ExDate,ExTime,Score,PassScore,"
            "MaxScore,Percentage,Result,FileName) VALUES (?,?,?,?,?,?,?,?,?,?,?,?)",
            {index, req.candName.toStdString(), req.userName.toStdString(), req.examName.toStdString(),
             req.date.toString(Qt::ISODate).toStdString(), TimeText(req.time).toStdString(),
             static_cast<long long>(req.scoreObt), static_cast<long long>(req.passScore),
             static_cast<long long>(req.maxScore), static_cast<long long>(req.percentage),
             req.result.toStdString(), key.toStdString()});
        trans.Commit();
        out.saved = true;
        out.key = key;
        out.index = index;
        out.message = Info(QStringLiteral("Result Saved"));
        return out;
    } catch (const std::exception& e) {
        if (!part.empty()) fs::remove(part, ec);
        if (!written.empty()) fs::remove(written, ec);
        return fail(QStringLiteral("The result could not be recorded: ") + Reason(e) + u'.');
    }
}

// ---------------------------------------------------------------- listing

std::vector<SavedResult> ListResults(plat::Database& db, const Viewer& viewer) {
    const std::string columns =
        "SELECT Index,CandidateName,UserName,ExamName,ExDate,ExTime,Score,PassScore,MaxScore,Percentage,Result,"
        "FileName FROM ResultsBrief ";
    plat::Recordset rs = viewer.admin ? db.OpenRecordset(columns + "order by Index")
                                      : db.OpenRecordset(columns + "where UserName = ? order by Index",
                                                         {viewer.userName.toStdString()});
    std::vector<SavedResult> out;
    auto text = [&](const char* f) { return QString::fromStdString(rs.Fields(f).toString()); };
    for (; !rs.Eof(); rs.MoveNext()) {
        SavedResult r;
        r.index = rs.Fields("Index").toInt();
        r.candName = text("CandidateName");
        r.userName = text("UserName");
        r.examName = text("ExamName");
        r.date = DateOf(rs.Fields("ExDate"));
        r.time = TimeOf(rs.Fields("ExTime"));
        r.score = rs.Fields("Score");
        r.passScore = rs.Fields("PassScore");
        r.maxScore = rs.Fields("MaxScore");
        r.percentage = rs.Fields("Percentage");
        r.result = text("Result");
        r.fileName = text("FileName");
        out.push_back(std::move(r));
    }
    return out;
}

std::array<QString, 7> ListCells(const SavedResult& r) {
    return {r.candName,
            r.examName,
            DateText(r.date),
            ListTimeText(r.time),
            QString::fromStdString(r.score.toString()),
            QString::fromStdString(r.percentage.toString()),
            r.result};
}

int GridRows(size_t n) { return n <= 8 ? 10 : static_cast<int>(n) + 2; }

// ---------------------------------------------------------------- reopening

ReopenOutcome ReopenResult(plat::Database& db, const fs::path& programFolder, const Viewer& viewer, int row) {
    ReopenOutcome out;
    const std::optional<SavedResult> r = At(db, viewer, row);
    if (!r) {
        out.message = Info(QStringLiteral("No Results Found"));
        return out;
    }
    auto fail = [&](const QString& why) {
        out.message = Failure(why + QStringLiteral(" Nothing was changed."));
        return out;
    };

    const auto score = Short(r->score), pass = Short(r->passScore), max = Short(r->maxScore),
               pct = Short(r->percentage);
    if (!score || !pass || !max || !pct)
        return fail(QStringLiteral("The saved result \"") + r->fileName +
                    QStringLiteral("\" holds a score that is not a whole number from -32768 to 32767."));
    if (!KeyStaysInFolder(r->fileName))
        return fail(QStringLiteral("The saved result names the file \"") + r->fileName +
                    QStringLiteral("\", which is not in the results folder, so it is not opened."));

    const fs::path file = FileOf(programFolder, r->fileName);
    std::error_code ec;
    const fs::file_status st = fs::status(file, ec);
    if (!fs::exists(st)) return fail(QStringLiteral("The saved result file ") + Shown(file) + QStringLiteral(" is missing."));
    std::ifstream in(file, std::ios::binary);
    if (!fs::is_regular_file(st) || !in)
        return fail(QStringLiteral("The saved result file ") + Shown(file) + QStringLiteral(" cannot be read."));
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad())
        return fail(QStringLiteral("The saved result file ") + Shown(file) + QStringLiteral(" cannot be read."));

    const ParsedFile parsed = ParseResultFile(QByteArray::fromStdString(bytes));
    if (!parsed.ok())
        return fail(QStringLiteral("The saved result file ") + Shown(file) + QStringLiteral(" is damaged at line ") +
                    QString::number(parsed.badLine) + QStringLiteral(": ") + parsed.problem + u'.');

    try {
        plat::Transaction trans(db);
        db.Execute("DELETE * from QuestIds");
        db.Execute("DELETE * from AnsIds");
        db.Execute("DELETE * from AnsSelected");
        db.Execute("UPDATE DragNDrop SET AnsRand  = 0,AnsSel = 0");
        db.Execute("UPDATE SimCommands SET CmdTyped  = 0");
        ReplayRun(db, parsed.lines);
        trans.Commit();
    } catch (const std::exception& e) {
        return fail(QStringLiteral("The run could not be rebuilt from ") + Shown(file) + QStringLiteral(": ") +
                    Reason(e) + u'.');
    }

    out.ok = true;
    out.result.fileName = r->fileName;
    out.result.candName = r->candName;
    out.result.examName = r->examName;
    out.result.date = r->date;
    out.result.time = r->time;
    out.result.figures = {*score, *pass, *max, *pct, r->result};
    return out;
}

void ApplyToState(const Reopened& r) {
    gstrCandName = r.candName;
    gstrExamName = r.examName;
    gvarExamDate = r.date.isValid() ? QVariant(r.date) : QVariant();
    gvarExamTime = r.time.isValid() ? QVariant(r.time) : QVariant();
    gblnFromResults = true;
}

QString SignedInCandidateName(plat::Database& db, const Viewer& viewer) {
    if (viewer.admin) return Module1::kAdminName;
    plat::Recordset rs = db.OpenRecordset("SELECT Name FROM User where Uname = ?", {viewer.userName.toStdString()});
    return rs.Eof() ? viewer.userName : QString::fromStdString(rs.Fields(0).toString());
}

// ---------------------------------------------------------------- deleting

DeleteSelection SelectForDelete(plat::Database& db, const Viewer& viewer, int row) {
    DeleteSelection s;
    const std::optional<SavedResult> r = At(db, viewer, row);
    if (r) s.target = DeleteTarget{r->index, r->fileName};
    else s.message = Info(QStringLiteral("Please Select a Row to Delete"));
    return s;
}

Message DeleteQuestion() {
    return {QStringLiteral("Do You Want to Delete the Selected Result"), Icon::None, QStringLiteral("Resuts"), true};
}

DeleteOutcome DeleteResult(plat::Database& db, const fs::path& programFolder, const DeleteTarget& target) {
    DeleteOutcome out;
    auto fail = [&](const QString& why) {
        out.message = Failure(why + QStringLiteral(" The result was kept."));
        return out;
    };
    if (!KeyStaysInFolder(target.fileName))
        return fail(QStringLiteral("The saved result names the file \"") + target.fileName +
                    QStringLiteral("\", which is not in the results folder, so it is not deleted."));

    const std::string key = target.fileName.toStdString();
    const bool shared =
        db.Scalar("SELECT count(*) FROM ResultsBrief where FileName = ? and Index <> ?", {key, target.index})
            .toInt() > 0;
    const fs::path file = FileOf(programFolder, target.fileName);
    std::error_code ec;
    const fs::file_status st = fs::symlink_status(file, ec);
    fs::path parked;
    // The file is moved aside first, so that it can come back if the row
    // cannot go; a missing file does not keep the row.
    if (fs::exists(st) && !shared) {
        if (!fs::is_regular_file(st) && !fs::is_symlink(st))
            return fail(QStringLiteral("The saved result file ") + Shown(file) +
                        QStringLiteral(" cannot be removed: it is not a file."));
        parked = ParkingName(file);
        fs::rename(file, parked, ec);
        if (ec)
            return fail(QStringLiteral("The saved result file ") + Shown(file) + QStringLiteral(" cannot be removed (") +
                        Reason(ec) + QStringLiteral(")."));
    }
    try {
        plat::Transaction trans(db);
        db.Execute("DELETE * from ResultsBrief where Index = ? and FileName = ?", {target.index, key});
        trans.Commit();
    } catch (const std::exception& e) {
        if (!parked.empty()) fs::rename(parked, file, ec);
        return fail(QStringLiteral("The result could not be deleted: ") + Reason(e) + u'.');
    }
    // The row is gone; a leftover parked file would name no result.
    if (!parked.empty()) fs::remove(parked, ec);
    out.deleted = true;
    return out;
}

}  // namespace results
