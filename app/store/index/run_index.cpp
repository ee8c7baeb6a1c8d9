// The run index's database: opening, checking, rebuilding and the rows of one run file.
#include "run_index.h"

#include <unistd.h>

#include <filesystem>

#include "file_stamp.h"
#include "index_file.h"
#include "run_catalogue.h"

namespace lapdex {
namespace {

// 5: the search text is stored folded (case and width). 6: runs by lap count, in start order.
constexpr int kLayoutVersion = 6;

constexpr const char* kSchema = R"sql(
CREATE TABLE meta(key TEXT PRIMARY KEY, value TEXT NOT NULL) WITHOUT ROWID;
CREATE TABLE folders(name TEXT PRIMARY KEY, inode INTEGER NOT NULL DEFAULT 0,
    mtimeNs INTEGER NOT NULL DEFAULT 0, ctimeNs INTEGER NOT NULL DEFAULT 0,
    sure INTEGER NOT NULL DEFAULT 0, problem TEXT,
    serial TEXT NOT NULL DEFAULT '', tabName TEXT NOT NULL DEFAULT '',
    registered INTEGER NOT NULL DEFAULT 0) WITHOUT ROWID;
CREATE TABLE runs(id INTEGER PRIMARY KEY, folder TEXT NOT NULL, name TEXT NOT NULL,
    listOrder INTEGER NOT NULL, dayKey TEXT NOT NULL, inode INTEGER NOT NULL, size INTEGER NOT NULL,
    mtimeNs INTEGER NOT NULL, ctimeNs INTEGER NOT NULL, sure INTEGER NOT NULL,
    readable INTEGER NOT NULL, problem TEXT, start TEXT, timeFormat INTEGER, lapCount INTEGER,
    totalCs INTEGER, bestLapCs INTEGER, bestLapNumber INTEGER, averageLapCs INTEGER,
    slowestLapCs INTEGER, slowestLapNumber INTEGER, memo TEXT, searchText TEXT, laps TEXT,
    UNIQUE(folder, name));
CREATE INDEX runs_day ON runs(folder, dayKey, listOrder, name);
CREATE INDEX runs_start ON runs(start);
CREATE INDEX runs_laps ON runs(lapCount, start);
CREATE INDEX runs_unsure ON runs(folder) WHERE sure = 0;
CREATE INDEX runs_problem ON runs(folder) WHERE readable = 0;
CREATE VIRTUAL TABLE memo_search USING fts5(text, content='', tokenize='trigram case_sensitive 1');
)sql";

// One spelling of a data folder for every program: its canonical path when it has one.
std::string canonicalFolder(FileSystem& fs, const std::string& folder) {
    const std::string canonical = fs.canonicalPath(withoutTrailingSlash(folder));
    return withTrailingSlash(canonical.empty() ? folder : canonical);
}

// The last connection to close folds the write-ahead log into the file and removes it: a log left
// while no program has the file open means that one ended without closing it (a crash, a power
// cut). Before the file is opened here, as this connection would make a log of its own.
bool closedUncleanly(const std::string& databasePath) {
    return stampOf(databasePath + "-wal").kind != StampKind::None &&
           !databaseOpenElsewhere(databasePath);
}

}  // namespace

RunIndex::RunIndex(FileSystem& fs, std::string dataFolder, std::string databasePath,
                   FolderOwner owner)
    : fs_(fs),
      dataFolder_(canonicalFolder(fs, dataFolder)),
      givenFolder_(withTrailingSlash(dataFolder)),
      databasePath_(std::move(databasePath)),
      owner_(owner),
      watch_(std::make_unique<FolderWatch>(dataFolder_)) {}

bool RunIndex::ready() const {
    return ready_.load();
}

