#include "consolefile.h"

#include <QFile>
#include <QSaveFile>
#include <QStringList>

#include <algorithm>
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

QString Shown(const std::filesystem::path& p) { return QString::fromStdString(p.string()); }

// The file's bytes; a missing file reads as empty. False (with the reason) when
// the file exists but cannot be read.
bool ReadAll(const std::filesystem::path& path, QByteArray& bytes, QString* problem) {
    bytes.clear();
    std::error_code ec;
    if (!std::filesystem::exists(path, ec) && !ec) return true;
    QFile f(path);
    if (f.open(QIODevice::ReadOnly)) {
        bytes = f.readAll();
        if (f.error() == QFileDevice::NoError) return true;
    }
    if (problem) *problem = QStringLiteral("The simulator's console file %1 cannot be read: %2").arg(Shown(path), f.errorString());
    return false;
}

FileOutcome WriteAll(const std::filesystem::path& path, const QByteArray& bytes) {
    QSaveFile f(Shown(path));
    auto failed = [&](const QString& why) {
        FileOutcome out;
        out.ok = false;
        out.problem = QStringLiteral("The simulator's consoles could not be saved to %1: %2").arg(Shown(path), why);
        return out;
    };
    // Unbuffered, so that a short write (a full disk, a size limit) shows in
    // write()'s result: a buffered one is lost in the flush at commit, which
    // then renames the cut file over the old one as if all were well.
    if (!f.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) return failed(f.errorString());
    if (f.write(bytes) != bytes.size()) {
        const QString why = f.error() != QFileDevice::NoError ? f.errorString()
                                                               : QStringLiteral("only part of it could be written");
        f.cancelWriting();
        return failed(why);
    }
    if (!f.commit()) return failed(f.errorString());
    return FileOutcome{};
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
        b.devName = Unescaped(lines[i]);
        b.prompt = Unescaped(lines[i + 1]);
        i += 2;
        QStringList console;
        while (i < n) {
            if (lines[i] == kEnd) {
                ++i;
                break;
            }
            if (lines[i].startsWith(kHeaderStart)) break;  // this block lost its end
            console << Unescaped(lines[i++]);
        }
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

std::filesystem::path ConsoleFilePath(const std::filesystem::path& folder) { return folder / kConsoleFileName; }

std::optional<Block> ReadConsoleBlock(const std::filesystem::path& folder, long long qid, QString* problem) {
    QByteArray bytes;
    if (!ReadAll(ConsoleFilePath(folder), bytes, problem)) return std::nullopt;
    for (Block& b : ParseConsoleFile(bytes))
        if (b.qid == qid) return std::move(b);
    return std::nullopt;
}

FileOutcome StoreConsoleBlock(const std::filesystem::path& folder, long long qid, const std::optional<Block>& block) {
    const std::filesystem::path path = ConsoleFilePath(folder);
    QByteArray bytes;
    FileOutcome out;
    if (!ReadAll(path, bytes, &out.problem)) {
        out.ok = false;
        return out;
    }
    std::vector<Block> blocks = ParseConsoleFile(bytes);
    auto it = std::find_if(blocks.begin(), blocks.end(), [qid](const Block& b) { return b.qid == qid; });
    if (block) {
        Block saved = *block;
        saved.qid = qid;
        if (it != blocks.end()) *it = std::move(saved);
        else blocks.push_back(std::move(saved));
    } else if (it != blocks.end()) {
        blocks.erase(it);
    }
    return WriteAll(path, FormatConsoleFile(blocks));
}

FileOutcome EmptyConsoleFile(const std::filesystem::path& folder) { return WriteAll(ConsoleFilePath(folder), {}); }

}  // namespace sim
