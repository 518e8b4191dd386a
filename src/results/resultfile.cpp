#include "resultfile.h"

#include "platform/convert.h"

#include <QDateTime>

#include <array>

namespace results {

namespace {

const std::array<const char*, 12> kMonths = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                             "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

QString Two(int n) { return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0')); }

void Line(QByteArray& out, const char* key, const std::string& value) {
    out += key;
    out += " : ";
    out += QByteArray::fromStdString(value);
    out += "\r\n";
}

void Line(QByteArray& out, const char* key, const plat::Value& value) { Line(out, key, value.toString()); }

// The keys in the order they are tested: "selansid" must not be taken for
// "ansid", and the first match wins.
struct KnownKey {
    const char* prefix;
    LineKey key;
};
const std::array<KnownKey, 6> kKeys = {{{"qid", LineKey::QId},
                                        {"qtype", LineKey::QType},
                                        {"ansid", LineKey::AnsId},
                                        {"selansid", LineKey::SelAnsId},
                                        {"ansrand", LineKey::AnsRand},
                                        {"anssel", LineKey::AnsSel}}};

// A whole number as the tables hold ids: an optional sign and digits '0'..'9',
// within 64 bits.
std::optional<long long> Whole(const QString& text) {
    QString digits = text;
    const bool negative = !digits.isEmpty() && digits[0] == u'-';
    if (!digits.isEmpty() && (digits[0] == u'-' || digits[0] == u'+')) digits.remove(0, 1);
    if (!plat::IsDigits(digits)) return std::nullopt;
    bool ok = false;
    const long long n = (negative ? QStringLiteral("-") + digits : digits).toLongLong(&ok);
    if (!ok) return std::nullopt;
    return n;
}

QString Shown(const QString& line) {
    constexpr int kMax = 60;
    QString s = line.size() > kMax ? line.left(kMax) + QStringLiteral("...") : line;
    for (QChar& c : s)
        if (c.unicode() < 32 || c.unicode() == 127) c = u'?';
    return QStringLiteral("\"") + s + QStringLiteral("\"");
}

}  // namespace

// ---------------------------------------------------------------- stamps

QString DateText(const QDate& date) {
    if (!date.isValid()) return {};
    return QString::number(date.day()) + u' ' + QLatin1String(kMonths[date.month() - 1]) + u' ' +
           QString::number(date.year());
}

QString TimeText(const QTime& time) {
    if (!time.isValid()) return {};
    return Two(time.hour()) + u':' + Two(time.minute()) + u':' + Two(time.second());
}

QString ListTimeText(const QTime& time) {
    if (!time.isValid()) return {};
    return QString::number(time.hour()) + u':' + QString::number(time.minute()) + u':' +
           QString::number(time.second());
}

std::optional<QDate> StampDate(const QVariant& stamp) {
    QDate d;
    switch (stamp.typeId()) {
    case QMetaType::QDate: d = stamp.toDate(); break;
    case QMetaType::QDateTime: d = stamp.toDateTime().date(); break;
    case QMetaType::QString: d = QDate::fromString(stamp.toString().left(10), Qt::ISODate); break;
    default: break;
    }
    return d.isValid() ? std::optional<QDate>(d) : std::nullopt;
}

std::optional<QTime> StampTime(const QVariant& stamp) {
    QTime t;
    switch (stamp.typeId()) {
    case QMetaType::QTime: t = stamp.toTime(); break;
    case QMetaType::QDateTime: t = stamp.toDateTime().time(); break;
    case QMetaType::QString: t = QTime::fromString(stamp.toString(), Qt::ISODate); break;
    default: break;
    }
    return t.isValid() ? std::optional<QTime>(t) : std::nullopt;
}

// ---------------------------------------------------------------- key

QString SafeKeyName(const QString& login) {
    static const QString kUnsafe = QStringLiteral("/\\:*?\"<>|");
    QString s = login;
    for (qsizetype i = 0; i < s.size(); ++i) {
        const QChar c = s[i];
        if (c.unicode() < 32 || c.unicode() == 127 || kUnsafe.contains(c) || (i == 0 && c == u'.')) s[i] = u'_';
    }
    return s;
}

namespace {

// A file name holds at most 255 bytes. Beside the login part a key's files
// take at most: "_" m d yy "_" hh mm (12, as in _123126_2359), a number for a
// taken key ("_" and up to ten digits, 11) and the longest ending the results
// folder gives a key (".erf.deleting", 13).
constexpr qsizetype kLoginBytes = 255 - 12 - 11 - 13;

// The longest start of `s` of at most `bytes` bytes in UTF-8, never parting a
// character (a surrogate pair stays whole).
QString Utf8Prefix(const QString& s, qsizetype bytes) {
    qsizetype used = 0;
    for (qsizetype i = 0; i < s.size();) {
        const char16_t c = s[i].unicode();
        const bool pair = QChar::isHighSurrogate(c) && i + 1 < s.size() && s[i + 1].isLowSurrogate();
        const qsizetype width = pair ? 4 : c < 0x80 ? 1 : c < 0x800 ? 2 : 3;
        if (used + width > bytes) return s.left(i);
        used += width;
        i += pair ? 2 : 1;
    }
    return s;
}

}  // namespace

QString ResultKey(const QString& login, const QDate& date, const QTime& time) {
    // The date as month/day/two-digit year without the slashes, the time as
    // hours and minutes: the form saved results have always been named by.
    // Only a login name too long for a file name is shortened; keys that
    // then coincide are told apart by the save's "_2", "_3", ...
    const QString datePart = QString::number(date.month()) + QString::number(date.day()) + Two(date.year() % 100);
    return Utf8Prefix(SafeKeyName(login), kLoginBytes) + u'_' + datePart + u'_' + Two(time.hour()) +
           Two(time.minute());
}

bool KeyStaysInFolder(const QString& key) {
    if (key.isEmpty()) return false;
    for (QChar c : key)
        if (c == u'/' || c == u'\\' || c == u':' || c.unicode() < 32 || c.unicode() == 127) return false;
    return true;
}

// ---------------------------------------------------------------- writing

QByteArray RunFileText(plat::Database& db, bool adaptive) {
    QByteArray out;
    // One read, so the text is one consistent state of the run and the file's
    // lock is taken once rather than per statement.
    plat::Transaction read(db);
    plat::Recordset qs = db.OpenRecordset(
        adaptive ? "SELECT [QuestIds].[QId],[Questions].[QType] FROM QuestIds INNER JOIN Questions ON "
                   "[QuestIds].[QId]=[Questions].[QId] where [QuestIds].[Attempted] = 1 ORDER BY "
                   "[QuestIds].[ExamQIdsOrder]"
                 : "SELECT [QuestIds].[QId],[Questions].[QType] FROM QuestIds INNER JOIN Questions ON "
                   "[QuestIds].[QId]=[Questions].[QId] ORDER BY [QuestIds].[Index]");
    for (; !qs.Eof(); qs.MoveNext()) {
        const plat::Value q = qs.Fields(0);
        const std::string type = qs.Fields(1).toString();
        Line(out, "qid", q);
        Line(out, "qtype", type);
        if (type == "S" || type == "M") {
            plat::Recordset rs = db.OpenRecordset("SELECT AnsId FROM AnsIds where QId = ? ORDER BY Index", {q});
            for (; !rs.Eof(); rs.MoveNext()) Line(out, "ansid", rs.Fields(0));
            rs = db.OpenRecordset("SELECT Answer FROM AnsSelected where QId = ? ORDER BY rowid", {q});
            for (; !rs.Eof(); rs.MoveNext()) Line(out, "selansid", rs.Fields(0));
        } else if (type == "D") {
            plat::Recordset rs =
                db.OpenRecordset("SELECT Index,AnsRand,AnsSel FROM DragNDrop where QId = ? ORDER BY rowid", {q});
            for (; !rs.Eof(); rs.MoveNext()) {
                Line(out, "ansid", rs.Fields(0));
                Line(out, "ansrand", rs.Fields(1));
                Line(out, "anssel", rs.Fields(2));
            }
        } else if (type == "SIM") {
            plat::Recordset rs =
                db.OpenRecordset("SELECT Index FROM SimCommands where QId = ? and CmdTyped = 1 ORDER BY Index", {q});
            for (; !rs.Eof(); rs.MoveNext()) Line(out, "selansid", rs.Fields(0));
        }
    }
    read.Commit();
    return out;
}

// ---------------------------------------------------------------- reading

ParsedFile ParseResultFile(const QByteArray& bytes) {
    ParsedFile f;
    int number = 0;
    long long questions = 0;
    auto bad = [&](const QString& problem) {
        f.badLine = number;
        f.problem = problem;
        f.lines.clear();
        return f;
    };
    qsizetype at = 0;
    while (at < bytes.size()) {
        qsizetype end = at;
        while (end < bytes.size() && bytes[end] != '\r' && bytes[end] != '\n') ++end;
        const QString raw = QString::fromUtf8(bytes.constData() + at, end - at);
        // CR LF, LF or CR ends the line.
        at = end;
        if (at < bytes.size() && bytes[at] == '\r') ++at;
        if (at < bytes.size() && bytes[at] == '\n') ++at;
        ++number;

        const QString line = plat::Trim(raw);
        const KnownKey* known = nullptr;
        for (const KnownKey& k : kKeys)
            if (line.startsWith(QLatin1String(k.prefix))) {
                known = &k;
                break;
            }
        if (!known) continue;

        const qsizetype colon = line.indexOf(u':');
        if (colon < 0) return bad(QStringLiteral("the line ") + Shown(line) + QStringLiteral(" has no \":\""));
        const qsizetype next = line.indexOf(u':', colon + 1);
        const QString value = plat::Trim(line.mid(colon + 1, next < 0 ? -1 : next - colon - 1));

        FileLine fl;
        fl.number = number;
        fl.key = known->key;
        if (known->key == LineKey::QType) {
            fl.text = value;
        } else {
            const std::optional<long long> v = Whole(value);
            if (!v)
                return bad(Shown(value) + QStringLiteral(" is not a whole number from -9223372036854775808 to "
                                                         "9223372036854775807"));
            fl.value = *v;
            if (known->key != LineKey::QId && questions == 0)
                return bad(QStringLiteral("an answer comes before the first question (\"qid\")"));
        }
        if (known->key == LineKey::QId) ++questions;
        f.lines.push_back(fl);
    }
    return f;
}

void ReplayRun(plat::Database& db, const std::vector<FileLine>& lines) {
    long long q = 0, questions = 0, answers = 0, lastAnswer = 0;
    QString type;
    for (const FileLine& l : lines) {
        const bool options = type == u"M" || type == u"S";
        switch (l.key) {
        case LineKey::QId:
            q = l.value;
            ++questions;
            db.Execute("INSERT INTO QuestIds (Index,QId) VALUES (?,?)", {questions, q});
            break;
        case LineKey::QType: type = l.text; break;
        case LineKey::AnsId:
            ++answers;
            lastAnswer = l.value;
            if (options) db.Execute("INSERT INTO AnsIds (Index,AnsId,Qid) VALUES (?,?,?)", {answers, lastAnswer, q});
            break;
        case LineKey::SelAnsId:
            lastAnswer = l.value;
            if (options)
                db.Execute("INSERT INTO AnsSelected (QId,Answer) VALUES (?,?)", {q, lastAnswer});
            else if (type == u"SIM")
                db.Execute("UPDATE SimCommands SET CmdTyped = 1 where QId = ? and Index = ?", {q, lastAnswer});
            break;
        case LineKey::AnsRand:
            db.Execute("UPDATE DragNDrop SET AnsRand = ? where QId = ? and Index = ?",
                       {l.value, q, lastAnswer});
            break;
        case LineKey::AnsSel:
            db.Execute("UPDATE DragNDrop SET AnsSel = ? where QId = ? and Index = ?", {l.value, q, lastAnswer});
            break;
        }
    }
}

}  // namespace results
