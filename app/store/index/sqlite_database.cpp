// The run index's SQLite connection and statements.
#include "sqlite_database.h"

#include <sqlite3.h>

#include <utility>

namespace lapdex {

SqliteStatement::SqliteStatement(sqlite3* db, std::string_view sql) {
    if (db == nullptr) return;
    if (sqlite3_prepare_v2(db, sql.data(), static_cast<int>(sql.size()), &stmt_, nullptr) !=
        SQLITE_OK) {
        sqlite3_finalize(stmt_);
        stmt_ = nullptr;
        failed_ = true;
    }
}

SqliteStatement::~SqliteStatement() {
    sqlite3_finalize(stmt_);
}

SqliteStatement::SqliteStatement(SqliteStatement&& other) noexcept
    : stmt_(std::exchange(other.stmt_, nullptr)), failed_(other.failed_) {}

SqliteStatement& SqliteStatement::operator=(SqliteStatement&& other) noexcept {
    if (this != &other) {
        sqlite3_finalize(stmt_);
        stmt_ = std::exchange(other.stmt_, nullptr);
        failed_ = other.failed_;
    }
    return *this;
}

SqliteStatement& SqliteStatement::bind(int index, std::int64_t value) {
    if (stmt_ != nullptr && sqlite3_bind_int64(stmt_, index, value) != SQLITE_OK) failed_ = true;
    return *this;
}

SqliteStatement& SqliteStatement::bind(int index, std::string_view text) {
    if (stmt_ != nullptr &&
        sqlite3_bind_text(stmt_, index, text.data(), static_cast<int>(text.size()),
                          SQLITE_TRANSIENT) != SQLITE_OK) {
        failed_ = true;
    }
    return *this;
}

SqliteStatement& SqliteStatement::bindNull(int index) {
    if (stmt_ != nullptr && sqlite3_bind_null(stmt_, index) != SQLITE_OK) failed_ = true;
    return *this;
}

bool SqliteStatement::step() {
    if (stmt_ == nullptr || failed_) return false;
    const int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW) return true;
    if (rc != SQLITE_DONE) failed_ = true;
    return false;
}

bool SqliteStatement::run() {
    (void)step();
    const bool succeeded = stmt_ != nullptr && !failed_;
    reset();
    return succeeded;
}

void SqliteStatement::reset() {
    if (stmt_ == nullptr) return;
    sqlite3_reset(stmt_);
    sqlite3_clear_bindings(stmt_);
    failed_ = false;
}

std::int64_t SqliteStatement::integer(int column) const {
    return sqlite3_column_int64(stmt_, column);
}

std::string SqliteStatement::text(int column) const {
    const unsigned char* text = sqlite3_column_text(stmt_, column);
    if (text == nullptr) return {};
    return std::string(reinterpret_cast<const char*>(text),
                       static_cast<std::size_t>(sqlite3_column_bytes(stmt_, column)));
}

bool SqliteStatement::isNull(int column) const {
    return sqlite3_column_type(stmt_, column) == SQLITE_NULL;
}

SqliteDatabase::~SqliteDatabase() {
    close();
}

DatabaseOpen SqliteDatabase::open(const std::string& path, int busyMs) {
    close();
    constexpr int kFlags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX;
    if (sqlite3_open_v2(path.c_str(), &db_, kFlags, nullptr) != SQLITE_OK) {
        close();
        return DatabaseOpen::Failed;
    }
    sqlite3_busy_timeout(db_, busyMs);
    // WAL: readers never wait for a writer, and a killed writer leaves the last commit intact.
    // NORMAL synchronous is enough for a cache that can always be rebuilt from the run files.
    if (queryText("PRAGMA journal_mode=WAL") != "wal" || !exec("PRAGMA synchronous=NORMAL")) {
        close();
        return DatabaseOpen::Failed;
    }
    return DatabaseOpen::Ok;
}

SqliteStatement& SqliteDatabase::cached(const std::string& sql) {
    auto found = statements_.find(sql);
    if (found == statements_.end()) found = statements_.emplace(sql, prepare(sql)).first;
    found->second.reset();
    return found->second;
}

void SqliteDatabase::close() {
    statements_.clear();
    if (db_ != nullptr) sqlite3_close_v2(db_);
    db_ = nullptr;
}

bool SqliteDatabase::exec(std::string_view sql) {
    if (db_ == nullptr) return false;
    const std::string text(sql);
    return sqlite3_exec(db_, text.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK;
}

std::string SqliteDatabase::queryText(std::string_view sql) const {
    SqliteStatement statement = prepare(sql);
    return statement.step() ? statement.text(0) : std::string();
}

std::int64_t SqliteDatabase::lastInsertId() const {
    return db_ ? sqlite3_last_insert_rowid(db_) : 0;
}

std::string SqliteDatabase::lastError() const {
    return db_ ? sqlite3_errmsg(db_) : "not open";
}

}  // namespace lapdex
