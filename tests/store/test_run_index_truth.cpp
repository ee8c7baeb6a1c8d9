// The run index answers what reading every run file now would answer: stopwatches registered
// during a session, files changed behind the program's back in every way that keeps or restores
// their size and times, folders that cannot be listed, and two programs sharing one index.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <thread>

#include "file_stamp.h"
#include "run_catalogue.h"
#include "run_file_fixture.h"
#include "run_file_format.h"
#include "run_index_keeper.h"
#include "run_index_truth.h"

namespace lapdex {
namespace {

using testing::RunIndexTruth;

// The window's search as lines of the fresh index's listing (rows only), for comparing.
std::vector<std::string> searchedRows(RunIndex& index, const RunQuery& query) {
    const std::optional<std::vector<RunRow>> rows = index.search(query);
    if (!rows) return {"no answer"};
    RunListing listing;
    listing.answered = true;
    listing.rows = *rows;
    return testing::describe(index, listing);
}

std::vector<std::string> withoutProblems(std::vector<std::string> lines) {
    std::erase_if(lines, [](const std::string& line) { return line.rfind("problem ", 0) == 0; });
    return lines;
}

TEST_F(RunIndexTruth, AStopwatchRegisteredDuringASessionIsInEveryAnswerAtOnce) {
    write(testing::clockExample());
    ASSERT_TRUE(index->refreshAll(stopwatches));
    // Laid on while the program runs: registered, its folder made, its runs written; the index
    // is told of the registration only, as the worker tells it.
    const RunStopwatch added{"QTM-03", "0000000000c3", "新人", {}};
    registry.push_back(added);
    ASSERT_TRUE(fs.createFolder(data + "QTM-03").ok());
    RunRecord run = testing::clockExample();
    run.start.day = 20;
    write(run, 2);
    index->stopwatchRecorded(added);
    const auto listed = index->stopwatches();
    ASSERT_TRUE(listed.has_value());
    ASSERT_EQ(listed->size(), 3U);
    EXPECT_EQ(listed->back().tabName, "新人");
    // The window's search first: it must not rely on the run source having compared the folder.
    EXPECT_EQ(searchedRows(*index, {}), withoutProblems(freshAnswer()));
    expectSameAsFreshRead("run source");
    // Compared by the run source, but read before its times settled: the page scans it for now.
    EXPECT_FALSE(index->runsOfDay(data + "QTM-03", "QTM240120").has_value());
    index->useClock([] { return wallClockNs() + 60'000'000'000; });
    ASSERT_TRUE(index->compareFolder("QTM-03"));
    const auto names = index->runsOfDay(data + "QTM-03", "QTM240120");
    ASSERT_TRUE(names.has_value());
    EXPECT_EQ(names->size(), 1U);
    // A rename and a removal through the whole registry reach the answers as quickly.
    registry = {stopwatches[0], {"QTM-03", "0000000000c3", "二年", {}}};
    index->registryChanged(registry);
    EXPECT_EQ(searchedRows(*index, {}), withoutProblems(freshAnswer()));
    expectSameAsFreshRead("renamed and removed");
}

}  // namespace
}  // namespace lapdex

namespace lapdex {
namespace {

using testing::RunIndexTruth;

constexpr std::int64_t kSecondNs = 1'000'000'000;

std::int64_t mtimeOf(const std::string& path) {
    return stampOf(path).mtimeNs;
}

void setMtime(const std::string& path, std::int64_t ns) {
    const timespec times[2] = {{ns / kSecondNs, ns % kSecondNs}, {ns / kSecondNs, ns % kSecondNs}};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW), 0) << path;
}

// Runs `change`, then puts the modification times of the file and its folder back.
void keepingTimes(const std::string& path, const std::function<void()>& change) {
    const std::string folder = path.substr(0, path.rfind('/'));
    const std::int64_t file = mtimeOf(path), parent = mtimeOf(folder);
    change();
    if (stampOf(path).kind == StampKind::File) setMtime(path, file);
    setMtime(folder, parent);
}

// Overwrites the file's bytes without truncating it or changing its inode.
void writeInPlace(const std::string& path, const std::string& bytes) {
    const int fd = ::open(path.c_str(), O_WRONLY);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::pwrite(fd, bytes.data(), bytes.size(), 0), static_cast<ssize_t>(bytes.size()));
    ::close(fd);
}

std::string replaced(std::string bytes, const std::string& from, const std::string& to) {
    const std::size_t at = bytes.find(from);
    EXPECT_NE(at, std::string::npos);
    if (at != std::string::npos) bytes.replace(at, from.size(), to);
    return bytes;
}

RunRecord runOfDay(int day, const std::string& memo) {
    RunRecord run = testing::clockExample();
    run.start.day = day;
    run.memo = memo;
    return run;
}

// Each way a hand or another program changes a run file behind the index's back, keeping or
// restoring what a cheaper comparison would look at. `before` sets times before the index reads.
struct HandChange {
    const char* what;
    std::function<void(const std::string& path)> before;
    std::function<void(RunIndexTruth& test, const std::string& path)> change;
};

TEST_F(RunIndexTruth, SeesEveryChangeOfARunFileWhateverItKeeps) {
    const std::int64_t now = wallClockNs();
    const auto sameSizeMemo = [](const std::string& path) {
        keepingTimes(
            path, [&] { writeInPlace(path, replaced(testing::fileBytes(path), "AAAA", "BBBB")); });
    };
    const auto evenSeconds = [now](const std::string& path) {
        const std::int64_t even = (now / kSecondNs - 10) / 2 * 2 * kSecondNs;
        setMtime(path, even);
        setMtime(path.substr(0, path.rfind('/')), even);
    };
    const HandChange kChanges[] = {
        {"same-size memo edit, times restored", {}, [&](auto&, auto& path) { sameSizeMemo(path); }},
        {"cp over the file",
         {},
         [](RunIndexTruth& test, const std::string& path) {
             const std::string other = test.root / "other.csv";
             testing::writeBytes(other, replaced(testing::fileBytes(path), "AAAA", "CCCCCC"));
             std::filesystem::copy_file(other, path,
                                        std::filesystem::copy_options::overwrite_existing);
         }},
        {"replaced by a file with older times",
         {},
         [now](RunIndexTruth& test, const std::string& path) {
             keepingTimes(path, [&] {
                 const std::string other = test.data + "other.csv";
                 testing::writeBytes(other, replaced(testing::fileBytes(path), "AAAA", "DDDD"));
                 setMtime(other, now - 86400 * kSecondNs);
                 ASSERT_EQ(::rename(other.c_str(), path.c_str()), 0);
             });
         }},
        {"FAT-like 2 s times, same-size edit", evenSeconds,
         [&](auto&, auto& path) { sameSizeMemo(path); }},
        {"times in the future (clock behind), same-size edit",
         [now](const std::string& path) {
             setMtime(path, now + 3600 * kSecondNs);
             setMtime(path.substr(0, path.rfind('/')), now + 3600 * kSecondNs);
         },
         [&](auto&, auto& path) { sameSizeMemo(path); }},
        {"deleted and another added, folder time restored",
         {},
         [](RunIndexTruth& test, const std::string& path) {
             keepingTimes(path, [&] {
                 ::unlink(path.c_str());
                 test.write(runOfDay(25, "AAAA"));
             });
         }},
        {"damaged in place, times restored",
         {},
         [](RunIndexTruth&, const std::string& path) {
             keepingTimes(path, [&] {
                 writeInPlace(path, std::string(testing::fileBytes(path).size(), 'x'));
             });
         }},
    };
    // The index's clock runs ahead, so the files just written look settled and their stamps are
    // trusted: only the comparison of stamps can see the changes.
    index->useClock([] { return wallClockNs() + 60 * kSecondNs; });
    const std::string folder = data + "QTM-01";
    for (const auto use : {RunIndex::Notifications::Ignored, RunIndex::Notifications::Used})
        for (const HandChange& c : kChanges) {
            SCOPED_TRACE(c.what);
            const bool notified = use == RunIndex::Notifications::Used;
            SCOPED_TRACE(notified ? "notifications used" : "notifications ignored");
            index->useNotifications(use);
            std::filesystem::remove_all(folder);
            ASSERT_TRUE(fs.createFolder(folder).ok());
            std::string path;
            for (int day = 1; day <= 3; ++day) path = write(runOfDay(day, "AAAA"));
            if (c.before) c.before(path);
            ASSERT_TRUE(index->listRuns({}).answered);
            ASSERT_TRUE(index->runsOfDay(folder, "QTM240103").has_value());
            // A change in the same tick of the file system's clock could repeat every time.
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            c.change(*this, path);
            // Where notifications tell of every change, the window's search is exact too.
            if (notified) {
                EXPECT_EQ(searchedRows(*index, {}), withoutProblems(freshAnswer()));
            }
            expectSameAsFreshRead(c.what);
            for (const char* day : {"QTM240103", "QTM240125"}) {
                const auto names = index->runsOfDay(folder, day);
                ASSERT_TRUE(names.has_value());
                EXPECT_EQ(names->size(),
                          fs.findMatching(folder, std::string(day) + "*.csv").entries.size());
            }
        }
}

}  // namespace
}  // namespace lapdex