bool RunIndex::open() {
    std::lock_guard<std::mutex> lock(mutex_);
    ready_ = false;
    if (databasePath_.empty()) return false;
    std::error_code ignored;
    std::filesystem::create_directories(std::filesystem::path(databasePath_).parent_path(),
                                        ignored);
    // Lapdex and any number of k7x-tool runs open the same file: one at a time decides whether
    // it is sound and rebuilds it, so none rebuilds a file another has just opened.
    const IndexOpenLock opening(databasePath_);
    if (!opening.held()) return false;
    // Checking every page costs more than a start-up may (137 ms at 218,000 runs, and a club
    // opens one index per folder): only a file that was not closed cleanly, or one whose layout
    // cannot be read as ours, is checked; any other damage fails its queries, which the folder
    // scan then answers.
    const bool unclean = closedUncleanly(databasePath_);
    if (db_.open(databasePath_) != DatabaseOpen::Ok) {
        ready_ = replaceDamaged();
        return ready_;
    }
    if (!unclean && isOurs()) {
        ready_ = true;
        return ready_;
    }
    if (db_.queryText("PRAGMA quick_check") == "ok") {
        if (isOurs()) {
            ready_ = true;
        } else {
            // Sound but of another layout or folder: emptied and laid out anew in one
            // transaction, which other programs' connections see as a change of schema.
            ready_ = createSchema(Existing::Replace);
        }
        return ready_;
    }
    ready_ = replaceDamaged();
    return ready_;
}

bool RunIndex::isOurs() {
    return db_.queryText("PRAGMA user_version") == std::to_string(kLayoutVersion) &&
           db_.queryText("SELECT value FROM meta WHERE key = 'dataFolder'") == dataFolder_;
}

// A damaged file holds nothing the run files do not. A fresh file is built beside it and renamed
// into place; never while another program has the damaged one open (its write-ahead log and
// shared memory would then be taken for the new file's).
bool RunIndex::replaceDamaged() {
    db_.close();
    if (databaseOpenElsewhere(databasePath_)) return false;
    const std::string fresh = databasePath_ + ".new-" + std::to_string(::getpid());
    ::unlink(fresh.c_str());
    removeDatabaseLeftovers(fresh);
    const bool built = db_.open(fresh) == DatabaseOpen::Ok && createSchema(Existing::Refuse);
    db_.close();  // the last connection folds the log into the file and removes it
    if (!built || databaseOpenElsewhere(databasePath_)) {
        ::unlink(fresh.c_str());
        return false;
    }
    removeDatabaseLeftovers(databasePath_);
    if (::rename(fresh.c_str(), databasePath_.c_str()) != 0) {
        ::unlink(fresh.c_str());
        return false;
    }
    return db_.open(databasePath_) == DatabaseOpen::Ok &&
           db_.queryText("PRAGMA user_version") == std::to_string(kLayoutVersion);
}

bool RunIndex::createSchema(Existing existing) {
    SqliteTransaction transaction(db_);
    if (!transaction.began()) return false;
    if (existing == Existing::Replace && !dropEverything()) return false;
    if (!db_.exec(kSchema)) return false;
    SqliteStatement meta = db_.prepare("INSERT INTO meta(key, value) VALUES('dataFolder', ?)");
    if (!meta.bind(1, dataFolder_).run()) return false;
    return db_.exec("PRAGMA user_version = " + std::to_string(kLayoutVersion)) &&
           transaction.commit();
}

// Every table, view and index of the file; the full-text table first, as it takes its own
// tables along.
bool RunIndex::dropEverything() {
    static const char* const kFind[] = {
        "SELECT 'TABLE', name FROM sqlite_master WHERE type = 'table' AND sql LIKE 'CREATE "
        "VIRTUAL%'",
        "SELECT upper(type), name FROM sqlite_master WHERE type IN ('table', 'view') AND name NOT "
        "LIKE 'sqlite_%'",
    };
    for (const char* find : kFind) {
        std::vector<std::pair<std::string, std::string>> found;
        SqliteStatement rows = db_.prepare(find);
        while (rows.step()) found.emplace_back(rows.text(0), rows.text(1));
        if (rows.failed()) return false;
        for (const auto& [kind, name] : found) {
            std::string quoted;
            for (char c : name) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
            if (!db_.exec("DROP " + kind + " IF EXISTS \"" + quoted + "\"")) return false;
        }
    }
    return true;
}

