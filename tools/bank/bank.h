// The question bank: its readable sources under data/bank/, the shipped tables
// made from them, and the linter that proves the rules the windows rely on.
#pragma once

#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace plat {
class Database;
}

namespace bank {

// Where a row came from: a source file and line, or a database file (line 0).
struct Origin {
    std::string file;
    int line = 0;
};

struct CategoryRow {
    int index = 0;
    std::string name;
    Origin at;
};

struct QuestionRow {
    int qid = 0;
    std::string qname;
    std::string diffLevel;
    std::string qtype;
    int catInd = 0;
    std::string exhibitPath = "NA";
    std::string expln = "NA";
    Origin at;
};

struct AnswerRow {
    int index = 0;
    int qid = 0;
    std::string answer;
    int correct = 0;
    Origin at;
};

struct DragRow {
    int index = 0;
    int qid = 0;
    std::string question;
    std::string answer;
    int ansSel = 0;
    int ansRand = 0;
    Origin at;
};

struct SimCommandRow {
    int index = 0;
    int qid = 0;
    std::string command;
    std::string cmdPmt;
    std::string resPmt;
    std::string response = "NA";
    std::string devName;
    int cmdTyped = 0;
    Origin at;
};

struct SimValueRow {
    int cmdInd = 0;
    std::string cmdVal;
    Origin at;
};

// The shipped question-bank tables, row for row.
struct Tables {
    std::vector<CategoryRow> categories;
    std::vector<QuestionRow> questions;
    std::vector<AnswerRow> answers;
    std::vector<DragRow> drags;
    std::vector<SimCommandRow> commands;
    std::vector<SimValueRow> values;
};

// One broken rule, named by file, line and question.
struct Breach {
    Origin at;
    int qid = 0;          // 0 when the breach belongs to no question
    std::string rule;     // short name of the rule, e.g. "single-answer"
    std::string message;
};

// "bank/03-ipv6.txt:120: question 45: ...".
std::string Describe(const Breach& b);
std::string DescribeAll(const std::vector<Breach>& breaches);

// ---------------------------------------------------------------------------
// Sources

// Reads every "*.txt" file of bankDir (in name order) into tables. Syntax errors
// are appended to `errors`; the tables hold whatever could be read. File names in
// origins name the folder above bankDir too ("data/bank/01-x.txt").
Tables ReadBankSources(const std::filesystem::path& bankDir, std::vector<Breach>& errors);

// The same for texts given directly (name -> content), for tests and tools.
Tables CompileBankTexts(const std::map<std::string, std::string>& files, std::vector<Breach>& errors);

// Path of an exhibit as the program folder holds it, and the source it is drawn from.
std::string ExhibitPathFor(std::string_view name);               // "exhibits/<name>.png"
std::string ExhibitNameOf(std::string_view exhibitPath);         // "" when not of that form

// Width, in characters, that explanation paragraphs are wrapped to when the
// explanation has more than one line: the flash card shows such text without
// wrapping it. No line of such an explanation may pass the limit.
constexpr int kExplanationWidth = 60;
constexpr int kExplanationLineLimit = 66;

// ---------------------------------------------------------------------------
// Linter

struct LintOptions {
    // Folder of the exhibit sources ("<name>.txt"); empty = exhibits are not looked at.
    std::filesystem::path exhibitSources;
    // Draws one exhibit source; returns "" when it drew, else what went wrong.
    // Not set = the sources are only required to exist.
    std::function<std::string(const std::filesystem::path& source)> renderExhibit;
};

std::vector<Breach> Lint(const Tables& t, const LintOptions& options = {});

// ---------------------------------------------------------------------------
// Labs at the console

// Types one lab's model answer, command by command, at the simulator's own
// console engine (src/simulator/engine.h), which starts at ">" and moves between
// prompts only by the accepted commands and by "exit"; returns the problems met
// (empty = every command was accepted, in order, as itself).
std::vector<std::string> WalkLab(const std::vector<SimCommandRow>& commands,
                                 const std::map<int, std::vector<std::string>>& valuesByCmd);

// ---------------------------------------------------------------------------
// Database

// Inserts the rows into an open database that has the schema.
void WriteTables(plat::Database& db, const Tables& t);
// Reads the shipped tables back (origins name the database file).
Tables ReadTables(plat::Database& db);
// Do two sets of tables hold the same rows (origins aside)?
bool SameContent(const Tables& a, const Tables& b);

}  // namespace bank
