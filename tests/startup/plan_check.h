// The statements a connection runs, recorded from SQLite itself, and what
// SQLite plans for each: whether a table that has an index is read whole
// where the statement picks rows of it by the index's column.
#pragma once

#include <sqlite3.h>

#include <map>
#include <set>
#include <string>
#include <vector>

namespace plan_check {

// Every statement run on the connection while the log lives, each text once,
// in the order first run. Statements that only steer transactions or the
// connection (BEGIN, COMMIT, SAVEPOINT, PRAGMA...) are left out.
class StatementLog {
public:
    explicit StatementLog(sqlite3* db);
    ~StatementLog();
    StatementLog(const StatementLog&) = delete;
    StatementLog& operator=(const StatementLog&) = delete;

    const std::vector<std::string>& statements() const { return order_; }

private:
    static int OnTrace(unsigned type, void* self, void* stmt, void* text);
    sqlite3* db_;
    std::vector<std::string> order_;
    std::set<std::string> seen_;
};

// The steps of EXPLAIN QUERY PLAN for the statement (its parameters unbound),
// or why it could not be planned.
struct Step {
    int id = 0;
    int parent = 0;
    std::string detail;  // "SCAN QuestIds", "SEARCH Answers USING INDEX AnswersQId (QId=?)", ...
};
struct Plan {
    std::vector<Step> steps;
    std::string error;
};
Plan QueryPlan(sqlite3* db, const std::string& sql);

// Each table that has indexes (lower case) with the first column of each.
using IndexedColumns = std::map<std::string, std::set<std::string>>;
IndexedColumns LeadingColumns(sqlite3* db);

// How a statement picks rows of a table by one of its columns, in a WHERE or
// ON clause: by comparing it with a value (a parameter, a number, a text, a
// list), and by comparing it with a column of another table (a join, or a
// subquery run for each row of the table outside it).
struct Picked {
    bool byValue = false;
    bool byOtherTable = false;
};
Picked PickedBy(const std::string& sql, const std::string& table, const std::string& column);

// The steps of the plan that read a table whole although an index of it could
// have found the rows: the table is picked by a value on the index's column,
// or by another table's column where the step runs once for each row of
// something else (an inner loop of a join, a correlated subquery). Each as
// "table.column: step".
std::vector<std::string> AvoidableScans(const std::string& sql, const Plan& plan, const IndexedColumns& indexed);

// The indexes the plan searches or scans with.
std::set<std::string> IndexesUsed(const Plan& plan);

}  // namespace plan_check