std::string RunIndex::folderNameOf(const std::string& folder) const {
    const std::string path = withoutTrailingSlash(folder);
    for (const std::string* prefix : {&dataFolder_, &givenFolder_}) {
        if (path.size() <= prefix->size() || path.compare(0, prefix->size(), *prefix) != 0)
            continue;
        std::string name = path.substr(prefix->size());
        return name.find('/') == std::string::npos ? name : std::string();
    }
    return {};
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
    if (!run.bind(1, id).run()) return false;
    rowChanges_.fetch_add(1);
    return true;
}

bool RunIndex::insertRun(const std::string& folderName, const std::string& name, std::int64_t order,
                         const std::string& dayKey, const FileStamp& stamp) {
    const std::string path = dataFolder_ + folderName + "/" + name;
    const FsBytes bytes = fs_.readFile(path);
    RunDetails run = bytes.ok() ? summariseRunFile(bytes.bytes) : RunDetails{};
    // A run without its start is damaged: a problem of the answers, never a row of empty fields.
    const std::string problem = !bytes.ok()         ? fsStatusText(bytes.status)
                                : run.start.empty() ? std::string(kDamagedRunFile)
                                                    : std::string();
    if (!problem.empty()) run = RunDetails{};
    // Trusted to show the next change only when the file stood still while it was read and its
    // times are settled; a file that could not be read is read again at every comparison.
    const bool sure = bytes.ok() && stamp.sameAs(stampOf(path)) && settledAt(stamp, clock_());
    const std::string searchText = searchTextOf(run);
    SqliteStatement& insert = db_.cached(
        "INSERT INTO runs(folder, name, listOrder, dayKey, inode, size, mtimeNs, ctimeNs, sure,"
        " readable, problem, start, timeFormat, lapCount, totalCs, bestLapCs, bestLapNumber,"
        " averageLapCs, slowestLapCs, slowestLapNumber, memo, searchText, laps)"
        " VALUES(?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)");
    insert.bind(1, folderName).bind(2, name).bind(3, order).bind(4, dayKey);
    insert.bind(5, static_cast<std::int64_t>(stamp.inode)).bind(6, stamp.size);
    insert.bind(7, stamp.mtimeNs).bind(8, stamp.ctimeNs).bind(9, sure ? 1 : 0);
    insert.bind(10, problem.empty() ? 1 : 0);
    if (problem.empty())
        insert.bindNull(11);
    else
        insert.bind(11, problem);
    insert.bind(12, run.start).bind(13, run.timeFormat == TimeFormat::Clock ? 0 : 1);
    insert.bind(14, run.lapCount).bind(15, run.totalCs).bind(16, run.bestLapCs);
    insert.bind(17, run.bestLapNumber).bind(18, run.averageLapCs).bind(19, run.slowestLapCs);
    insert.bind(20, run.slowestLapNumber);
    if (run.memo.empty())
        insert.bindNull(21);
    else
        insert.bind(21, run.memo);
    if (searchText.empty())
        insert.bindNull(22);
    else
        insert.bind(22, searchText);
    // The laps are read only one run at a time: one column holds them all, a row per run.
    insert.bind(23, lapsText(run.laps));
    if (!insert.run()) return false;
    rowChanges_.fetch_add(1);
    const std::int64_t id = db_.lastInsertId();
    if (searchText.empty()) return true;
    SqliteStatement& text = db_.cached("INSERT INTO memo_search(rowid, text) VALUES(?, ?)");
    return text.bind(1, id).bind(2, searchText).run();
}

}  // namespace lapdex
