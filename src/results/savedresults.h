// Saved results: saving a graded run (its file under "results" and its
// ResultsBrief row), listing the rows a user may see, reopening one (the whole
// file checked, then the run tables rebuilt in one transaction) and deleting
// one. Each step takes plain values and returns an outcome with the message
// the window shows; the windows hold no rule of their own.
//
// Messages (title "Results" unless said otherwise):
//   "Result Saved", "Result Already Saved", "No Results Found",
//   "Please Select a Row to Delete" (information);
//   "Do You Want to Delete the Selected Result" (Yes/No, no icon, title "Resuts");
//   failures (critical) name the file, and for a bad file its line; after a
//   failure nothing has changed.
#pragma once

#include "platform/database.h"
#include "results/message.h"
#include "results/scoring.h"

#include <QDate>
#include <QString>
#include <QTime>

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <vector>

namespace results {

// Who is looking: the administrator (flag set by the administrator's sign-in,
// never the text "norvi") sees and manages every user's results, anyone else
// only their own.
struct Viewer {
    QString userName;
    bool admin = false;
    static Viewer Current();  // gstrUserName, gblnAdminSignedIn
};

// The folder the result files live in, under the program folder.
std::filesystem::path ResultsFolder(const std::filesystem::path& programFolder);

// ---------------------------------------------------------------- saving

struct SaveRequest {
    QString candName;  // gstrCandName
    QString userName;  // gstrUserName
    QString examName;  // gstrExamName
    QDate date;        // gvarExamDate
    QTime time;        // gvarExamTime
    int16_t scoreObt = 0;
    int16_t passScore = 0;
    int16_t maxScore = 0;
    int16_t percentage = 0;
    QString result;          // "Pass" or "Fail"; empty: the report has no verdict
    bool adaptive = false;   // gblnAdaptive: only the questions presented are kept
    bool alreadySaved = false;  // this report has saved before
};

// The request for a graded report: names, stamps and mode from the
// module-level state, figures from the report.
SaveRequest RequestFor(const scoring::Report& report);

struct SaveOutcome {
    bool saved = false;
    QString key;          // the FileName used (key, or key_2, key_3, ... when taken)
    long long index = 0;  // the ResultsBrief Index given
    Message message;      // always set
};

// Saves the run in the tables: the file is written whole and flushed to the
// disk before the row goes in; a failure at any step undoes the others, and a
// kill at any moment leaves either the whole result or nothing once the
// folder is put straight (results/resultfolder.h). The "results" folder is
// created when missing. A key already held by a row (any letter case) or a
// file gets "_2", "_3", ...; "Result Already Saved" is only for a report that
// has saved. A failure names the file and the system's reason. A save or
// delete of another copy of the program is waited for; one that outlasts the
// database's wait is reported and nothing is changed.
SaveOutcome SaveResult(plat::Database& db, const std::filesystem::path& programFolder, const SaveRequest& request);

// ---------------------------------------------------------------- listing

struct SavedResult {
    long long index = 0;
    QString candName;
    QString userName;
    QString examName;
    QDate date;  // invalid when the row holds none
    QTime time;
    plat::Value score, passScore, maxScore, percentage;
    QString result;
    QString fileName;
};

// The rows the viewer may see, in Index order.
std::vector<SavedResult> ListResults(plat::Database& db, const Viewer& viewer);

// The list's seven cells: candidate, exam, date "d mmm yyyy", time "h:m:s",
// score, percentage, result.
std::array<QString, 7> ListCells(const SavedResult& r);

// The list's cells of every result the viewer may see, in Index order, read by
// one query of the seven columns shown: what the window fills its grid from.
std::vector<std::array<QString, 7>> ListedCells(plat::Database& db, const Viewer& viewer);

// Rows of the list grid for n results (header included): 10 up to 8 results,
// n + 2 beyond, so an empty row always follows the last result.
int GridRows(size_t n);

// ---------------------------------------------------------------- reopening

// Everything the windows set for a reopened result.
struct Reopened {
    QString fileName;
    QString candName;  // gstrCandName
    QString examName;  // gstrExamName
    QDate date;        // gvarExamDate
    QTime time;        // gvarExamTime
    scoring::SavedFigures figures;  // frmGrade's three members, Percentage, Result
};

struct ReopenOutcome {
    bool ok = false;
    Reopened result;
    Message message;  // set when not ok
};

// Reopens the viewer's result at list position `row` (1 = first): reads and
// checks the whole file, then empties and refills QuestIds, AnsIds,
// AnsSelected and the DragNDrop and SimCommands answer columns in one
// transaction. A position past the list gives "No Results Found"; a missing or
// bad file, a file name outside "results" or figures beyond 16 bits change
// nothing and are reported (a file still under its first name, its save
// being finished, is read there); so does a pipe, device or folder in the file's
// place (it is never opened) or a file larger than any the program writes.
ReopenOutcome ReopenResult(plat::Database& db, const std::filesystem::path& programFolder, const Viewer& viewer,
                           int row);

// Sets the module-level state for a reopened result: gstrCandName,
// gstrExamName, gvarExamDate, gvarExamTime and gblnFromResults.
void ApplyToState(const Reopened& r);

// The signed-in user's own candidate name ("Norvi" for the administrator),
// which a reopened result replaced; the list puts it back when it closes.
QString SignedInCandidateName(plat::Database& db, const Viewer& viewer);

// ---------------------------------------------------------------- deleting

struct DeleteTarget {
    long long index = 0;
    QString fileName;
};

struct DeleteSelection {
    std::optional<DeleteTarget> target;
    Message message;  // "Please Select a Row to Delete" when there is no target
};

// The result at list position `row`, or the message for an empty row.
DeleteSelection SelectForDelete(plat::Database& db, const Viewer& viewer, int row);

// The question asked before deleting.
Message DeleteQuestion();

struct DeleteOutcome {
    bool deleted = false;  // the row is gone: the window removes its grid row
    Message message;       // set when not deleted
};

// Deletes the result's file and its row; a kill at any moment leaves the result
// either whole or gone once the folder is put straight. A missing file does
// not keep the row; a file that cannot be removed keeps it and is reported; a
// file name outside "results" is refused. A file another row still names is
// kept; a result that another copy of the program has deleted already counts
// as deleted, and no file of its name is touched.
DeleteOutcome DeleteResult(plat::Database& db, const std::filesystem::path& programFolder,
                           const DeleteTarget& target);

}  // namespace results
