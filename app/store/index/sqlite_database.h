// The one small class behind which the run index keeps SQLite's C API.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>

struct sqlite3;
struct sqlite3_stmt;

namespace lapdex {

// One prepared statement. Text is UTF-8. Columns and parameters count as SQLite counts them:
// parameters from 1, columns from 0. Owned by one thread at a time.
class SqliteStatement {
  public:
    SqliteStatement() = default;
    SqliteStatement(sqlite3* db, std::string_view sql);
    ~SqliteStatement();
    SqliteStatement(SqliteStatement&& other) noexcept;
    SqliteStatement& operator=(SqliteStatement&& other) noexcept;
    SqliteStatement(const SqliteStatement&) = delete;
    SqliteStatement& operator=(const SqliteStatement&) = delete;

    bool ok() const { return stmt_ != nullptr; }
    SqliteStatement& bind(int index, std::int64_t value);
    SqliteStatement& bind(int index, std::string_view text);
    SqliteStatement& bindNull(int index);
    // True while a row is available; false at the end or on an error (see failed()).
    bool step();
    bool failed() const { return failed_; }
    // Runs a statement that returns no rows; true on success. Resets it for the next use.
    bool run();
    void reset();

    std::int64_t integer(int column) const;
    std::string text(int column) const;
    bool isNull(int column) const;

  private:
    sqlite3_stmt* stmt_ = nullptr;
    bool failed_ = false;
};

enum class DatabaseOpen { Ok, Failed };

// A database connection in WAL mode. Not thread-safe: the owner serialises its calls.
class SqliteDatabase {
  public:
    SqliteDatabase() = default;
    ~SqliteDatabase();
    SqliteDatabase(const SqliteDatabase&) = delete;
    SqliteDatabase& operator=(const SqliteDatabase&) = delete;

    // Opens (creating) the file, sets WAL, NORMAL synchronous and a busy wait of `busyMs`.
    [[nodiscard]] DatabaseOpen open(const std::string& path, int busyMs = 3000);
    void close();
    bool isOpen() const { return db_ != nullptr; }

    // Runs one or more statements without results; true on success.
    bool exec(std::string_view sql);
    SqliteStatement prepare(std::string_view sql) const { return SqliteStatement(db_, sql); }
    // The statement of `sql`, prepared once per connection and reset for a fresh use; valid until
    // close(). For the statements that run once per file.
    SqliteStatement& cached(const std::string& sql);
    // The first column of the first row of a query as text; "" when there is none.
    std::string queryText(std::string_view sql) const;
    std::int64_t lastInsertId() const;
    std::string lastError() const;

  private:
    sqlite3* db_ = nullptr;
    std::unordered_map<std::string, SqliteStatement> statements_;
};

// Begins a transaction and rolls it back unless commit() succeeded.
class SqliteTransaction {
  public:
    explicit SqliteTransaction(SqliteDatabase& db) : db_(db), open_(db.exec("BEGIN IMMEDIATE")) {}
    ~SqliteTransaction() {
        if (open_) (void)db_.exec("ROLLBACK");
    }
    bool began() const { return open_; }
    bool commit() {
        if (!open_) return false;
        open_ = false;
        if (db_.exec("COMMIT")) return true;
        (void)db_.exec("ROLLBACK");
        return false;
    }

  private:
    SqliteDatabase& db_;
    bool open_;
};

}  // namespace lapdex
