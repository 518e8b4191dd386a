#include "plan_check.h"

#include <algorithm>
#include <cctype>
#include <regex>

namespace plan_check {

namespace {

std::string Lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

std::string FirstWord(const std::string& sql) {
    size_t i = 0;
    while (i < sql.size() && std::isspace(static_cast<unsigned char>(sql[i]))) ++i;
    size_t j = i;
    while (j < sql.size() && std::isalpha(static_cast<unsigned char>(sql[j]))) ++j;
    return Lower(sql.substr(i, j - i));
}

// A statement split into what matters here: names (bare or quoted, in lower
// case), values, operators and punctuation.
struct Token {
    enum Kind { Name, Value, Op, Punct } kind;
    std::string text;
};

std::vector<Token> Tokens(const std::string& sql) {
    std::vector<Token> out;
    const size_t n = sql.size();
    for (size_t i = 0; i < n;) {
        const unsigned char c = static_cast<unsigned char>(sql[i]);
        if (std::isspace(c)) {
            ++i;
        } else if (std::isalpha(c) || c == '_') {
            size_t j = i;
            while (j < n && (std::isalnum(static_cast<unsigned char>(sql[j])) || sql[j] == '_')) ++j;
            out.push_back({Token::Name, Lower(sql.substr(i, j - i))});
            i = j;
        } else if (c == '"' || c == '[' || c == '`') {
            const char close = c == '[' ? ']' : static_cast<char>(c);
            const size_t j = sql.find(close, i + 1);
            const size_t end = j == std::string::npos ? n : j;
            out.push_back({Token::Name, Lower(sql.substr(i + 1, end - i - 1))});
            i = end + 1;
        } else if (c == '\'') {
            size_t j = i + 1;
            while (j < n && !(sql[j] == '\'' && (j + 1 >= n || sql[j + 1] != '\''))) j += sql[j] == '\'' ? 2 : 1;
            out.push_back({Token::Value, "'"});
            i = j + 1;
        } else if (std::isdigit(c) || c == '?' || c == ':' || c == '@' || c == '$') {
            size_t j = i + 1;
            while (j < n && (std::isalnum(static_cast<unsigned char>(sql[j])) || sql[j] == '.' || sql[j] == '_')) ++j;
            out.push_back({Token::Value, sql.substr(i, j - i)});
            i = j;
        } else if (c == '=' || c == '<' || c == '>' || c == '!') {
            size_t j = i + 1;
            while (j < n && (sql[j] == '=' || sql[j] == '<' || sql[j] == '>')) ++j;
            out.push_back({Token::Op, sql.substr(i, j - i)});
            i = j;
        } else {
            out.push_back({Token::Punct, std::string(1, static_cast<char>(c))});
            ++i;
        }
    }
    return out;
}

bool IsName(const std::vector<Token>& t, size_t i, const char* text) {
    return i < t.size() && t[i].kind == Token::Name && t[i].text == text;
}

bool IsPunct(const std::vector<Token>& t, size_t i, const char* text) {
    return i < t.size() && t[i].kind == Token::Punct && t[i].text == text;
}

// A comparison that can pick rows through an index: equal, less or greater,
// IN, IS (a "not equal" or NOT IN reads every row anyway).
bool IsPicking(const std::vector<Token>& t, size_t i) {
    if (i >= t.size()) return false;
    if (t[i].kind == Token::Op) return t[i].text != "<>" && t[i].text != "!=";
    if (IsName(t, i, "in")) return !(i > 0 && IsName(t, i - 1, "not"));
    if (IsName(t, i, "is")) return !IsName(t, i + 1, "not");
    return false;
}

// Names that end an operand of a comparison, and names that are no column.
const std::set<std::string> kOperandEnds = {"and",   "or",   "where",  "on",    "not",   "when", "then",
                                            "else",  "end",  "order",  "group", "limit", "having",
                                            "union", "set",  "select", "from",  "by"};
const std::set<std::string> kNoColumn = {"null",    "collate", "nocase", "binary", "rtrim", "cast",  "as",
                                         "integer", "text",    "real",   "numeric", "true", "false", "escape"};

// The column references of the operand [from, to): (qualifier or "", column).
std::vector<std::pair<std::string, std::string>> ColumnsIn(const std::vector<Token>& t, size_t from, size_t to) {
    std::vector<std::pair<std::string, std::string>> refs;
    for (size_t i = from; i < to; ++i) {
        if (t[i].kind != Token::Name || kNoColumn.count(t[i].text) || IsPunct(t, i + 1, "(")) continue;
        if (IsPunct(t, i + 1, ".")) continue;  // a qualifier: its column follows
        const bool qualified = i >= from + 2 && IsPunct(t, i - 1, ".");
        refs.emplace_back(qualified ? t[i - 2].text : std::string(), t[i].text);
    }
    return refs;
}

// The operand left of the comparison at `op` begins at the returned index;
// the right one ends there (exclusive). Operands stop at AND, OR, a comma,
// another comparison or a parenthesis that encloses the comparison.
size_t OperandStart(const std::vector<Token>& t, size_t op) {
    int depth = 0;
    size_t i = op;
    while (i > 0) {
        const Token& k = t[i - 1];
        if (k.kind == Token::Punct && k.text == ")") ++depth;
        else if (k.kind == Token::Punct && k.text == "(") {
            if (depth == 0) break;
            --depth;
        } else if (depth == 0 && (k.kind == Token::Op || (k.kind == Token::Punct && k.text == ",") ||
                                  (k.kind == Token::Name && kOperandEnds.count(k.text))))
            break;
        --i;
    }
    return i;
}

size_t OperandEnd(const std::vector<Token>& t, size_t op) {
    int depth = 0;
    size_t i = op + 1;
    for (; i < t.size(); ++i) {
        const Token& k = t[i];
        if (k.kind == Token::Punct && k.text == "(") ++depth;
        else if (k.kind == Token::Punct && k.text == ")") {
            if (depth == 0) break;
            --depth;
        } else if (depth == 0 && (k.kind == Token::Op || (k.kind == Token::Punct && k.text == ",") ||
                                  (k.kind == Token::Name && kOperandEnds.count(k.text))))
            break;
    }
    return i;
}

const std::set<std::string> kNotAliases = {"where", "on",    "inner", "left",  "join",  "order", "group", "set",
                                           "limit", "values", "cross", "natural", "using", "union", "as"};

// The table each name in the statement stands for: its own name, and aliases.
std::map<std::string, std::string> NamesOfTables(const std::vector<Token>& t) {
    std::map<std::string, std::string> names;
    for (size_t i = 0; i + 1 < t.size(); ++i) {
        if (!(IsName(t, i, "from") || IsName(t, i, "join") || IsName(t, i, "update") || IsName(t, i, "into")))
            continue;
        if (t[i + 1].kind != Token::Name) continue;
        const std::string table = t[i + 1].text;
        names[table] = table;
        size_t a = i + 2;
        if (IsName(t, a, "as")) ++a;
        if (a < t.size() && t[a].kind == Token::Name && !kNotAliases.count(t[a].text)) names[t[a].text] = table;
    }
    return names;
}

}  // namespace

StatementLog::StatementLog(sqlite3* db) : db_(db) { sqlite3_trace_v2(db_, SQLITE_TRACE_STMT, &OnTrace, this); }

StatementLog::~StatementLog() { sqlite3_trace_v2(db_, 0, nullptr, nullptr); }

int StatementLog::OnTrace(unsigned type, void* self, void* stmt, void* text) {
    if (type != SQLITE_TRACE_STMT) return 0;
    auto* log = static_cast<StatementLog*>(self);
    // A trigger's statements come as comments: the statement that fired it is recorded.
    if (static_cast<const char*>(text)[0] == '-') return 0;
    const char* sql = sqlite3_sql(static_cast<sqlite3_stmt*>(stmt));
    if (!sql) return 0;
    static const std::set<std::string> kSteering = {"begin",   "commit", "end",   "rollback", "savepoint",
                                                   "release", "pragma", "create", "drop",     "alter"};
    if (kSteering.count(FirstWord(sql))) return 0;
    if (log->seen_.insert(sql).second) log->order_.push_back(sql);
    return 0;
}

Plan QueryPlan(sqlite3* db, const std::string& sql) {
    Plan p;
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db, ("EXPLAIN QUERY PLAN " + sql).c_str(), -1, &st, nullptr) != SQLITE_OK) {
        p.error = sqlite3_errmsg(db);
        sqlite3_finalize(st);
        return p;
    }
    while (sqlite3_step(st) == SQLITE_ROW) {
        const unsigned char* detail = sqlite3_column_text(st, 3);
        p.steps.push_back({sqlite3_column_int(st, 0), sqlite3_column_int(st, 1),
                           detail ? reinterpret_cast<const char*>(detail) : ""});
    }
    sqlite3_finalize(st);
    return p;
}

