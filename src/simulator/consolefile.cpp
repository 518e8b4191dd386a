#include "consolefile.h"

#include "platform/safefile.h"

#include <QStringList>

#include <set>
#include <system_error>

namespace sim {

namespace {

const QString kEnd = QStringLiteral("[EOQ]");
const QString kHeaderStart = QStringLiteral("[QID : ");
const QChar kBackslash = QLatin1Char('\\');

QString Header(long long qid) { return kHeaderStart + QString::number(qid) + QLatin1Char(']'); }

// The question a header line names; nullopt for any other line.
std::optional<long long> HeaderQid(const QString& line) {
    if (!line.startsWith(kHeaderStart) || !line.endsWith(QLatin1Char(']'))) return std::nullopt;
    const QString number = line.mid(kHeaderStart.size(), line.size() - kHeaderStart.size() - 1);
    bool ok = false;
    const long long qid = number.toLongLong(&ok);
    if (!ok || QString::number(qid) != number) return std::nullopt;
    return qid;
}

// A line that, unescaped, the reader would take for a block's end or a header.
bool IsMarker(QStringView line) { return line == kEnd || line.startsWith(kHeaderStart); }

QStringView WithoutLeadingBackslashes(QStringView line) {
    qsizetype i = 0;
    while (i < line.size() && line[i] == kBackslash) ++i;
    return line.mid(i);
}

QString Escaped(const QString& line) {
    return IsMarker(WithoutLeadingBackslashes(line)) ? kBackslash + line : line;
}

QString Unescaped(const QString& line) {
    return line.startsWith(kBackslash) && IsMarker(WithoutLeadingBackslashes(line)) ? line.mid(1) : line;
}

// A line as read for the console: unescaped, and no longer than the console
// can lay out at once (a pair of UTF-16 halves is never split).
QString ForConsole(const QString& line) {
    QString out = Unescaped(line);
    if (out.size() > kConsoleLineLimit) {
        qsizetype keep = kConsoleLineLimit;
        if (out[keep - 1].isHighSurrogate()) --keep;
        out.truncate(keep);
    }
    return out;
}

QString Shown(const std::filesystem::path& p) { return QString::fromStdString(p.string()); }

// The file's bytes; a missing file reads as empty. False (with the reason) when
// the file exists but cannot be read.
bool ReadAll(const std::filesystem::path& path, QByteArray& bytes, QString* problem) {
    bytes.clear();
    plat::FileRead r = plat::ReadRegularFile(path, kConsoleFileLimit);
    QString why;
    switch (r.status) {
    case plat::FileRead::Status::Read: bytes = std::move(r.bytes); return true;
    case plat::FileRead::Status::Missing: return true;
    case plat::FileRead::Status::NotAFile: why = QStringLiteral("it is not a plain file"); break;
    case plat::FileRead::Status::TooLarge:
        why = QStringLiteral("it is larger than %1 MB, far more than the simulator writes")
                  .arg(kConsoleFileLimit >> 20);
        break;
    case plat::FileRead::Status::Failed: why = r.reason; break;
    }
    if (problem) *problem = QStringLiteral("The simulator's console file %1 cannot be read: %2").arg(Shown(path), why);
    return false;
}

FileOutcome WriteAll(const std::filesystem::path& folder, const QByteArray& bytes) {
    const std::filesystem::path path = ConsoleFilePath(folder);
    const std::filesystem::path temp = folder / kConsoleTempName;
    const plat::FileStep step = plat::WriteWhole(path, bytes, temp, plat::Existing::Replace);
    if (step) return FileOutcome{};
    FileOutcome out;
    out.ok = false;
    out.problem = QStringLiteral("The simulator's consoles could not be saved to %1: %2").arg(Shown(path), step.reason);
    return out;
}

// One line of the file's bytes: `text` without its line end, `next` where the
// line after it begins.
struct RawLine {
    qsizetype next = 0;
    QByteArrayView text;
};

RawLine LineAt(const QByteArray& bytes, qsizetype at) {
    RawLine l;
    const qsizetype nl = bytes.indexOf('\n', at);
    l.next = nl < 0 ? bytes.size() : nl + 1;
    qsizetype end = nl < 0 ? bytes.size() : nl;
    if (end > at && bytes[end - 1] == '\r') --end;
    l.text = QByteArrayView(bytes).sliced(at, end - at);
    return l;
}

}  // namespace

std::vector<Block> ParseConsoleFile(const QByteArray& bytes) {
    std::vector<Block> blocks;
    if (bytes.isEmpty()) return blocks;
    const QString text = QString::fromUtf8(bytes);
    QStringList lines = text.split(QLatin1Char('\n'));
    if (text.endsWith(QLatin1Char('\n'))) lines.removeLast();  // the last line's own end
    for (QString& line : lines)
        if (line.endsWith(QLatin1Char('\r'))) line.chop(1);

    std::set<long long> seen;
    const qsizetype n = lines.size();
    qsizetype i = 0;
    while (i < n) {
        const std::optional<long long> qid = HeaderQid(lines[i++]);
        if (!qid) continue;  // a line outside any block
        // The device name and the prompt; a block cut short before them is left out.
        if (i + 1 >= n || IsMarker(lines[i]) || IsMarker(lines[i + 1])) continue;
        Block b;
        b.qid = *qid;
        b.devName = ForConsole(lines[i]);
        b.prompt = ForConsole(lines[i + 1]);
        i += 2;
        QStringList console;
        while (i < n) {
            if (lines[i] == kEnd) {
                ++i;
                break;
            }
            if (lines[i].startsWith(kHeaderStart)) break;  // this block lost its end
            console << ForConsole(lines[i++]);
        }
        if (console.size() > kConsoleLinesKept) console.remove(0, console.size() - kConsoleLinesKept);
        b.console = console.join(QLatin1Char('\n'));
        if (seen.insert(b.qid).second) blocks.push_back(std::move(b));
    }
    return blocks;
}

QByteArray FormatConsoleFile(const std::vector<Block>& blocks) {
    QByteArray out;
    auto put = [&out](const QString& line) {
        out += line.toUtf8();
        out += "\r\n";
    };
    for (const Block& b : blocks) {
        put(Header(b.qid));
        put(Escaped(b.devName));
        put(Escaped(b.prompt));
        for (const QString& line : b.console.split(QLatin1Char('\n'))) put(Escaped(line));
        put(kEnd);
    }
    return out;
}

QByteArray ReplaceConsoleBlock(const QByteArray& file, long long qid, const std::optional<Block>& block) {
    const QByteArray header = Header(qid).toLatin1();
    const QByteArray end = kEnd.toLatin1();
    const QByteArray headerStart = kHeaderStart.toLatin1();
    QByteArray newBlock;
    if (block) {
        Block b = *block;
        b.qid = qid;
        newBlock = FormatConsoleFile({b});
    }

    qsizetype at = 0;
    while (at < file.size()) {
        const RawLine l = LineAt(file, at);
        if (l.text == header) break;
        at = l.next;
    }
    if (at >= file.size()) {  // no block yet: a new one goes at the end
        QByteArray out = file;
        if (block && !out.isEmpty() && !out.endsWith('\n')) out += "\r\n";
        return out + newBlock;
    }
    // The old block: its header, its lines, its end; one that lost its end
    // stops before the next header, as the reader stops there.
    qsizetype after = LineAt(file, at).next;
    while (after < file.size()) {
        const RawLine l = LineAt(file, after);
        if (l.text.startsWith(headerStart)) break;
        after = l.next;
        if (l.text == end) break;
    }
    return file.first(at) + newBlock + file.sliced(after);
}

std::filesystem::path ConsoleFilePath(const std::filesystem::path& folder) { return folder / kConsoleFileName; }

std::optional<Block> ReadConsoleBlock(const std::filesystem::path& folder, long long qid, QString* problem) {
    QByteArray bytes;
    if (!ReadAll(ConsoleFilePath(folder), bytes, problem)) return std::nullopt;
    for (Block& b : ParseConsoleFile(bytes))
        if (b.qid == qid) return std::move(b);
    return std::nullopt;
}

FileOutcome StoreConsoleBlock(const std::filesystem::path& folder, long long qid, const std::optional<Block>& block) {
    QByteArray bytes;
    FileOutcome out;
    if (!ReadAll(ConsoleFilePath(folder), bytes, &out.problem)) {
        out.ok = false;
        return out;
    }
    return WriteAll(folder, ReplaceConsoleBlock(bytes, qid, block));
}

FileOutcome EmptyConsoleFile(const std::filesystem::path& folder) { return WriteAll(folder, {}); }

}  // namespace sim
