// The simulator window's steps without the window: what a visit of a
// simulation question shows when it opens, what Return, Reset and closing do to
// the console, the database and the console file. The window keeps one
// sim::Console across openings and wires its controls to these calls; the
// typed text reaches the database only as bound values, never as SQL text.
#pragma once

#include "platform/database.h"
#include "simulator/consolefile.h"
#include "simulator/engine.h"

#include <QString>

#include <filesystem>

namespace sim {

// The question's commands in Index order, with their values (SimCmdValues in
// stored order) and typed flags (CmdTyped = 1).
Lab LoadLab(plat::Database& db, long long qid);
// Marks one command typed (CmdTyped = 1, which the answer check counts).
void RecordTyped(plat::Database& db, long long index);
// Marks every command of the question not typed (a fresh or reset console).
void ClearTyped(plat::Database& db, long long qid);

// How the window was opened.
struct Visit {
    bool showAnswer = false;   // frmExam.mblnFromShAns: the model answer, read-only
    bool fromResults = false;  // gblnFromResults: a saved result looked through
};

// What the window shows when it opens.
struct Opening {
    QString question;             // txtQues: Questions.QName
    QString console;              // txtSimCon's whole content; caret at its end
    bool consoleEnabled = true;   // txtSimCon
    bool resetEnabled = true;     // cmdReset
    QString problem;              // the console file exists but cannot be read ("" = none)
};

// The load step for question qid:
// - show answer: the "Commands" listing (of the typed commands only when from
//   results); console and Reset disabled; the console state and the file are
//   not touched.
// - a saved result: the listing of the commands typed in it; console and Reset
//   disabled; the file and the typed flags are left alone (the file holds the
//   consoles of the last run, not the result's).
// - otherwise: the question's saved console and its device and prompt when the
//   file holds its block; else the start line, the console not started and the
//   question's typed flags cleared (kept when the file cannot be read: `problem`).
Opening OpenConsole(plat::Database& db, const std::filesystem::path& folder, long long qid, const Visit& visit,
                    Console& console);

// Return on the console, whose text stands as `text`: judges the line, records
// an accepted command (its CmdTyped = 1) and says what to write and show.
Reply PressReturn(plat::Database& db, long long qid, Console& console, const QString& text);

// One normalised command judged at the console's prompt without a Return
// (ChkCmdTyped): an accepted one is recorded and its output waits for the next
// prompt line; a refused one comes back with its box.
Reply CheckCommand(plat::Database& db, long long qid, Console& console, const QString& command);

// Reset answered Yes: the question's typed flags cleared, the console not
// started; returns the console's new content (the start line).
QString ResetConsole(plat::Database& db, long long qid, Console& console);

// The unload step: a started console is saved as the question's block (in its
// place, or appended), a console not started removes it; in show-answer mode
// and for a saved result the file is not touched.
FileOutcome CloseConsole(const std::filesystem::path& folder, long long qid, const Visit& visit,
                         const Console& console, const QString& text);

}  // namespace sim