IndexedColumns LeadingColumns(sqlite3* db) {
    IndexedColumns out;
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db,
                       "SELECT lower(m.name), lower(c.name) FROM sqlite_master AS m, pragma_index_list(m.name) AS l, "
                       "pragma_index_info(l.name) AS c WHERE m.type = 'table' AND c.seqno = 0",
                       -1, &st, nullptr);
    while (sqlite3_step(st) == SQLITE_ROW)
        out[reinterpret_cast<const char*>(sqlite3_column_text(st, 0))].insert(
            reinterpret_cast<const char*>(sqlite3_column_text(st, 1)));
    sqlite3_finalize(st);
    return out;
}

Picked PickedBy(const std::string& sql, const std::string& table, const std::string& column) {
    const std::vector<Token> t = Tokens(sql);
    std::set<std::string> own = {""};  // the names that stand for the table, and none
    for (const auto& [name, of] : NamesOfTables(t))
        if (of == table) own.insert(name);
    // Only the column itself, however wrapped, on one side.
    auto onlyTheColumn = [&](const std::vector<std::pair<std::string, std::string>>& refs) {
        if (refs.empty()) return false;
        for (const auto& [qualifier, name] : refs)
            if (name != column || !own.count(qualifier)) return false;
        return true;
    };
    // Columns of other tables only, each named with its table.
    auto othersOnly = [&](const std::vector<std::pair<std::string, std::string>>& refs) {
        if (refs.empty()) return false;
        for (const auto& [qualifier, name] : refs)
            if (own.count(qualifier)) return false;
        return true;
    };
    Picked p;
    size_t from = 0;
    while (from < t.size() && !IsName(t, from, "where") && !IsName(t, from, "on")) ++from;
    for (size_t op = from; op < t.size(); ++op) {
        if (!IsPicking(t, op)) continue;
        const auto l = ColumnsIn(t, OperandStart(t, op), op);
        if (IsName(t, op, "in") && IsPunct(t, op + 1, "(")) {
            p.byValue = p.byValue || onlyTheColumn(l);  // a list or a subquery of values
            continue;
        }
        const auto r = ColumnsIn(t, op + 1, OperandEnd(t, op));
        if ((onlyTheColumn(l) && r.empty()) || (onlyTheColumn(r) && l.empty())) p.byValue = true;
        if ((onlyTheColumn(l) && othersOnly(r)) || (onlyTheColumn(r) && othersOnly(l))) p.byOtherTable = true;
    }
    return p;
}