namespace lapdex {
namespace {

using testing::RunIndexTruth;

// A folder whose listing fails, wholly or midway, is reported and its runs left out, as the scan
// leaves them out; its rows stay, so when it can be listed again nothing is read anew.
TEST_F(RunIndexTruth, AFolderThatCannotBeListedIsReportedAndKeepsItsRows) {
    const struct {
        const char* what;
        int error;
        bool partial;
        const char* reason;
    } kCases[] = {
        {"permission denied", EACCES, false, "Permission denied"},
        {"failing midway", EIO, true, "Input/output error"},
    };
    index->useClock([] { return wallClockNs() + 60'000'000'000; });
    // The faults are the fake's: no notification tells of them, as none tells of a lock.
    index->useNotifications(RunIndex::Notifications::Ignored);
    for (int day = 1; day <= 6; ++day) write(runOfDay(day, "AAAA"), day % 2);
    ASSERT_TRUE(index->listRuns({}).answered);
    const std::string folder = data + "QTM-01";
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.what);
        fs.listingFails = {{folder, c.error}};
        fs.partial = c.partial;
        const RunListing listing = index->listRuns({});
        ASSERT_TRUE(listing.answered);
        ASSERT_FALSE(listing.problems.empty());
        EXPECT_EQ(listing.problems.front().path, "QTM-01");
        EXPECT_EQ(listing.problems.front().reason, c.reason);
        expectSameAsFreshRead("unreadable");
        EXPECT_FALSE(index->runsOfDay(folder, "QTM240102").has_value());
        const auto rows = index->search({});
        ASSERT_TRUE(rows.has_value());
        for (const RunRow& row : *rows) EXPECT_EQ(row.folderName, "QTM-02");
        fs.listingFails.clear();
        const int reads = fs.reads;
        ASSERT_TRUE(index->listRuns({}).complete());
        EXPECT_EQ(fs.reads, reads) << "rows were lost and read again";
        expectSameAsFreshRead("readable again");
        EXPECT_TRUE(index->runsOfDay(folder, "QTM240102").has_value());
    }
}

// A run file that cannot be read or has no start is named with its reason, never a row.
TEST_F(RunIndexTruth, ARunFileThatCannotBeReadIsAProblemNotARow) {
    const std::string held = write(runOfDay(1, "AAAA"));
    const std::string damaged = write(runOfDay(2, "AAAA"));
    write(runOfDay(3, "AAAA"));
    testing::writeBytes(damaged, "a\r\nb\r\n\r\n\r\nh\r\nno start here\r\n");
    fs.readFails = {{held, EACCES}};
    index->useNotifications(RunIndex::Notifications::Ignored);
    const RunListing listing = index->listRuns({});
    ASSERT_TRUE(listing.answered);
    ASSERT_EQ(listing.problems.size(), 2U);
    EXPECT_EQ(listing.rows.size(), 1U);
    expectSameAsFreshRead("one held, one damaged");
    const RunRead read = index->readRun("QTM-01", held.substr(held.rfind('/') + 1));
    EXPECT_EQ(read.outcome, RunRead::Outcome::Unreadable);
    EXPECT_EQ(read.reason, "Permission denied");
    // Readable again: it is read again at once, whatever its stamp says.
    fs.readFails.clear();
    expectSameAsFreshRead("readable again");
    EXPECT_TRUE(index->readRun("QTM-01", held.substr(held.rfind('/') + 1)).ok());
}

}  // namespace
}  // namespace lapdex

