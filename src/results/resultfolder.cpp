#include "resultfolder.h"

#include "platform/safefile.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <optional>
#include <string_view>

namespace fs = std::filesystem;

namespace results {

namespace {

// Every name in the folder, read straight from the folder's entries: a
// folder of 10,000 results is read in about a millisecond.
template <class F>
void ForEachName(const fs::path& folder, F&& f) {
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return;
    while (const dirent* e = ::readdir(dir)) {
        const std::string_view name(e->d_name);
        if (name != "." && name != "..") f(name);
    }
    ::closedir(dir);
}

bool EndsWith(std::string_view s, std::string_view end) {
    return s.size() > end.size() && s.compare(s.size() - end.size(), end.size(), end) == 0;
}

// "K.erf.deleting", or with a number after it as earlier versions parked a
// file when the plain name was taken.
std::optional<std::string> DeletingKey(std::string_view name) {
    size_t end = name.size();
    while (end > 0 && name[end - 1] >= '0' && name[end - 1] <= '9') --end;
    const std::string_view ending(kDeletingEnding);
    if (end <= ending.size() || name.substr(end - ending.size(), ending.size()) != ending) return std::nullopt;
    return std::string(name.substr(0, end - ending.size()));
}

QString Folded(std::string_view bytes) {
    return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size())).toCaseFolded();
}

char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; }

std::optional<struct stat> Look(const fs::path& p) {
    struct stat st {};
    if (::lstat(p.c_str(), &st) != 0) return std::nullopt;
    return st;
}

bool SameFile(const struct stat& a, const struct stat& b) { return a.st_dev == b.st_dev && a.st_ino == b.st_ino; }

enum class Row { Named, None, Unsure };

// Whether a row names `key`. FileName compares as SQLite's NOCASE does, which
// folds ASCII letters only: a row in another script's other letter case
// ("Émile_12926_0101" for "émile_12926_0101"), or with a sign that folds onto
// a plain letter, would not be found. So the rows that end in the key's own
// digits and underscores, which no folding changes, are folded and compared
// too; one of them equal to the key leaves a doubt. `folded` false: the
// database's own lookup is enough (see SettleKey).
Row RowFor(plat::Database& db, const std::string& key, bool folded) {
    try {
        if (db.Scalar("SELECT count(*) FROM ResultsBrief where FileName = ?", {key}).toInt() > 0) return Row::Named;
        if (!folded) return Row::None;
        size_t tail = key.size();
        while (tail > 0 && ((key[tail - 1] >= '0' && key[tail - 1] <= '9') || key[tail - 1] == '_')) --tail;
        std::string pattern = "%";
        for (size_t i = tail; i < key.size(); ++i) {
            if (key[i] == '_') pattern += '\\';
            pattern += key[i];
        }
        const QString keyFolded = Folded(key);
        plat::Recordset rs =
            db.OpenRecordset("SELECT FileName FROM ResultsBrief where FileName LIKE ? ESCAPE '\\'", {pattern});
        for (; !rs.Eof(); rs.MoveNext())
            if (Folded(rs.Fields(0).toString()) == keyFolded) return Row::Unsure;
        return Row::None;
    } catch (const std::exception&) {
        return Row::Unsure;  // nothing is removed on a guess
    }
}

}  // namespace

fs::path KeyFile(const fs::path& resultsFolder, const QString& key, const char* ending) {
    return resultsFolder / (key.toStdString() + ending);
}

FolderScan::FolderScan(const fs::path& folder, const QString& prefix) : prefix_(prefix.toCaseFolded()) {
    const std::string lead = prefix.toStdString();
    // The prefix's leading plain ASCII letters are compared byte by byte, which
    // turns away nearly every other result's name at its first bytes; a name
    // with any other character there is folded whole, since a character
    // outside ASCII may fold onto a plain letter.
    size_t ascii = 0;
    while (ascii < lead.size() && static_cast<unsigned char>(lead[ascii]) < 0x80) ++ascii;
    ForEachName(folder, [&](std::string_view name) {
        if (EndsWith(name, kSavingEnding)) {
            left_.push_back({std::string(name), std::string(name.substr(0, name.size() - std::strlen(kSavingEnding))),
                             true});
        } else if (std::optional<std::string> key = DeletingKey(name)) {
            left_.push_back({std::string(name), std::move(*key), false});
        }
        if (lead.empty()) return;
        size_t i = 0;
        for (; i < ascii; ++i) {
            if (i == name.size()) return;
            if (static_cast<unsigned char>(name[i]) >= 0x80) break;
            if (AsciiLower(name[i]) != AsciiLower(lead[i])) return;
        }
        QString folded = Folded(name);
        if (i == lead.size() || folded.startsWith(prefix_)) folded_.insert(std::move(folded));
    });
}