std::vector<std::string> AvoidableScans(const std::string& sql, const Plan& plan, const IndexedColumns& indexed) {
    const std::map<std::string, std::string> names = NamesOfTables(Tokens(sql));
    static const std::regex scan("^SCAN (\\S+)");
    static const std::regex automatic("^SEARCH (\\S+) USING AUTOMATIC");
    std::vector<std::string> out;
    for (const Step& step : plan.steps) {
        std::smatch m;
        if (!std::regex_search(step.detail, m, scan) && !std::regex_search(step.detail, m, automatic)) continue;
        const std::string name = Lower(m[1].str());
        const auto named = names.find(name);
        const std::string table = named == names.end() ? name : named->second;
        const auto it = indexed.find(table);
        if (it == indexed.end()) continue;
        // Run once for each row of something else: a loop inside another at
        // its level, or a step of a correlated subquery.
        bool inner = false;
        for (const Step& s : plan.steps) {
            if (s.id == step.parent && s.detail.rfind("CORRELATED", 0) == 0) inner = true;
            if (s.parent == step.parent && s.id < step.id &&
                (s.detail.rfind("SCAN", 0) == 0 || s.detail.rfind("SEARCH", 0) == 0))
                inner = true;
        }
        for (const std::string& column : it->second) {
            const Picked p = PickedBy(sql, table, column);
            if (p.byValue || (p.byOtherTable && inner)) out.push_back(table + "." + column + ": " + step.detail);
        }
    }
    return out;
}

std::set<std::string> IndexesUsed(const Plan& plan) {
    std::set<std::string> out;
    static const std::regex index("USING (?:COVERING )?INDEX (\\w+)");
    for (const Step& step : plan.steps)
        for (std::sregex_iterator it(step.detail.begin(), step.detail.end(), index), end; it != end; ++it)
            out.insert((*it)[1].str());
    return out;
}

}  // namespace plan_check
