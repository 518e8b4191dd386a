// The results folder beside the ResultsBrief rows that name its files: how a
// save and a delete change the two so that a kill or a power cut at any
// moment, or a second copy of the program at work on the same folder, leaves
// a result either listed with its whole file or gone; and the step that puts
// things straight afterwards.
//
// One lock: the folder is changed only while the database's write lock is
// held (a transaction that takes it at once), from the first look at the
// folder to the commit of the row. A copy of the program that finds a save or
// a delete half-done therefore knows that whoever did it has died.
//
// Saving key K: the text is written to "K.erf.part" (created fresh), flushed,
// and the folder flushed; then the row naming K commits. Under the lock once
// more, "K.erf.part" becomes "K.erf" (never over an existing file). So the
// name "K.erf" is only ever given to a file whose row stands, and the disk
// needs neither hard links nor a rename that refuses to replace: a ".erf" that
// no row names is a stray, which is never touched.
//
// Deleting the result of key K: "K.erf" is parked as "K.erf.deleting" (never
// over an existing file) and the folder flushed; then the row goes, and under
// the lock once more the parked file goes.
//
// Putting things straight (at start-up, in every save and delete before it
// looks for names, and as their last step), for every leftover name:
//   "K.erf.part", a row names K: the save got through; the file becomes
//       "K.erf" (a "K.erf" that is the same file, or an empty mark, goes).
//   "K.erf.part", no row names K: the save did not; the file goes (and a
//       "K.erf" that is the very same file, as earlier versions left it).
//   "K.erf.deleting", a row names K: the delete did not get through; the file
//       is put back as "K.erf" (a "K.erf" standing already wins).
//   "K.erf.deleting", no row names K: the delete did; the parked file goes.
// Rows are matched without regard to letter case in any script. Where the
// database cannot be asked, or a row names K only in a letter case that the
// database does not see as the same, nothing is removed.
#pragma once

#include "platform/database.h"

#include <QSet>
#include <QString>

#include <filesystem>
#include <string>
#include <vector>

namespace results {

inline constexpr char kResultEnding[] = ".erf";
inline constexpr char kSavingEnding[] = ".erf.part";
inline constexpr char kDeletingEnding[] = ".erf.deleting";

// The folder's file of a key, and its name with one of the endings above.
std::filesystem::path KeyFile(const std::filesystem::path& resultsFolder, const QString& key,
                              const char* ending = kResultEnding);

struct Recovery {
    int removed = 0;   // leftover names removed (a half-saved file counts once with its mark)
    int restored = 0;  // files put back under their ".erf" name
    int kept = 0;      // leftovers left alone: the database could not be asked, a doubt, or the disk refused
};

// One reading of the folder: its leftover names, and the names that begin
// with `prefix` in any letter case (none for an empty prefix), so that trying
// key after key costs no further look at the folder.
class FolderScan {
public:
    explicit FolderScan(const std::filesystem::path& folder, const QString& prefix = {});
    // Whether an entry of that name stands, in any letter case.
    bool Holds(const QString& name) const { return folded_.contains(name.toCaseFolded()); }
    // The leftover names of one key alone, looked up by name.
    static FolderScan OfKey(const std::filesystem::path& folder, const QString& key);

private:
    FolderScan() = default;
    friend Recovery SettleLeftovers(plat::Database&, const std::filesystem::path&, FolderScan&);
    struct Leftover {
        std::string name;  // as it stands in the folder
        std::string key;
        bool saving;  // a ".part"; otherwise a parked file
    };
    void Gone(const std::string& name);
    void Came(const std::string& name);
    std::vector<Leftover> left_;
    bool ownKey_ = false;  // the names a step of this copy has just left (OfKey)
    QString prefix_;
    QSet<QString> folded_;
};

// Puts the leftovers of a scan straight (see above). The caller holds the
// database's write lock, from the scan on.
Recovery SettleLeftovers(plat::Database& db, const std::filesystem::path& resultsFolder, FolderScan& scan);

// The last step of a save or delete of `key`: takes the lock and puts that
// key's leftover names straight. The step has just committed its row under
// that very key, and while its names stand no copy of the program takes a key
// that folds onto it, so the row is looked for as the database compares.
// Quiet: should the lock not come, the next start, save or delete does it.
Recovery SettleKey(plat::Database& db, const std::filesystem::path& resultsFolder, const QString& key);

// Takes the lock, reads the folder and puts it straight. Quiet: what it cannot
// mend stays as it was, to be tried again next time.
Recovery RecoverResultFiles(plat::Database& db, const std::filesystem::path& resultsFolder);

}  // namespace results