namespace lapdex {
namespace {

using testing::RunIndexTruth;

// Lapdex and k7x-tool open the index of one data folder given in different spellings: one file,
// opened by both, never deleted or rebuilt by either, and each sees what the other wrote.
TEST_F(RunIndexTruth, TwoProgramsShareOneIndexHoweverTheFolderIsSpelled) {
    const std::string link = root / "link";
    ASSERT_EQ(::symlink(withoutTrailingSlash(data).c_str(), link.c_str()), 0);
    const std::string cache = root / "shared-cache";
    const EnvironmentLookup environment = [&](const char* name) {
        return std::string_view(name) == "XDG_CACHE_HOME" ? cache.c_str() : nullptr;
    };
    write(runOfDay(1, "AAAA"));
    const struct {
        const char* what;
        std::string lapdex, tool;
    } kSpellings[] = {
        {"trailing slash", withoutTrailingSlash(data), data + "/"},
        {"through a link", data, link},
        {"relative", data, std::filesystem::relative(data).string()},
    };
    for (const auto& c : kSpellings) {
        SCOPED_TRACE(c.what);
        const DataFolder lapdexData(fs, c.lapdex), toolData(fs, c.tool);
        std::unique_ptr<RunIndex> lapdex = makeRunIndex(lapdexData, environment);
        ASSERT_TRUE(lapdex && lapdex->open());
        lapdex->registryChanged(registry);
        ASSERT_TRUE(lapdex->listRuns({}).complete());
        const FileStamp file = stampOf(lapdex->databasePath());
        std::unique_ptr<RunIndex> tool = makeRunIndex(toolData, environment);
        ASSERT_TRUE(tool && tool->open());
        EXPECT_EQ(tool->databasePath(), lapdex->databasePath());
        EXPECT_EQ(stampOf(tool->databasePath()).inode, file.inode);
        tool->registryChanged(registry);
        // One writes, the other answers from it; both as a fresh read.
        RunRecord run = runOfDay(2, "BBBB");
        ASSERT_EQ(writeRunFile(fs, c.tool, 0, registry[0].serialText, run).status,
                  RunFileWriteStatus::Written);
        ASSERT_TRUE(tool->listRuns({}).complete());
        const std::vector<std::string> reference = freshAnswer();
        EXPECT_EQ(testing::describe(*lapdex, lapdex->listRuns({})), reference);
        EXPECT_EQ(testing::describe(*tool, tool->listRuns({})), reference);
        EXPECT_EQ(lapdex->folderNameOf(withTrailingSlash(c.lapdex) + "QTM-01"), "QTM-01");
        EXPECT_EQ(tool->folderNameOf(withTrailingSlash(c.tool) + "QTM-01"), "QTM-01");
        // Opened again by either, the file stays the same file.
        lapdex.reset();
        lapdex = makeRunIndex(lapdexData, environment);
        ASSERT_TRUE(lapdex->open());
        EXPECT_EQ(stampOf(lapdex->databasePath()).inode, file.inode);
        std::filesystem::remove(data + "QTM-01/" + runFileName(run.start, registry[0].serialText));
    }
}

// A damaged index file that another program still has open is left alone: its log and shared
// memory belong to that program's connection. Once nobody has it open, it is replaced.
TEST_F(RunIndexTruth, ADamagedIndexOpenElsewhereIsNeverReplaced) {
    write(runOfDay(1, "AAAA"));
    const std::string path = index->databasePath();
    // No connection may cross the fork: SQLite keeps its lock bookkeeping per process.
    index.reset();
    int ready[2], done[2];
    ASSERT_EQ(::pipe(ready), 0);
    ASSERT_EQ(::pipe(done), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // The other program: holds the database open until told to end.
        RunIndex other(fs, data, path);
        char byte = other.open() ? 'y' : 'n';
        (void)!::write(ready[1], &byte, 1);
        (void)!::read(done[0], &byte, 1);
        ::_exit(0);
    }
    char byte = 0;
    ASSERT_EQ(::read(ready[0], &byte, 1), 1);
    EXPECT_EQ(byte, 'y');
    const FileStamp before = stampOf(path);
    std::string bytes = testing::fileBytes(path);
    for (std::size_t i = 0; i < 100 && i < bytes.size(); ++i) bytes[i] = 'x';
    writeInPlace(path, bytes);
    RunIndex damaged(fs, data, path);
    EXPECT_FALSE(damaged.open());
    EXPECT_EQ(stampOf(path).inode, before.inode);
    EXPECT_EQ(stampOf(path + "-shm").kind, StampKind::File);
    (void)!::write(done[1], &byte, 1);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    for (int fd : {ready[0], ready[1], done[0], done[1]}) ::close(fd);
    ASSERT_TRUE(damaged.open());
    EXPECT_NE(stampOf(path).inode, before.inode);
    damaged.registryChanged(registry);
    EXPECT_EQ(testing::describe(damaged, damaged.listRuns({})), freshAnswer());
}

}  // namespace
}  // namespace lapdex
