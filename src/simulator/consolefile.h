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
// The file is rewritten whole: written to a temporary file, flushed and renamed
// over the old one, so a failure at any point keeps the old file. Reading never
// fails on a damaged file: what cannot be read is left out, the rest is kept.
#pragma once

#include <QByteArray>
#include <QString>

#include <filesystem>
#include <optional>
#include <vector>

namespace sim {

inline const char* const kConsoleFileName = "SimCmds.txt";

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
// block missing its "[EOQ]" ends at the next header or at the end.
std::vector<Block> ParseConsoleFile(const QByteArray& bytes);
QByteArray FormatConsoleFile(const std::vector<Block>& blocks);

std::filesystem::path ConsoleFilePath(const std::filesystem::path& folder);

// The saved console of a question. A missing file holds none; a file that
// exists but cannot be read is reported in `problem`.
std::optional<Block> ReadConsoleBlock(const std::filesystem::path& folder, long long qid,
                                      QString* problem = nullptr);

// Saves a question's console: replaces its block where it stands or appends it;
// without a block, removes the question's block. The other blocks are kept as
// read. A file that exists but cannot be read is not overwritten.
FileOutcome StoreConsoleBlock(const std::filesystem::path& folder, long long qid, const std::optional<Block>& block);

// Leaves the file existing and empty (a new run starts).
FileOutcome EmptyConsoleFile(const std::filesystem::path& folder);

}  // namespace sim
