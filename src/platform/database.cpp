#include "database.h"

#include <sqlite3.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <utility>

#include <unistd.h>

namespace plat {

namespace {

bool iequals(std::string_view a, std::string_view b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

bool isWordChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }

std::string trimmed(std::string_view s) {
    size_t b = 0, e = s.size();
    while (b < e && std::isspace(static_cast<unsigned char>(s[b]))) ++b;
    while (e > b && std::isspace(static_cast<unsigned char>(s[e - 1]))) --e;
    return std::string(s.substr(b, e - b));
}

// "#3/7/2026#" becomes '2026-03-07'; a time or any other text between the signs
// is kept as it stands.
std::string jetDateLiteral(std::string_view body) {
    std::string b = trimmed(body);
    int m = 0, d = 0, y = 0;
    char tail = 0;
    if (std::sscanf(b.c_str(), "%d/%d/%d%c", &m, &d, &y, &tail) == 3 && m >= 1 && m <= 12 &&
        d >= 1 && d <= 31) {
        if (y < 100) y += (y < 30 ? 2000 : 1900);
        char buf[32];
        std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", y, m, d);
        return std::string("'") + buf + "'";
    }
    std::string out = "'";
    for (char c : b) {
        if (c == '\'') out += '\'';
        out += c;
    }
    return out + "'";
}

}  // namespace

// ---------------------------------------------------------------- Value

long long Value::toInt() const {
    switch (kind_) {
    case Kind::Int: return i_;
    case Kind::Real: return static_cast<long long>(std::llround(d_));
    case Kind::Text: {
        std::string t = trimmed(s_);
        if (t.empty()) return 0;
        try {
            size_t used = 0;
            double v = std::stod(t, &used);
            return used == t.size() ? static_cast<long long>(std::llround(v)) : 0;
        } catch (...) {
            return 0;
        }
    }
    case Kind::Null: break;
    }
    return 0;
}

double Value::toDouble() const {
    switch (kind_) {
    case Kind::Int: return static_cast<double>(i_);
    case Kind::Real: return d_;
    case Kind::Text:
        try { return std::stod(s_); } catch (...) { return 0; }
    case Kind::Null: break;
    }
    return 0;
}

std::string Value::toString() const {
    switch (kind_) {
    case Kind::Int: return std::to_string(i_);
    case Kind::Real: {
        char buf[64];
        std::snprintf(buf, sizeof buf, "%.15g", d_);
        return buf;
    }
    case Kind::Text: return s_;
    case Kind::Null: break;
    }
    return {};
}

bool Value::operator==(const Value& o) const {
    if (kind_ != o.kind_) return false;
    switch (kind_) {
    case Kind::Int: return i_ == o.i_;
    case Kind::Real: return d_ == o.d_;
    case Kind::Text: return s_ == o.s_;
    case Kind::Null: return true;
    }
    return false;
}

// ---------------------------------------------------------------- DbError

DbError::DbError(const std::string& message, std::string sql, int code)
    : std::runtime_error(sql.empty() ? message : message + "\nStatement: " + sql),
      sql_(std::move(sql)), code_(code) {}

bool DbError::isReadOnly() const {
    int primary = code_ & 0xff;
    return primary == SQLITE_READONLY || primary == SQLITE_CANTOPEN || primary == SQLITE_PERM;
}

bool DbError::isMoved() const { return code_ == SQLITE_READONLY_DBMOVED; }

bool DbError::isBusy() const {
    int primary = code_ & 0xff;
    return primary == SQLITE_BUSY || primary == SQLITE_LOCKED;
}

// ---------------------------------------------------------------- Recordset

void Recordset::Move(long long n) {
    long long p = static_cast<long long>(pos_) + n;
    pos_ = (p < 0 || p >= static_cast<long long>(rows_.size())) ? rows_.size() : static_cast<size_t>(p);
}

const std::vector<Value>& Recordset::row() const {
    if (Eof()) throw DbError("No current record.", sql_);
    return rows_[pos_];
}

const Value& Recordset::Fields(std::string_view name) const {
    const auto& r = row();
    for (size_t i = 0; i < names_.size(); ++i)
        if (iequals(names_[i], name)) return r[i];
    throw DbError("Item not found in this collection: field " + std::string(name), sql_);
}

const Value& Recordset::Fields(int position) const {
    const auto& r = row();
    if (position < 0 || static_cast<size_t>(position) >= r.size())
        throw DbError("Item not found in this collection: field " + std::to_string(position), sql_);
    return r[position];
}

// ---------------------------------------------------------------- Database

struct Database::Stmt {
    sqlite3_stmt* s = nullptr;
    Stmt() = default;
    Stmt(Stmt&& o) noexcept : s(std::exchange(o.s, nullptr)) {}
    ~Stmt() { if (s) sqlite3_finalize(s); }
};

std::string Database::Translate(std::string_view jet) {
    std::string in = trimmed(jet);
    // "DELETE * from T" and "Delete QId from T" name what the Jet engine deletes
    // (whole rows either way); SQLite wants plain "DELETE FROM T".
    {
        size_t p = 0;
        auto skipWs = [&] { while (p < in.size() && std::isspace(static_cast<unsigned char>(in[p]))) ++p; };
        auto word = [&]() -> std::string {
            size_t b = p;
            while (p < in.size() && isWordChar(in[p])) ++p;
            return in.substr(b, p - b);
        };
        if (iequals(word(), "delete")) {
            size_t afterDelete = p;
            skipWs();
            size_t target = p;
            if (p < in.size() && in[p] == '*') ++p; else word();
            size_t afterTarget = p;
            skipWs();
            if (p > afterTarget && iequals(word(), "from") && afterTarget > target)
                in = "DELETE FROM" + in.substr(p);
            else
                p = afterDelete;
        }
    }

    std::string out;
    out.reserve(in.size() + 16);
    for (size_t i = 0; i < in.size();) {
        char c = in[i];
        if (c == '\'' || c == '"' || c == '[') {
            char close = c == '[' ? ']' : c;
            size_t j = i + 1;
            for (; j < in.size(); ++j) {
                if (in[j] == close) {
                    if (close != ']' && j + 1 < in.size() && in[j + 1] == close) { ++j; continue; }
                    break;
                }
            }
            out.append(in, i, std::min(j + 1, in.size()) - i);
            i = j + 1;
        } else if (c == '#') {
            size_t j = in.find('#', i + 1);
            if (j == std::string::npos) { out += in.substr(i); break; }
            out += jetDateLiteral(std::string_view(in).substr(i + 1, j - i - 1));
            i = j + 1;
        } else if (isWordChar(c)) {
            size_t j = i;
            while (j < in.size() && isWordChar(in[j])) ++j;
            std::string_view w(in.data() + i, j - i);
            if (iequals(w, "index")) out += "\"Index\"";
            else if (iequals(w, "true")) out += "1";
            else if (iequals(w, "false")) out += "0";
            else out += w;
            i = j;
        } else {
            out += c;
            ++i;
        }
    }
    return out;
}

namespace {
sqlite3* openHandle(const std::string& name, int flags) {
    sqlite3* db = nullptr;
    int rc = sqlite3_open_v2(name.c_str(), &db, flags, nullptr);
    if (rc != SQLITE_OK) {
        std::string msg = db ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
        sqlite3_close(db);
        throw DbError("Cannot open the database file " + name + ": " + msg, "", rc);
    }
    // Extended codes tell a moved file or a read-only folder from a read-only file.
    sqlite3_extended_result_codes(db, 1);
    sqlite3_busy_timeout(db, Database::kBusyTimeoutMs);
    return db;
}

// The file as a URI that opens it read-only and promises SQLite that nothing
// changes it, so that it needs no lock file beside it.
std::string immutableUri(const std::filesystem::path& file) {
    std::string uri = "file:";
    const std::string path = std::filesystem::absolute(file).string();
    for (unsigned char c : path) {
        if (std::isalnum(c) || c == '/' || c == '-' || c == '.' || c == '_' || c == '~') {
            uri += static_cast<char>(c);
        } else {
            char buf[4];
            std::snprintf(buf, sizeof buf, "%%%02X", c);
            uri += buf;
        }
    }
    return uri + "?immutable=1";
}

// Reading the catalogue proves the file is a database that can be read.
int readCatalogue(sqlite3* db) {
    return sqlite3_exec(db, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr);
}

bool isWriteFailure(int code) {
    int primary = code & 0xff;
    return primary == SQLITE_READONLY || primary == SQLITE_CANTOPEN || primary == SQLITE_PERM;
}

bool writable(const std::filesystem::path& p) { return ::access(p.c_str(), W_OK) == 0; }

std::filesystem::path folderOf(const std::filesystem::path& file) {
    return file.has_parent_path() ? file.parent_path() : std::filesystem::path(".");
}
}  // namespace

std::vector<std::filesystem::path> Database::CompanionFiles(const std::filesystem::path& file) {
    std::vector<std::filesystem::path> v;
    for (const char* suffix : {"-wal", "-shm", "-journal"}) {
        std::filesystem::path p = file;
        p += suffix;
        v.push_back(p);
    }
    return v;
}

Database Database::Open(const std::filesystem::path& file) {
    std::error_code ec;
    if (!std::filesystem::exists(file, ec))
        throw DbError("The database file " + file.string() + " is missing.", "", SQLITE_CANTOPEN);
    if (std::filesystem::is_directory(file, ec))
        throw DbError("The database path " + file.string() + " is a folder, not a database file.", "",
                      SQLITE_CANTOPEN);
    if (std::filesystem::file_size(file, ec) == 0 || ec)
        throw DbError("The database file " + file.string() + " is empty.", "", SQLITE_NOTADB);
    Database db(openHandle(file.string(), SQLITE_OPEN_READWRITE), file);
    int rc = readCatalogue(db.db_);
    // A database left in write-ahead mode by an earlier run, in a folder that has
    // since become read-only, cannot even be read: SQLite must create its shared
    // index beside it. With no log left over, the file alone holds every commit,
    // so it is opened read-only as a file that nothing changes; writes are then
    // refused with the message that names the read-only folder.
    if (rc != SQLITE_OK && isWriteFailure(rc) && !std::filesystem::exists(CompanionFiles(file)[0], ec)) {
        db = Database(openHandle(immutableUri(file), SQLITE_OPEN_READONLY | SQLITE_OPEN_URI), file);
        rc = readCatalogue(db.db_);
    }
    if (rc != SQLITE_OK) {
        const int primary = rc & 0xff;
        std::string why = isWriteFailure(rc)
                              ? WriteFailure(file, writable(file), writable(folderOf(file))) + ", so it cannot be read"
                          : primary == SQLITE_BUSY || primary == SQLITE_LOCKED
                              ? BusyFailure(file)
                              : "The database file " + file.string() + " cannot be read";
        throw DbError(why + ": " + sqlite3_errmsg(db.db_), "", rc);
    }
    db.useWriteAheadLog();
    return db;
}

void Database::useWriteAheadLog() {
    // Left as it is when the file or its folder cannot be written, or when another
    // connection keeps it in rollback mode: the database works either way.
    if (!sqlite3_db_readonly(db_, "main"))
        sqlite3_exec(db_, "PRAGMA journal_mode = WAL", nullptr, nullptr, nullptr);
    // In write-ahead mode FULL syncs the log at every commit: a committed answer
    // survives a power cut, not only a crash of the program.
    sqlite3_exec(db_, "PRAGMA synchronous = FULL", nullptr, nullptr, nullptr);
}

void Database::Checkpoint() {
    if (transDepth_ == 0) sqlite3_wal_checkpoint_v2(db_, "main", SQLITE_CHECKPOINT_PASSIVE, nullptr, nullptr);
}

std::string Database::JournalMode() { return Scalar("PRAGMA journal_mode").toString(); }

Database Database::Create(const std::filesystem::path& file) {
    return Database(openHandle(file.string(), SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE), file);
}

Database::Database(Database&& o) noexcept
    : db_(std::exchange(o.db_, nullptr)), file_(std::move(o.file_)), transDepth_(std::exchange(o.transDepth_, 0)) {}

Database& Database::operator=(Database&& o) noexcept {
    if (this != &o) {
        if (db_) sqlite3_close(db_);
        db_ = std::exchange(o.db_, nullptr);
        file_ = std::move(o.file_);
        transDepth_ = std::exchange(o.transDepth_, 0);
    }
    return *this;
}

Database::~Database() {
    if (db_) sqlite3_close(db_);
}

void Database::fail(const std::string& sql, int code) const {
    std::string msg = sqlite3_errmsg(db_);
    int primary = code & 0xff;
    if (code == SQLITE_READONLY_DBMOVED) {
        msg = MovedFailure(file_) + ": " + msg;
    } else if (isWriteFailure(code)) {
        msg = WriteFailure(file_, writable(file_), writable(folderOf(file_))) + ": " + msg;
    } else if (primary == SQLITE_BUSY || primary == SQLITE_LOCKED) {
        msg = BusyFailure(file_) + ": " + msg;
    }
    throw DbError(msg, sql, code);
}

std::string Database::MovedFailure(const std::filesystem::path& file) {
    return "The database file " + file.string() +
           " was moved or deleted while the program was running, so nothing more can be saved to it";
}

std::string Database::BusyFailure(const std::filesystem::path& file) {
    return "The database " + file.string() + " is locked by another program that is writing to it (waited " +
           std::to_string(kBusyTimeoutMs / 1000) + " seconds)";
}

// In write-ahead mode SQLite goes on writing into a log beside a path where the
// file no longer is, and every later commit would be lost; in rollback mode it
// refuses with the moved code. Both now refuse, before the statement runs.
void Database::refuseIfMoved(std::string_view sql) const {
    int moved = 0;
    if (sqlite3_file_control(db_, "main", SQLITE_FCNTL_HAS_MOVED, &moved) == SQLITE_OK && moved)
        throw DbError(MovedFailure(file_), std::string(sql), SQLITE_READONLY_DBMOVED);
}

std::string Database::WriteFailure(const std::filesystem::path& file, bool fileWritable, bool folderWritable) {
    if (!fileWritable) return "The database file " + file.string() + " is read-only";
    if (!folderWritable)
        return "The program folder " + file.parent_path().string() + " is read-only, so the database " +
               file.string() + " cannot keep its journal there";
    return "The database " + file.string() + " cannot be written";
}

Database::Stmt Database::prepare(std::string_view sql, const Value* params, size_t n,
                                 std::string& translated) {
    translated = Translate(sql);
    Stmt st;
    int rc = sqlite3_prepare_v2(db_, translated.c_str(), -1, &st.s, nullptr);
    if (rc != SQLITE_OK) fail(std::string(sql), rc);
    if (!st.s) throw DbError("Empty statement", std::string(sql));
    // Inside a transaction the check was made when it began and is made again
    // before it commits; nothing it writes reaches the file in between.
    if (transDepth_ == 0 && !sqlite3_stmt_readonly(st.s)) refuseIfMoved(sql);
    int expected = sqlite3_bind_parameter_count(st.s);
    if (static_cast<size_t>(expected) != n)
        throw DbError("Statement expects " + std::to_string(expected) + " values, got " +
                          std::to_string(n), std::string(sql));
    for (size_t i = 0; i < n; ++i) {
        const Value& v = params[i];
        int idx = static_cast<int>(i) + 1;
        switch (v.kind()) {
        case Value::Kind::Null: rc = sqlite3_bind_null(st.s, idx); break;
        case Value::Kind::Int: rc = sqlite3_bind_int64(st.s, idx, v.toInt()); break;
        case Value::Kind::Real: rc = sqlite3_bind_double(st.s, idx, v.toDouble()); break;
        case Value::Kind::Text: {
            std::string s = v.toString();
            rc = sqlite3_bind_text(st.s, idx, s.data(), static_cast<int>(s.size()), SQLITE_TRANSIENT);
            break;
        }
        }
        if (rc != SQLITE_OK) fail(std::string(sql), rc);
    }
    return st;
}

void Database::execute(std::string_view sql, const Value* params, size_t n) {
    std::string translated;
    Stmt st = prepare(sql, params, n, translated);
    int rc;
    while ((rc = sqlite3_step(st.s)) == SQLITE_ROW) {}
    if (rc != SQLITE_DONE) fail(std::string(sql), rc);
}

Recordset Database::query(std::string_view sql, const Value* params, size_t n) {
    std::string translated;
    Stmt st = prepare(sql, params, n, translated);
    Recordset rs;
    rs.sql_ = std::string(sql);
    int cols = sqlite3_column_count(st.s);
    std::vector<bool> flag(cols, false);
    for (int c = 0; c < cols; ++c) {
        const char* name = sqlite3_column_name(st.s, c);
        rs.names_.push_back(name ? name : "");
        const char* decl = sqlite3_column_decltype(st.s, c);
        flag[c] = decl && iequals(decl, "YESNO");
    }
    int rc;
    while ((rc = sqlite3_step(st.s)) == SQLITE_ROW) {
        std::vector<Value> row;
        row.reserve(cols);
        for (int c = 0; c < cols; ++c) {
            switch (sqlite3_column_type(st.s, c)) {
            case SQLITE_INTEGER: {
                long long v = sqlite3_column_int64(st.s, c);
                row.emplace_back(flag[c] && v != 0 ? -1LL : v);
                break;
            }
            case SQLITE_FLOAT: row.emplace_back(sqlite3_column_double(st.s, c)); break;
            case SQLITE_NULL: row.emplace_back(); break;
            default: {
                const unsigned char* t = sqlite3_column_text(st.s, c);
                int len = sqlite3_column_bytes(st.s, c);
                row.emplace_back(std::string(reinterpret_cast<const char*>(t), len));
            }
            }
        }
        rs.rows_.push_back(std::move(row));
    }
    if (rc != SQLITE_DONE) fail(std::string(sql), rc);
    return rs;
}

void Database::Execute(std::string_view sql, Params params) { execute(sql, params.begin(), params.size()); }
void Database::Execute(std::string_view sql, const std::vector<Value>& params) {
    execute(sql, params.data(), params.size());
}
Recordset Database::OpenRecordset(std::string_view sql, Params params) {
    return query(sql, params.begin(), params.size());
}
Recordset Database::OpenRecordset(std::string_view sql, const std::vector<Value>& params) {
    return query(sql, params.data(), params.size());
}

Value Database::Scalar(std::string_view sql, Params params) {
    Recordset rs = query(sql, params.begin(), params.size());
    if (rs.Eof()) throw DbError("No current record.", std::string(sql));
    return rs.Fields(0);
}

void Database::ExecScript(const std::string& script) {
    char* err = nullptr;
    int rc = sqlite3_exec(db_, script.c_str(), nullptr, nullptr, &err);
    if (rc != SQLITE_OK) {
        std::string msg = err ? err : sqlite3_errstr(rc);
        sqlite3_free(err);
        throw DbError(msg, "(script)", rc);
    }
}

bool Database::TableExists(std::string_view table) {
    return Scalar("SELECT count(*) FROM sqlite_master WHERE type = 'table' AND name = ? COLLATE NOCASE",
                  {std::string(table)}).toInt() > 0;
}

long long Database::RecordsAffected() const { return sqlite3_changes64(db_); }

// A transaction begun inside another is a savepoint of it: the inner one can be
// undone alone, and nothing reaches the file before the outer one commits.
// The outer one takes the write lock at once: a transaction that read first and
// wrote later would otherwise fail without waiting when another connection
// committed in between.
void Database::BeginTrans() {
    const char* begin = sqlite3_db_readonly(db_, "main") == 1 ? "BEGIN" : "BEGIN IMMEDIATE";
    if (transDepth_ == 0) refuseIfMoved(begin);
    execute(transDepth_ == 0 ? std::string(begin) : "SAVEPOINT pemu" + std::to_string(transDepth_), nullptr, 0);
    ++transDepth_;
}

void Database::CommitTrans() {
    if (transDepth_ == 0) throw DbError("There is no transaction to commit.", "COMMIT");
    const int inner = transDepth_ - 1;
    if (inner == 0) refuseIfMoved("COMMIT");
    // A commit that fails leaves the transaction open, for a rollback to end.
    execute(inner == 0 ? std::string("COMMIT") : "RELEASE pemu" + std::to_string(inner), nullptr, 0);
    transDepth_ = inner;
}

void Database::Rollback() {
    if (transDepth_ == 0) throw DbError("There is no transaction to roll back.", "ROLLBACK");
    --transDepth_;
    if (transDepth_ == 0) {
        execute("ROLLBACK", nullptr, 0);
        return;
    }
    const std::string sp = "pemu" + std::to_string(transDepth_);
    execute("ROLLBACK TO " + sp, nullptr, 0);
    execute("RELEASE " + sp, nullptr, 0);
}

}  // namespace plat
