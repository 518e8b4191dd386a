// The results folder beside the ResultsBrief rows that name its files: how a
// save and a delete change the two so that a kill or a power cut at any moment
// leaves a result either listed with its whole file or gone, and the step that
// puts things straight afterwards.
//
// Saving key K: the text is written to "K.erf.part" (created fresh), flushed,
// given its second name "K.erf" (never over an existing file) and the folder
// flushed; then the row naming K commits, and "K.erf.part" goes. So while a
// save is in flight its ".part" name stands, and a ".erf" that no row names
// is known to be a half-done save only when it is the very file its ".part"
// twin names (or, where the disk has no hard links, the twin is the empty mark
// made after the rename). A ".erf" without that evidence, a stray file, is
// never touched.
//
// Deleting the result of key K: "K.erf" is parked as "K.erf.deleting" (never
// over an existing file) and the folder flushed; then the row goes, and the
// parked file after it.
//
// Putting things straight (at start-up and before every save and delete), for
// every leftover name:
//   "K.erf.part", a row names K: the save got through; the mark goes (and
//       brings its file back as "K.erf" should that name be missing).
//   "K.erf.part", no row names K: the save did not; the mark goes, with its
//       "K.erf" twin as above.
//   "K.erf.deleting", a row names K: the delete did not get through; the file
//       is put back as "K.erf" (a "K.erf" standing already wins).
//   "K.erf.deleting", no row names K: the delete did; the parked file goes.
// Rows are matched without regard to letter case, as FileName compares, so a
// doubt keeps the file.
#pragma once

#include "platform/database.h"

#include <QSet>
#include <QString>

#include <filesystem>
#include <string>

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
    int kept = 0;      // leftovers left alone: the database could not be asked, or the disk refused
};

// Puts the folder straight after an interrupted save or delete (see above).
// Quiet: what it cannot mend stays as it was, to be tried again next time.
Recovery RecoverResultFiles(plat::Database& db, const std::filesystem::path& resultsFolder);

// The folder's names that begin with `prefix` in any letter case, read in one
// pass, so that trying key after key costs no further look at the folder.
class FolderNames {
public:
    FolderNames(const std::filesystem::path& folder, const QString& prefix);
    // Whether an entry of that name stands, in any letter case.
    bool Holds(const QString& name) const { return folded_.contains(name.toCaseFolded()); }

private:
    QSet<QString> folded_;
};

}  // namespace results
