// The saved result file (".erf") and what names it: the result key built from
// the login name and the run's start stamps, the text written from the run
// tables, and the checked reading of that text back into lines to replay.
//
// The file holds one line per item, a key, " : " and a value, each line ended
// by CR LF; one block per question:
//   qid : <QId>
//   qtype : <S|M|D|SIM|...>
//   S, M:  ansid : <AnsIds.AnsId> per option in display order,
//          then selansid : <AnsSelected.Answer> per chosen option
//   D:     ansid : <Index>, ansrand : <AnsRand>, anssel : <AnsSel> per row
//   SIM:   selansid : <SimCommands.Index> per typed command
#pragma once

#include "platform/database.h"

#include <QByteArray>
#include <QDate>
#include <QString>
#include <QTime>
#include <QVariant>

#include <optional>
#include <vector>

namespace results {

// ---- the stamps as the windows show them (English month names)
QString DateText(const QDate& date);      // "d mmm yyyy": 7 Dec 2026
QString TimeText(const QTime& time);      // "hh:mm:ss": 09:05:07
QString ListTimeText(const QTime& time);  // "h:m:s": 9:5:7

// The run's start stamps as the module-level state holds them: a date and a
// time (or an ISO text). Month names are never read back.
std::optional<QDate> StampDate(const QVariant& stamp);
std::optional<QTime> StampTime(const QVariant& stamp);

// ---- the key
// The login name made safe as part of a file name in the results folder:
// / \ : * ? " < > |, control characters and a leading dot become "_".
QString SafeKeyName(const QString& login);
// login "_" m d yy "_" hh mm, e.g. cand01_12726_1405 for 7 Dec 2026 14:05:33.
// A login name of more than 219 bytes (UTF-8) is cut to them at a character
// boundary, so that every key, numbered and with its files' endings, fits a
// file name.
QString ResultKey(const QString& login, const QDate& date, const QTime& time);
// Whether a stored key names a file directly inside the results folder.
bool KeyStaysInFolder(const QString& key);

// ---- writing
// The file's text for the run in the tables: every question of QuestIds in run
// order, or for an adaptive exam the questions presented, in the order issued.
QByteArray RunFileText(plat::Database& db, bool adaptive);

// ---- reading
enum class LineKey { QId, QType, AnsId, SelAnsId, AnsRand, AnsSel };

struct FileLine {
    int number = 0;  // line number in the file, from 1
    LineKey key = LineKey::QId;
    long long value = 0;  // every key but qtype
    QString text;         // qtype's value
};

struct ParsedFile {
    std::vector<FileLine> lines;  // the known lines, in file order
    int badLine = 0;              // 0: the whole file is sound
    QString problem;              // what is wrong with badLine
    bool ok() const { return badLine == 0; }
};

// Checks and reads a whole file. Lines end with CR LF, LF or CR and are trimmed
// of blanks; a line is known by what it begins with ("qid", "qtype", "ansid",
// "selansid", "ansrand", "anssel", exact case), and lines beginning with none
// of them (blank lines included) are skipped. The value is the text between
// the first ":" and the next one. A known line without ":", a value that is not
// a whole number within 64 bits, or an answer line before the first "qid" make
// the file bad.
ParsedFile ParseResultFile(const QByteArray& bytes);

// Replays the lines into the run tables, which the caller has emptied, inside
// the caller's transaction: QuestIds numbered 1, 2, ... in file order, AnsIds
// numbered by every "ansid" line (so "D" questions leave gaps), AnsSelected,
// DragNDrop's AnsRand and AnsSel, SimCommands' CmdTyped.
void ReplayRun(plat::Database& db, const std::vector<FileLine>& lines);

}  // namespace results
