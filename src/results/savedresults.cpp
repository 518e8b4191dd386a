#include "savedresults.h"

#include "platform/safefile.h"
#include "results/resultfile.h"
#include "results/resultfolder.h"
#include "startup/state.h"

#include <limits>
#include <system_error>

#include <unistd.h>

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

// The largest result file read back. A run holds at most 32,767 questions,
// and a question's block is a few hundred bytes even with every option of a
// long list chosen and ten-digit ids (about 25 bytes a line); 64 MiB allows
// some 2,000 bytes a question, so only a file the program never wrote (or
// a device) is refused.
constexpr qint64 kLargestResultFile = qint64(64) << 20;

fs::path FileOf(const fs::path& programFolder, const QString& key) {
    return KeyFile(ResultsFolder(programFolder), key);
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

const std::string kListColumns =
    "SELECT Index,CandidateName,UserName,ExamName,ExDate,ExTime,Score,PassScore,MaxScore,Percentage,Result,"
    "FileName FROM ResultsBrief ";

// The viewer's rows in Index order, from the row at `offset` on (at most
// `limit` of them; -1: all).
plat::Recordset OpenList(plat::Database& db, const Viewer& viewer, long long limit, long long offset) {
    const std::string page = " LIMIT ? OFFSET ?";
    return viewer.admin ? db.OpenRecordset(kListColumns + "order by Index" + page, {limit, offset})
                        : db.OpenRecordset(kListColumns + "where UserName = ? order by Index" + page,
                                           {viewer.userName.toStdString(), limit, offset});
}

// Fields by position, in the order of kListColumns.
SavedResult ReadRow(plat::Recordset& rs) {
    auto text = [&](int f) { return QString::fromStdString(rs.Fields(f).toString()); };
    SavedResult r;
    r.index = rs.Fields(0).toInt();
    r.candName = text(1);
    r.userName = text(2);
    r.examName = text(3);
    r.date = DateOf(rs.Fields(4));
    r.time = TimeOf(rs.Fields(5));
    r.score = rs.Fields(6);
    r.passScore = rs.Fields(7);
    r.maxScore = rs.Fields(8);
    r.percentage = rs.Fields(9);
    r.result = text(10);
    r.fileName = text(11);
    return r;
}

// The row at list position `row` (1 = first), found by one query.
std::optional<SavedResult> At(plat::Database& db, const Viewer& viewer, int row) {
    if (row < 1) return std::nullopt;
    plat::Recordset rs = OpenList(db, viewer, 1, row - 1);
    if (rs.Eof()) return std::nullopt;
    return ReadRow(rs);
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
    QString key;
    long long index = 0;
    try {
        const QByteArray text = RunFileText(db, req.adaptive);
        // The folder's lock (results/resultfolder.h), from the first look at
        // the folder to the row's commit.
        plat::Transaction lock(db);
        std::error_code ec;
        fs::create_directories(folder, ec);
        if (ec || !fs::is_directory(folder))
            return fail(QStringLiteral("The folder ") + Shown(folder) + QStringLiteral(" cannot be made") +
                        (ec ? QStringLiteral(" (") + Reason(ec) + QStringLiteral(").") : QStringLiteral(".")));

        // Whatever an interrupted save or delete left goes before this save
        // looks for a free name; the folder is read once for both.
        const QString base = ResultKey(req.userName, req.date, req.time);
        FolderScan names(folder, base);
        SettleLeftovers(db, folder, names);

        plat::Recordset last = db.OpenRecordset("SELECT Index FROM ResultsBrief order by Index DESC LIMIT 1");
        index = last.Eof() ? 1 : last.Fields(0).toInt() + 1;

        // A key is taken by a row (FileName compares without letter case) or
        // by any of the names its files take in the folder, in any letter case.
        auto taken = [&](const QString& k) {
            for (const char* ending : {kResultEnding, kSavingEnding, kDeletingEnding})
                if (names.Holds(k + QLatin1String(ending))) return true;
            return RowHolds(db, k);
        };
        key = base;
        for (int n = 2; taken(key); ++n) key = base + u'_' + QString::number(n);

        const fs::path file = KeyFile(folder, key);
        const fs::path part = KeyFile(folder, key, kSavingEnding);
        if (const plat::FileStep step = plat::WriteNewFile(part, text); !step)
            return fail(QStringLiteral("The file ") + Shown(file) + QStringLiteral(" cannot be written (") +
                        step.reason + QStringLiteral(")."));
        try {
            db.Execute(
                "INSERT INTO ResultsBrief (Index,CandidateName,UserName,ExamName,ExDate,ExTime,Score,PassScore,"
                "MaxScore,Percentage,Result,FileName) VALUES (?,?,?,?,?,?,?,?,?,?,?,?)",
                {index, req.candName.toStdString(), req.userName.toStdString(), req.examName.toStdString(),
                 req.date.toString(Qt::ISODate).toStdString(), TimeText(req.time).toStdString(),
                 static_cast<long long>(req.scoreObt), static_cast<long long>(req.passScore),
                 static_cast<long long>(req.maxScore), static_cast<long long>(req.percentage),
                 req.result.toStdString(), key.toStdString()});
            lock.Commit();
        } catch (const std::exception&) {
            // Removed while the lock is still held: once it is let go, another
            // copy may take the same name for a save of its own.
            ::unlink(part.c_str());
            throw;
        }
    } catch (const std::exception& e) {
        return fail(QStringLiteral("The result could not be recorded: ") + Reason(e) + u'.');
    }
    // The row stands: the file takes its own name, and the database file
    // alone lists the result. Should either not happen now, the result is
    // safe all the same (see results/resultfolder.h).
    SettleKey(db, folder, key);
    db.Checkpoint();
    out.saved = true;
    out.key = key;
    out.index = index;
    out.message = Info(QStringLiteral("Result Saved"));
    return out;
}

// ---------------------------------------------------------------- listing

std::vector<SavedResult> ListResults(plat::Database& db, const Viewer& viewer) {
    plat::Recordset rs = OpenList(db, viewer, -1, 0);
    std::vector<SavedResult> out;
    for (; !rs.Eof(); rs.MoveNext()) out.push_back(ReadRow(rs));
    return out;
}

std::vector<std::array<QString, 7>> ListedCells(plat::Database& db, const Viewer& viewer) {
    const std::string columns = "SELECT CandidateName,ExamName,ExDate,ExTime,Score,Percentage,Result FROM ResultsBrief ";
    plat::Recordset rs = viewer.admin ? db.OpenRecordset(columns + "order by Index")
                                      : db.OpenRecordset(columns + "where UserName = ? order by Index",
                                                         {viewer.userName.toStdString()});
    std::vector<std::array<QString, 7>> out;
    out.reserve(static_cast<size_t>(rs.RecordCount()));
    auto text = [&](int f) { return QString::fromStdString(rs.Fields(f).toString()); };
    for (; !rs.Eof(); rs.MoveNext())
        out.push_back({text(0), text(1), DateText(DateOf(rs.Fields(2))), ListTimeText(TimeOf(rs.Fields(3))), text(4),
                       text(5), text(6)});
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
    const QString named = QStringLiteral("The saved result file ") + Shown(file);
    plat::FileRead read = plat::ReadRegularFile(file, kLargestResultFile);
    // A save whose row has committed but whose file has not yet taken its own
    // name (another copy of the program is finishing it, or was stopped just
    // then) has the whole file under its first name.
    if (read.status == plat::FileRead::Status::Missing) {
        plat::FileRead part =
            plat::ReadRegularFile(KeyFile(ResultsFolder(programFolder), r->fileName, kSavingEnding), kLargestResultFile);
        if (part.status == plat::FileRead::Status::Read) read = std::move(part);
    }
    switch (read.status) {
    case plat::FileRead::Status::Read: break;
    case plat::FileRead::Status::Missing: return fail(named + QStringLiteral(" is missing."));
    case plat::FileRead::Status::NotAFile:
        return fail(named + QStringLiteral(" is not a plain file (a folder, pipe or device stands in its place)."));
    case plat::FileRead::Status::TooLarge:
        return fail(named + QStringLiteral(" is larger than any saved result (over ") +
                    QString::number(kLargestResultFile >> 20) + QStringLiteral(" MB)."));
    case plat::FileRead::Status::Failed:
        return fail(named + QStringLiteral(" cannot be read (") + read.reason + QStringLiteral(")."));
    }

    const ParsedFile parsed = ParseResultFile(read.bytes);
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

    const fs::path folder = ResultsFolder(programFolder);
    const std::string key = target.fileName.toStdString();
    const fs::path file = FileOf(programFolder, target.fileName);
    try {
        // The folder's lock (results/resultfolder.h), from the first look at
        // the folder to the row's commit.
        plat::Transaction lock(db);
        FolderScan left(folder);
        SettleLeftovers(db, folder, left);
        // Gone already (another copy of the program deleted it): a file of
        // that name now is none of this result's.
        if (db.Scalar("SELECT count(*) FROM ResultsBrief where Index = ? and FileName = ?", {target.index, key})
                .toInt() == 0) {
            out.deleted = true;
            return out;
        }
        // Another row naming the same file (in any letter case) still needs it.
        const bool shared =
            db.Scalar("SELECT count(*) FROM ResultsBrief where FileName = ? and Index <> ?", {key, target.index})
                .toInt() > 0;
        std::error_code ec;
        const fs::file_status st = fs::symlink_status(file, ec);
        fs::path parked;
        // The file is parked first, so that it can come back if the row cannot
        // go (or the program is stopped before it has); a missing file does not
        // keep the row.
        if (fs::exists(st) && !shared) {
            if (!fs::is_regular_file(st) && !fs::is_symlink(st))
                return fail(QStringLiteral("The saved result file ") + Shown(file) +
                            QStringLiteral(" cannot be removed: it is not a file."));
            parked = KeyFile(folder, target.fileName, kDeletingEnding);
            plat::FileStep step = plat::RenameNoReplace(file, parked);
            if (step) step = plat::SyncFolder(folder);
            if (!step) {
                if (fs::exists(fs::symlink_status(parked, ec)) && !fs::exists(fs::symlink_status(file, ec)))
                    plat::RenameNoReplace(parked, file);
                return fail(QStringLiteral("The saved result file ") + Shown(file) +
                            QStringLiteral(" cannot be removed (") + step.reason + QStringLiteral(")."));
            }
        }
        try {
            db.Execute("DELETE * from ResultsBrief where Index = ? and FileName = ?", {target.index, key});
            lock.Commit();
        } catch (const std::exception&) {
            // Put back while the lock is still held.
            if (!parked.empty()) plat::RenameNoReplace(parked, file);
            throw;
        }
    } catch (const std::exception& e) {
        return fail(QStringLiteral("The result could not be deleted: ") + Reason(e) + u'.');
    }
    // The row is gone: so goes the parked file, and the database file alone
    // no longer lists the result. Should the parked file stay, it names no
    // result and the next start, save or delete removes it.
    SettleKey(db, folder, target.fileName);
    db.Checkpoint();
    out.deleted = true;
    return out;
}

}  // namespace results
