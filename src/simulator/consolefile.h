// "SimCmds.txt" in the program folder: the consoles of the run's simulation
// questions, kept from one visit of a question to the next. UTF-8, every line
// ended by CR LF; one block per question, in the order the blocks were first
// saved:
//
//   [QID : 12]        the header (a blank each side of the colon)
//   R1                the device name
//   (config-if)#      the prompt
//   ...               the console, one line per console line
//   [EOQ]
//
// A console line that would read as a marker ("[EOQ]", or a line beginning
// "[QID : ") is stored with one more leading backslash, and read back without
// it, so a candidate's typing never ends a block or passes for a header.
//
// Saving a question's console replaces only that question's first block; every
// other line of the file (lines outside blocks, other questions' blocks, a
// later block of the same question) is copied byte for byte. The file is
// rewritten whole through "SimCmds_tmp.txt": written, flushed and renamed over
// the old one, so a failure at any point keeps the old file.
//
// Reading never fails on a damaged file: what cannot be read is left out, the
// rest is kept. Only a plain file of at most kConsoleFileLimit bytes is read (a
// pipe or a device in its place must neither hang nor exhaust the program),
// and a line longer than kConsoleLineLimit is cut when read, as is a console
// of more than kConsoleLinesKept lines, so that no console takes long to lay
// out; the file keeps what it holds until that console is saved again.
#pragma once

#include <QByteArray>
#include <QString>

#include <filesystem>
#include <optional>
#include <vector>

namespace sim {

inline const char* const kConsoleFileName = "SimCmds.txt";
inline const char* const kConsoleTempName = "SimCmds_tmp.txt";

// The largest console file read: 4 MiB. A full run's consoles, every lab of
// the bank typed through many times over, come to some tens of kilobytes.
inline constexpr qint64 kConsoleFileLimit = 4 << 20;

// The longest console line kept when read, in characters. The lines the
// simulator writes (a prompt and a command, a line of device output) are a
// few dozen characters; one long unbroken line alone can take minutes to lay
// out in the console.
inline constexpr qsizetype kConsoleLineLimit = 1024;

// The most console lines kept when read: the last ones, where the console
// goes on. A lab typed through takes a few dozen; a file of millions of empty
// lines would take many seconds to show.
inline constexpr qsizetype kConsoleLinesKept = 10000;

// One question's saved console. `console` has its lines separated by "\n".
struct Block {
    long long qid = 0;
    QString devName;
    QString prompt;
    QString console;
};

struct FileOutcome {
    bool ok = true;
    QString problem;  // what went wrong, for the user
    explicit operator bool() const { return ok; }
};

// The file's bytes to blocks and back. Lines outside a block, a second block of
// the same question, and a block cut short before its prompt are left out; a
// block missing its "[EOQ]" ends at the next header or at the end. Every line
// read (device name, prompt, console line) is cut to kConsoleLineLimit, and a
// console keeps its last kConsoleLinesKept lines.
std::vector<Block> ParseConsoleFile(const QByteArray& bytes);
QByteArray FormatConsoleFile(const std::vector<Block>& blocks);

// The file's bytes with question qid's first block replaced by `block` where it
// stands (appended at the end when the file has none), or removed when there
// is no `block`. The old block runs from its header to its "[EOQ]", or up to
// the next header or the end when its "[EOQ]" is lost. Every other byte stays.
QByteArray ReplaceConsoleBlock(const QByteArray& file, long long qid, const std::optional<Block>& block);

std::filesystem::path ConsoleFilePath(const std::filesystem::path& folder);

// The saved console of a question. A missing file holds none; a file that
// exists but cannot be read (not a plain file, too large, refused by the
// system) is reported in `problem`.
std::optional<Block> ReadConsoleBlock(const std::filesystem::path& folder, long long qid,
                                      QString* problem = nullptr);

// Saves a question's console: replaces its block where it stands or appends it;
// without a block, removes the question's block. The rest of the file is kept
// as it was. A file that exists but cannot be read is not overwritten.
FileOutcome StoreConsoleBlock(const std::filesystem::path& folder, long long qid, const std::optional<Block>& block);

// Leaves the file existing and empty (a new run starts).
FileOutcome EmptyConsoleFile(const std::filesystem::path& folder);

}  // namespace sim