FolderScan FolderScan::OfKey(const fs::path& folder, const QString& key) {
    FolderScan scan;
    scan.ownKey_ = true;
    const std::string k = key.toStdString();
    for (const char* ending : {kSavingEnding, kDeletingEnding}) {
        const std::string name = k + ending;
        if (Look(folder / name)) scan.left_.push_back({name, k, ending == kSavingEnding});
    }
    return scan;
}

void FolderScan::Gone(const std::string& name) { folded_.remove(Folded(name)); }

void FolderScan::Came(const std::string& name) {
    QString folded = Folded(name);
    if (!prefix_.isEmpty() && folded.startsWith(prefix_)) folded_.insert(std::move(folded));
}

Recovery SettleLeftovers(plat::Database& db, const fs::path& folder, FolderScan& scan) {
    Recovery out;
    for (const FolderScan::Leftover& l : scan.left_) {
        const Row row = RowFor(db, l.key, !scan.ownKey_);
        if (row == Row::Unsure) {
            ++out.kept;
            continue;
        }
        const fs::path mine = folder / l.name;
        const std::string fileName = l.key + kResultEnding;
        const fs::path file = folder / fileName;
        const std::optional<struct stat> st = Look(mine), fileSt = Look(file);
        if (!st) continue;  // gone already: another step of this copy settled it
        auto remove = [&](const fs::path& p, const std::string& name) {
            if (::unlink(p.c_str()) != 0) return false;
            scan.Gone(name);
            return true;
        };
        auto restore = [&] {
            if (!plat::RenameNoReplace(mine, file)) return false;
            scan.Gone(l.name);
            scan.Came(fileName);
            ++out.restored;
            return true;
        };
        bool done = false;
        if (row == Row::Named && !fileSt) {
            done = S_ISREG(st->st_mode) && restore();
        } else if (row == Row::Named) {
            // "K.erf" stands: a parked copy gives way to it; a ".part" goes only
            // when it is that very file or an empty mark, else which is the
            // result is in doubt.
            const bool mark = l.saving && S_ISREG(st->st_mode) && (SameFile(*st, *fileSt) || st->st_size == 0);
            done = (!l.saving || mark) && remove(mine, l.name);
            out.removed += done;
        } else {
            // No row: the step did not get through, or its row went. A
            // ".erf" is removed with its ".part" only when it is that file.
            const bool twin = l.saving && fileSt && S_ISREG(st->st_mode) && S_ISREG(fileSt->st_mode) &&
                              SameFile(*st, *fileSt);
            done = (!twin || remove(file, fileName)) && remove(mine, l.name);
            out.removed += done;
        }
        out.kept += !done;
    }
    if (out.removed || out.restored) plat::SyncFolder(folder);
    scan.left_.clear();
    return out;
}

namespace {

// Takes the lock, then looks at the folder with `look` and settles what it
// found; quiet.
template <class Scanner>
Recovery SettleLocked(plat::Database& db, const fs::path& folder, Scanner&& look) {
    try {
        plat::Transaction lock(db);
        FolderScan scan = look();
        const Recovery out = SettleLeftovers(db, folder, scan);
        lock.Commit();
        return out;
    } catch (const std::exception&) {
        return Recovery{0, 0, 1};
    }
}

}  // namespace

Recovery SettleKey(plat::Database& db, const fs::path& folder, const QString& key) {
    return SettleLocked(db, folder, [&] { return FolderScan::OfKey(folder, key); });
}

Recovery RecoverResultFiles(plat::Database& db, const fs::path& folder) {
    return SettleLocked(db, folder, [&] { return FolderScan(folder); });
}

}  // namespace results
