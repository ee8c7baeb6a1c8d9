// The run index's database: opening, checking, rebuilding and the rows of one run file.
#include "run_index.h"

#include <unistd.h>

#include <filesystem>

#include "file_stamp.h"
#include "run_catalogue.h"

namespace lapdex {
namespace {

constexpr int kLayoutVersion = 3;

constexpr const char* kSchema = R"sql(
CREATE TABLE meta(key TEXT PRIMARY KEY, value TEXT NOT NULL) WITHOUT ROWID;
CREATE TABLE folders(name TEXT PRIMARY KEY, mtimeNs INTEGER NOT NULL DEFAULT 0,
    serial TEXT NOT NULL DEFAULT '', tabName TEXT NOT NULL DEFAULT '',
    registered INTEGER NOT NULL DEFAULT 0) WITHOUT ROWID;
CREATE TABLE runs(id INTEGER PRIMARY KEY, folder TEXT NOT NULL, name TEXT NOT NULL,
    listOrder INTEGER NOT NULL, dayKey TEXT NOT NULL, size INTEGER NOT NULL, mtimeNs INTEGER NOT NULL,
    readable INTEGER NOT NULL, start TEXT, timeFormat INTEGER, lapCount INTEGER, totalCs INTEGER,
    bestLapCs INTEGER, bestLapNumber INTEGER, averageLapCs INTEGER, slowestLapCs INTEGER,
    slowestLapNumber INTEGER, memo TEXT, searchText TEXT, laps TEXT, UNIQUE(folder, name));
CREATE INDEX runs_day ON runs(folder, dayKey, listOrder, name);
CREATE INDEX runs_start ON runs(start);
CREATE VIRTUAL TABLE memo_search USING fts5(text, content='', tokenize='trigram case_sensitive 1');
)sql";

void removeDatabaseFiles(const std::string& path) {
    for (const char* suffix : {"", "-wal", "-shm", "-journal"}) ::unlink((path + suffix).c_str());
}

}  // namespace

RunIndex::RunIndex(FileSystem& fs, std::string dataFolder, std::string databasePath)
    : fs_(fs), dataFolder_(withTrailingSlash(dataFolder)), databasePath_(std::move(databasePath)) {}

bool RunIndex::ready() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return ready_;
}

bool RunIndex::open() {
    std::lock_guard<std::mutex> lock(mutex_);
    ready_ = false;
    if (databasePath_.empty()) return false;
    std::error_code ignored;
    std::filesystem::create_directories(std::filesystem::path(databasePath_).parent_path(),
                                        ignored);
    if (db_.open(databasePath_) == DatabaseOpen::Ok &&
        db_.queryText("PRAGMA quick_check") == "ok") {
        const std::string version = db_.queryText("PRAGMA user_version");
        if (version == std::to_string(kLayoutVersion) &&
            db_.queryText("SELECT value FROM meta WHERE key = 'dataFolder'") == dataFolder_) {
            ready_ = true;
        } else if (version == "0" && db_.queryText("SELECT count(*) FROM sqlite_master") == "0") {
            ready_ = createSchema();
        }
    }
    if (!ready_) ready_ = reopenFresh();
    return ready_;
}

// A damaged or foreign database holds nothing that the run files do not: start again.
bool RunIndex::reopenFresh() {
    db_.close();
    removeDatabaseFiles(databasePath_);
    return db_.open(databasePath_) == DatabaseOpen::Ok && createSchema();
}

bool RunIndex::createSchema() {
    SqliteTransaction transaction(db_);
    if (!transaction.began() || !db_.exec(kSchema)) return false;
    SqliteStatement meta = db_.prepare("INSERT INTO meta(key, value) VALUES('dataFolder', ?)");
    if (!meta.bind(1, dataFolder_).run()) return false;
    return db_.exec("PRAGMA user_version = " + std::to_string(kLayoutVersion)) &&
           transaction.commit();
}

std::string RunIndex::folderNameOf(const std::string& folder) const {
    const std::string path = withoutTrailingSlash(folder);
    if (path.size() <= dataFolder_.size() || path.compare(0, dataFolder_.size(), dataFolder_) != 0)
        return {};
    std::string name = path.substr(dataFolder_.size());
    return name.find('/') == std::string::npos ? name : std::string();
}

bool RunIndex::deleteRun(std::int64_t id) {
    SqliteStatement& old = db_.cached("SELECT searchText FROM runs WHERE id = ?");
    old.bind(1, id);
    const bool hasText = old.step() && !old.isNull(0);
    const std::string text = hasText ? old.text(0) : std::string();
    old.reset();
    if (hasText) {
        // The search table keeps no text of its own: taking a row out needs the text it was given.
        SqliteStatement& forget =
            db_.cached("INSERT INTO memo_search(memo_search, rowid, text) VALUES('delete', ?, ?)");
        if (!forget.bind(1, id).bind(2, text).run()) return false;
    }
    SqliteStatement& run = db_.cached("DELETE FROM runs WHERE id = ?");
    return run.bind(1, id).run();
}

bool RunIndex::insertRun(const std::string& folderName, const std::string& name, std::int64_t order,
                         const std::string& dayKey) {
    const std::string path = dataFolder_ + folderName + "/" + name;
    const FileStamp stamp = stampOf(path);
    const FsBytes bytes = fs_.readFile(path);
    const bool readable = bytes.ok();
    const RunDetails run = readable ? summariseRunFile(bytes.bytes) : RunDetails{};
    const std::string searchText = searchTextOf(run);
    SqliteStatement& insert = db_.cached(
        "INSERT INTO runs(folder, name, listOrder, dayKey, size, mtimeNs, readable, start, "
        "timeFormat, lapCount,"
        " totalCs, bestLapCs, bestLapNumber, averageLapCs, slowestLapCs, slowestLapNumber, memo, "
        "searchText, laps)"
        " VALUES(?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)");
    insert.bind(1, folderName).bind(2, name).bind(3, order).bind(4, dayKey).bind(5, stamp.size);
    insert.bind(6, stamp.mtimeNs).bind(7, readable ? 1 : 0).bind(8, run.start);
    insert.bind(9, run.timeFormat == TimeFormat::Clock ? 0 : 1)
        .bind(10, run.lapCount)
        .bind(11, run.totalCs);
    insert.bind(12, run.bestLapCs).bind(13, run.bestLapNumber).bind(14, run.averageLapCs);
    insert.bind(15, run.slowestLapCs).bind(16, run.slowestLapNumber);
    if (run.memo.empty())
        insert.bindNull(17);
    else
        insert.bind(17, run.memo);
    if (searchText.empty())
        insert.bindNull(18);
    else
        insert.bind(18, searchText);
    // The laps are read only one run at a time: one column holds them all, a row per run.
    insert.bind(19, lapsText(run.laps));
    if (!insert.run()) return false;
    const std::int64_t id = db_.lastInsertId();
    if (searchText.empty()) return true;
    SqliteStatement& text = db_.cached("INSERT INTO memo_search(rowid, text) VALUES(?, ?)");
    return text.bind(1, id).bind(2, searchText).run();
}

}  // namespace lapdex
