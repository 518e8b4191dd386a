// The program's data layer: one SQLite connection that speaks the Jet forms the
// windows use, with every value bound as a parameter.
#pragma once

#include <cstdint>
#include <filesystem>
#include <initializer_list>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

struct sqlite3;

namespace plat {

// One field value as a query returns it (or as a statement binds it).
class Value {
public:
    enum class Kind { Null, Int, Real, Text };

    Value() = default;
    Value(int v) : kind_(Kind::Int), i_(v) {}
    Value(long v) : kind_(Kind::Int), i_(v) {}
    Value(long long v) : kind_(Kind::Int), i_(v) {}
    Value(double v) : kind_(Kind::Real), d_(v) {}
    Value(std::string v) : kind_(Kind::Text), s_(std::move(v)) {}
    Value(std::string_view v) : kind_(Kind::Text), s_(v) {}
    Value(const char* v) : kind_(Kind::Text), s_(v) {}
    // A flag written from a Boolean stores 1 or 0 and reads back -1 or 0.
    static Value Flag(bool b) { return Value(b ? 1 : 0); }

    Kind kind() const { return kind_; }
    bool isNull() const { return kind_ == Kind::Null; }
    long long toInt() const;       // text is parsed; null and unreadable text give 0
    double toDouble() const;
    std::string toString() const;  // null gives ""
    bool toBool() const { return toInt() != 0; }

    bool operator==(const Value& o) const;

private:
    Kind kind_ = Kind::Null;
    long long i_ = 0;
    double d_ = 0;
    std::string s_;
};

using Params = std::initializer_list<Value>;

class DbError : public std::runtime_error {
public:
    DbError(const std::string& message, std::string sql, int code = 0);
    const std::string& sql() const { return sql_; }
    int code() const { return code_; }
    // The statement failed because the database or its folder cannot be written
    // (or the file was moved or deleted under the open connection).
    bool isReadOnly() const;
    // The database file was moved or deleted while the connection was open.
    bool isMoved() const;
    // Another connection held the lock the statement needed for longer than the
    // connection waits.
    bool isBusy() const;

private:
    std::string sql_;
    int code_;
};

// A query's rows, read whole when the query runs, with a current-row cursor.
class Recordset {
public:
    Recordset() = default;

    bool Eof() const { return closed_ || pos_ >= rows_.size(); }
    void MoveFirst() { pos_ = 0; }
    void MoveNext() { if (pos_ < rows_.size()) ++pos_; }
    void MoveLast() { pos_ = rows_.empty() ? 0 : rows_.size() - 1; }
    // Moves n rows from the current one; past either end leaves the cursor at Eof.
    void Move(long long n);
    long long RecordCount() const { return closed_ ? 0 : static_cast<long long>(rows_.size()); }
    int FieldCount() const { return static_cast<int>(names_.size()); }

    // Fields of the current row, by column name in any letter case or by position.
    const Value& Fields(std::string_view name) const;
    const Value& Fields(int position) const;
    const Value& operator[](std::string_view name) const { return Fields(name); }

    void Close() { closed_ = true; rows_.clear(); }

private:
    friend class Database;
    const std::vector<Value>& row() const;
    std::string sql_;
    std::vector<std::string> names_;
    std::vector<std::vector<Value>> rows_;
    size_t pos_ = 0;
    bool closed_ = false;
};

class Database {
public:
    // Opens an existing database file for reading and writing. Never creates one:
    // a missing, empty or unreadable file raises DbError naming the file.
    // Commits go through a write-ahead log synced at every commit, so a committed
    // change is on disk at the cost of one flush. Where the log cannot be kept (a
    // read-only file or folder) the database opens as before, readable, and a
    // write raises DbError naming what is read-only.
    static Database Open(const std::filesystem::path& file);
    // Creates a new, empty database file (for the build tool and tests).
    static Database Create(const std::filesystem::path& file);
    // The files SQLite keeps beside a database while it is open or after a crash
    // (the write-ahead log, its shared index, the rollback journal). A database
    // put in place of another must not meet the old one's.
    static std::vector<std::filesystem::path> CompanionFiles(const std::filesystem::path& file);
    // How long a statement waits for another connection's lock before failing.
    static constexpr int kBusyTimeoutMs = 2000;

    Database(Database&&) noexcept;
    Database& operator=(Database&&) noexcept;
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;
    ~Database();

    // Runs a change. '?' marks stand for the params, in order.
    void Execute(std::string_view sql, Params params = {});
    void Execute(std::string_view sql, const std::vector<Value>& params);
    // Runs a query and reads all its rows.
    Recordset OpenRecordset(std::string_view sql, Params params = {});
    Recordset OpenRecordset(std::string_view sql, const std::vector<Value>& params);
    // First column of the first row; a query that returns no row raises DbError.
    Value Scalar(std::string_view sql, Params params = {});
    // Runs a script of plain SQLite statements (schema files), untranslated.
    void ExecScript(const std::string& script);

    bool TableExists(std::string_view table);
    long long RecordsAffected() const;

    // Transactions nest: an inner one is a savepoint of the outer.
    void BeginTrans();
    void CommitTrans();
    void Rollback();

    const std::filesystem::path& file() const { return file_; }
    sqlite3* handle() const { return db_; }

    // Why a write failed, from whether the file and its folder can be written.
    static std::string WriteFailure(const std::filesystem::path& file, bool fileWritable, bool folderWritable);
    // Why writing stopped: the file was moved or deleted under the connection, or
    // another connection held the lock for longer than the connection waits.
    static std::string MovedFailure(const std::filesystem::path& file);
    static std::string BusyFailure(const std::filesystem::path& file);
    // Copies what the write-ahead log holds into the database file itself, as
    // far as no other connection still reads it, without waiting for anyone:
    // so that the database file alone, copied by someone backing it up or left
    // without its log, holds the changes made so far. Quiet: what it cannot
    // copy now a later checkpoint does.
    void Checkpoint();
    // The journal mode in use ("wal", or "delete" where the log cannot be kept).
    std::string JournalMode();

    // The Jet forms the program writes, rewritten for SQLite.
    static std::string Translate(std::string_view jet);

private:
    Database(sqlite3* db, std::filesystem::path file) : db_(db), file_(std::move(file)) {}
    struct Stmt;
    Stmt prepare(std::string_view sql, const Value* params, size_t n, std::string& translated);
    void execute(std::string_view sql, const Value* params, size_t n);
    Recordset query(std::string_view sql, const Value* params, size_t n);
    [[noreturn]] void fail(const std::string& sql, int code) const;
    // Raises DbError when the file this connection opened is no longer at its path.
    void refuseIfMoved(std::string_view sql) const;
    void useWriteAheadLog();

    sqlite3* db_ = nullptr;
    std::filesystem::path file_;
    int transDepth_ = 0;
};

// Commits on Commit(), rolls back if destroyed before it.
class Transaction {
public:
    explicit Transaction(Database& db) : db_(db) { db_.BeginTrans(); }
    ~Transaction() { if (!done_) { try { db_.Rollback(); } catch (...) {} } }
    void Commit() { db_.CommitTrans(); done_ = true; }
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

private:
    Database& db_;
    bool done_ = false;
};

}  // namespace plat
