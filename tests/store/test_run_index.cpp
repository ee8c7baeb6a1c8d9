// The run index: the same day marks and day listings as the folder scan on random trees, kept
// true when files change behind the program's back, rebuilt when damaged, and its searches.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <functional>
#include <random>

#include "cp932.h"
#include "fake_catalogue_page.h"
#include "file_stamp.h"
#include "index_location.h"
#include "indexed_catalogue.h"
#include "run_file_fixture.h"
#include "run_file_format.h"
#include "run_file_writer.h"
#include "run_index.h"
#include "run_index_keeper.h"
#include "temp_folder.h"

namespace lapdex {
namespace {

using testing::FakePage;

// Moves a folder's time into the past, so the index trusts it as settled.
void ageFolder(const std::string& folder) {
    const timespec times[2] = {{0, UTIME_OMIT}, {::time(nullptr) - 3600, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, folder.c_str(), times, AT_SYMLINK_NOFOLLOW), 0);
}

class RunIndexTest : public ::testing::Test {
  protected:
    void SetUp() override {
        data = withTrailingSlash(root / "data");
        ASSERT_TRUE(fs.createFolder(data).ok());
        page.folder = data + "QTM-01";
        ASSERT_TRUE(fs.createFolder(page.folder).ok());
        ASSERT_TRUE(fs.createFolder(data + "QTM-02").ok());
        index = makeIndex(root / "cache/runs.sqlite");
        ASSERT_TRUE(index->open());
        ASSERT_TRUE(index->refreshAll(stopwatches));
    }

    // Its clock runs ahead of the files' times, so what a test just wrote counts as settled and the
    // index may answer the page for it once compared.
    std::unique_ptr<RunIndex> makeIndex(const std::string& path) {
        auto made = std::make_unique<RunIndex>(fs, data, path);
        made->useClock([] { return wallClockNs() + 60'000'000'000; });
        return made;
    }

    std::string write(const RunRecord& record, int slot = 0) {
        const RunFileWriteResult result = writeRunFile(fs, data, slot, "0123456789ab", record);
        EXPECT_EQ(result.status, RunFileWriteStatus::Written);
        return result.path;
    }

    // Both ways of answering, over the page's displayed range and every day in it. The page's
    // entry points agree with the scan at once, comparing nothing on the caller's thread; once the
    // refresh thread's comparison is done, the index must answer itself (no fallback).
    void expectSameAsScan(const std::string& context) {
        SCOPED_TRACE(context);
        const std::uint64_t comparisons = index->comparisons();
        FakePage marked = page;
        EXPECT_EQ(computeDayMasks(index.get(), fs, marked), dayMasksByDaySearch(fs, page));
        for (const MonthSpan& span : monthSpans(page.range)) {
            for (int day = span.firstDay; day <= span.lastDay; ++day) {
                FakePage scanned = page;
                FakePage listed = page;
                const CalendarDate date{span.year, span.month, day};
                EXPECT_EQ(listRunsOfDay(index.get(), fs, listed, date),
                          listRunsOfDay(fs, scanned, date));
                EXPECT_EQ(listed.paths, scanned.paths) << dayPrefix(date);
            }
        }
        EXPECT_EQ(index->comparisons(), comparisons);
        ASSERT_TRUE(index->refreshRegistered());
        const auto masks = indexedDayMasks(*index, fs, page);
        ASSERT_TRUE(masks.has_value());
        EXPECT_EQ(*masks, dayMasksByDaySearch(fs, page));
        for (const MonthSpan& span : monthSpans(page.range)) {
            for (int day = span.firstDay; day <= span.lastDay; ++day) {
                const CalendarDate date{span.year, span.month, day};
                FakePage scanned = page;
                const bool scanListed = listRunsOfDay(fs, scanned, date);
                FakePage indexed = page;
                const std::optional<bool> indexListed =
                    listIndexedRunsOfDay(*index, fs, indexed, date);
                ASSERT_TRUE(indexListed.has_value());
                EXPECT_EQ(*indexListed, scanListed) << dayPrefix(date);
                EXPECT_EQ(indexed.paths, scanned.paths) << dayPrefix(date);
                EXPECT_EQ(indexed.cells.cells, scanned.cells.cells) << dayPrefix(date);
            }
        }
    }

    FileSystem& fs = systemFileSystem();
    testing::TempFolder root;
    std::string data;
    std::vector<RunStopwatch> stopwatches{{"QTM-01", "0123456789ab", "走者A", {}},
                                          {"QTM-02", "00000000beef", "QTM-02", {}}};
    FakePage page;
    std::unique_ptr<RunIndex> index;
};

// Names a hand or another program may leave in a stopwatch folder, runs and not runs alike.
std::string randomName(std::mt19937& random) {
    static const char* const kShapes[] = {
        "QTM%02d%02d%02d_%02d%02d%02d_0123456789ab.csv",
        "qtm%02d%02d%02d_%02d%02d%02d.csv",
        "QTM%02d%02d%02d_%02d%02d.CSV",
        "QTM%02d%02d%02d_%02d%02d%02d_0123456789ab_bak.csv",
        "QTM%02d%02d%02d_%02d%02d_走者.csv",
        "xQTM%02d%02d%02d_%02d%02d.csv",
        "QTM%02d%02d%02d_%02d%02d%02d.txt",
        "QTM%02d%02d%02d_%02d%02d.csv",
    };
    std::uniform_int_distribution<int> shape(0, 7), month(2, 4), day(1, 31), hour(0, 25),
        minute(0, 61);
    char name[128];
    std::snprintf(name, sizeof name, kShapes[shape(random)], 15, month(random), day(random),
                  hour(random), minute(random), minute(random));
    return name;
}

TEST_F(RunIndexTest, AgreesWithTheFolderScanOnRandomTrees) {
    std::mt19937 random(1403);
    for (int tree = 0; tree < 6; ++tree) {
        std::vector<std::string> paths;
        for (int i = 0; i < 60; ++i) {
            const std::string path = page.folder + "/" + randomName(random);
            testing::writeBytes(
                path,
                "a\r\nb\r\n\r\n\r\nh\r\n2015/03/14   "
                "09:30:15,00:01:00.00,1,1,x,y,\"memo\"\r\n\r\nl\r\n1,00:01:00.00,00:01:00.00,\r\n");
            paths.push_back(path);
        }
        // A folder under a run's name is no run.
        (void)fs.createFolder(page.folder + "/" + randomName(random));
        ASSERT_TRUE(index->refreshFolder("QTM-01"));
        expectSameAsScan("fresh tree " + std::to_string(tree));
        // Files held exclusively by another program, changed or deleted behind the program's back.
        std::vector<std::unique_ptr<FileLock>> locks;
        for (std::size_t i = 0; i < paths.size(); i += 7) {
            if (auto lock = fs.holdLock(paths[i], LockMode::Exclusive))
                locks.push_back(std::move(lock));
        }
        for (std::size_t i = 3; i < paths.size(); i += 11) ::unlink(paths[i].c_str());
        for (std::size_t i = 5; i < paths.size(); i += 13)
            testing::writeBytes(paths[i], "changed by hand\r\n");
        for (int i = 0; i < 5; ++i)
            testing::writeBytes(page.folder + "/" + randomName(random), "new\r\n");
        expectSameAsScan("changed tree " + std::to_string(tree));
        locks.clear();
        expectSameAsScan("unlocked tree " + std::to_string(tree));
        std::filesystem::remove_all(page.folder);
        ASSERT_TRUE(fs.createFolder(page.folder).ok());
    }
}

TEST_F(RunIndexTest, NoticesAFileAddedByHandThroughTheFolderTime) {
    const std::string first = write(testing::clockExample());
    ageFolder(page.folder);
    ASSERT_TRUE(index->refreshFolder("QTM-01"));
    RunRecord later = testing::clockExample();
    later.start.day = 30;
    // Added behind the program's back: only the folder's time tells.
    testing::writeBytes(page.folder + "/QTM240130_093015_0123456789ab.csv",
                        testing::fileBytes(first));
    // The window's query does not trust the folder, and leaves its comparison to the refresh.
    index->useNotifications(RunIndex::Notifications::Ignored);
    EXPECT_FALSE(index->runsOfDay(page.folder, "QTM240130").has_value());
    ASSERT_TRUE(index->compareFolder("QTM-01"));
    const auto names = index->runsOfDay(page.folder, "QTM240130");
    ASSERT_TRUE(names.has_value());
    EXPECT_EQ(*names, std::vector<std::string>{"QTM240130_093015_0123456789ab.csv"});
}

TEST_F(RunIndexTest, AFolderTimeRestoredByHandStillShowsTheChange) {
    const std::string path = write(testing::clockExample());
    ageFolder(page.folder);
    ASSERT_TRUE(index->refreshFolder("QTM-01"));
    // Deleting the file and putting the folder's time back: its change time still tells.
    const FileStamp before = stampOf(page.folder);
    ::unlink(path.c_str());
    const timespec times[2] = {{0, UTIME_OMIT},
                               {before.mtimeNs / 1000000000, before.mtimeNs % 1000000000}};
    ASSERT_EQ(::utimensat(AT_FDCWD, page.folder.c_str(), times, 0), 0);
    index->useNotifications(RunIndex::Notifications::Ignored);
    EXPECT_FALSE(index->runsOfDay(page.folder, "QTM240131").has_value());
    ASSERT_TRUE(index->compareFolder("QTM-01"));
    EXPECT_TRUE(index->runsOfDay(page.folder, "QTM240131")->empty());
    expectSameAsScan("after the deletion");
}

TEST_F(RunIndexTest, SearchFindsJapaneseMemoWordsOfAnyLength) {
    RunRecord a = testing::clockExample();
    a.memo = "雨の中の400m走";
    a.laps[1].memo = "向かい風";
    const std::string pathA = write(a);
    RunRecord b = testing::clockExample();
    b.start.day = 20;
    b.memo = "晴れ";
    write(b, 1);
    RunRecord c = testing::clockExample();
    c.start = {2024, 2, 3, 8, 0, 0};
    c.laps.resize(2);
    c.lapCount = 2;
    c.total = c.laps[1].split;
    c.memo = "向かい";
    write(c);
    ASSERT_TRUE(index->refreshAll(stopwatches));
    const struct {
        std::function<void(RunQuery&)> set;
        std::vector<std::string> starts;
    } kCases[] = {
        {[](RunQuery& q) { q.words = {"向かい風"}; },
         {"2024-01-31T09:30:15"}},  // lap memo, trigram
        {[](RunQuery& q) { q.words = {"向か"}; },
         {"2024-01-31T09:30:15", "2024-02-03T08:00:00"}},                  // two characters: scan
        {[](RunQuery& q) { q.words = {"雨"}; }, {"2024-01-31T09:30:15"}},  // one character
        {[](RunQuery& q) {
             q.words = {"中の4", "風"};
         },
         {"2024-01-31T09:30:15"}},  // every word must occur
        {[](RunQuery& q) { q.words = {"曇り"}; }, {}},
        {[](RunQuery& q) {
             q.fromDate = "2024-01-21";
             q.toDate = "2024-01-31";
         },
         {"2024-01-31T09:30:15"}},
        {[](RunQuery& q) { q.toDate = "2024-01-20"; }, {"2024-01-20T09:30:15"}},
        {[](RunQuery& q) { q.lapCount = 2; }, {"2024-02-03T08:00:00"}},
        {[](RunQuery& q) { q.folderNames = {"QTM-02"}; }, {"2024-01-20T09:30:15"}},
        {[](RunQuery& q) {
             q.minTotalCs = 20000;
             q.maxTotalCs = 20000;
         },
         {"2024-01-20T09:30:15", "2024-01-31T09:30:15"}},
        {[](RunQuery& q) { q.limit = 1; }, {"2024-01-20T09:30:15"}},
    };
    for (const auto& c : kCases) {
        RunQuery query;
        c.set(query);
        const auto rows = index->search(query);
        ASSERT_TRUE(rows.has_value());
        std::vector<std::string> starts;
        for (const RunRow& row : *rows) starts.push_back(row.run.start);
        EXPECT_EQ(starts, c.starts) << (query.words.empty() ? query.fromDate : query.words[0]);
    }
    // A rewritten memo is found under its new words only.
    RunRecord rewritten = a;
    rewritten.memo = "快晴";
    rewritten.laps[1].memo.clear();
    testing::writeBytes(pathA, utf8ToCp932(runFileText(rewritten)).text);
    index->fileChanged(pathA);
    RunQuery word;
    word.words = {"向かい風"};
    EXPECT_TRUE(index->search(word)->empty());
    word.words = {"快晴"};
    EXPECT_EQ(index->search(word)->size(), 1U);
}

TEST_F(RunIndexTest, KeepsTheRunsFiguresAndLaps) {
    RunRecord run = testing::clockExample();
    run.laps[2].memo = "ラスト";
    write(run);
    ASSERT_TRUE(index->refreshAll(stopwatches));
    const auto rows = index->search({});
    ASSERT_EQ(rows->size(), 1U);
    const RunRow& row = rows->front();
    EXPECT_EQ(row.tabName, "走者A");
    EXPECT_EQ(row.serialText, "0123456789ab");
    EXPECT_EQ(row.fileName, "QTM240131_093015_0123456789ab.csv");
    EXPECT_EQ(row.run.lapCount, 3);
    EXPECT_EQ(row.run.totalCs, 20000);
    EXPECT_EQ(row.run.bestLapCs, 6470);
    EXPECT_EQ(row.run.bestLapNumber, 2);
    EXPECT_EQ(row.run.averageLapCs, 6666);
    EXPECT_EQ(row.run.slowestLapCs, 7050);
    EXPECT_EQ(row.run.slowestLapNumber, 1);
    const auto full = index->runWithLaps("QTM-01", row.fileName);
    ASSERT_TRUE(full.has_value());
    ASSERT_EQ(full->laps.size(), 3U);
    EXPECT_EQ(full->laps[2].splitCs, 20000);
    EXPECT_EQ(full->laps[2].memo, "ラスト");
}

TEST_F(RunIndexTest, RemovedStopwatchLeavesTheIndexWithItsRuns) {
    write(testing::clockExample(), 1);
    ASSERT_TRUE(index->refreshAll(stopwatches));
    EXPECT_EQ(index->search({})->size(), 1U);
    ASSERT_TRUE(index->refreshAll({stopwatches[0]}));
    EXPECT_TRUE(index->search({})->empty());
    EXPECT_EQ(index->stopwatches()->size(), 1U);
}

TEST_F(RunIndexTest, DamagedDatabaseIsRebuiltAndAnswersTheSame) {
    for (int day = 1; day <= 5; ++day) {
        RunRecord run = testing::clockExample();
        run.start = {2015, 3, day * 3, 10, 0, 0};
        write(run);
    }
    ASSERT_TRUE(index->refreshAll(stopwatches));
    const std::string path = index->databasePath();
    index.reset();
    ::unlink((path + "-wal").c_str());
    ::unlink((path + "-shm").c_str());
    // Garbage over the middle of the file: quick_check fails, or the header does.
    std::string bytes = testing::fileBytes(path);
    ASSERT_GT(bytes.size(), 8192U);
    for (std::size_t i = 100; i < bytes.size(); i += 7) bytes[i] = static_cast<char>(i * 31);
    testing::writeBytes(path, bytes);
    index = makeIndex(path);
    ASSERT_TRUE(index->open());
    ASSERT_TRUE(index->refreshAll(stopwatches));
    expectSameAsScan("rebuilt");
    EXPECT_EQ(index->search({})->size(), 5U);
}

// Opening trusts a cleanly closed file without reading every page; a write-ahead log left behind
// (the program ended without closing it) makes it check them, and damage is then rebuilt.
TEST_F(RunIndexTest, AFileNotClosedCleanlyIsCheckedAndRebuiltWhenDamaged) {
    for (int day = 1; day <= 40; ++day) {
        RunRecord run = testing::clockExample();
        run.start = {2015, 3, 1 + day % 28, 10, day, 0};
        run.memo = "memo of run " + std::to_string(day);
        write(run);
    }
    ASSERT_TRUE(index->refreshAll(stopwatches));
    const std::string path = index->databasePath();
    index.reset();
    ASSERT_EQ(stampOf(path + "-wal").kind, StampKind::None);
    // Garbage past the schema and the first tables, where opening alone does not look.
    std::string bytes = testing::fileBytes(path);
    ASSERT_GT(bytes.size(), 6 * 4096U);
    for (std::size_t i = 4 * 4096; i < bytes.size(); i += 7) bytes[i] = static_cast<char>(i * 31);
    testing::writeBytes(path, bytes);
    testing::writeBytes(path + "-wal", "");
    index = makeIndex(path);
    ASSERT_TRUE(index->open());
    ASSERT_TRUE(index->refreshAll(stopwatches));
    expectSameAsScan("checked after an unclean close");
    EXPECT_EQ(index->search({})->size(), 40U);
}

TEST_F(RunIndexTest, IndexOfAnotherDataFolderIsNotTrusted) {
    write(testing::clockExample());
    ASSERT_TRUE(index->refreshAll(stopwatches));
    const std::string other = withTrailingSlash(root / "other");
    ASSERT_TRUE(fs.createFolder(other).ok());
    RunIndex foreign(fs, other, index->databasePath());
    index.reset();
    ASSERT_TRUE(foreign.open());
    ASSERT_TRUE(foreign.refreshAll(stopwatches));
    EXPECT_TRUE(foreign.search({})->empty());
}

TEST(RunIndexPlace, LivesInTheCacheFolderOnePerDataFolder) {
    auto env = [](const char* xdg, const char* home) {
        return [=](const char* name) -> const char* {
            return std::string_view(name) == "XDG_CACHE_HOME" ? xdg
                   : std::string_view(name) == "HOME"         ? home
                                                              : nullptr;
        };
    };
    EXPECT_EQ(indexCacheFolder(env("/c", "/h")), "/c/Lapdex/");
    EXPECT_EQ(indexCacheFolder(env("relative", "/h")), "/h/.cache/Lapdex/");
    EXPECT_EQ(indexCacheFolder(env(nullptr, nullptr)), "");
    const std::string a = indexDatabasePath("/c/Lapdex/", "/data/a");
    EXPECT_EQ(a.rfind("/c/Lapdex/runs-", 0), 0U);
    EXPECT_EQ(a, indexDatabasePath("/c/Lapdex", "/data/a/"));
    EXPECT_NE(a, indexDatabasePath("/c/Lapdex/", "/data/b"));
}

TEST(RunDayKey, IsTheDayASearchWouldFindTheNameFor) {
    const struct {
        const char* name;
        const char* key;
    } kCases[] = {
        {"QTM150314_093015_0123456789ab.csv", "QTM150314"},
        {"QTM150314_0930.CSV", "QTM150314"},
        {"QTM150314_2460_x.csv", ""},
        {"qtm150314_0930.csv", ""},
        {"qtm150314_xQTM150314_0930.csv", "QTM150314"},
        {"QTM150314_093015_0123456789ab_bak.csv", ""},
        {"QTM150314_0930.txt", ""},
        {"QTM1503a4_0930.csv", ""},
    };
    for (const auto& c : kCases) EXPECT_EQ(runDayKey(c.name), c.key) << c.name;
}

TEST(RunTimeText, HundredthsOfBothFormats) {
    const struct {
        const char* text;
        std::int64_t hundredths;
        const char* seconds;
    } kCases[] = {
        {"00:02:01.33", 12133, "121.33"},
        {"01:00:00.00", 360000, "3600.00"},
        {"002.999", 17994, "179.94"},
        {"001.500", 9000, "90.00"},
        {"1:2", -1, ""},
        {"00:01:00.5", -1, ""},
        {"", -1, ""},
        {"x.123", -1, ""},
    };
    for (const auto& c : kCases) {
        EXPECT_EQ(runTimeHundredths(c.text), c.hundredths) << c.text;
        EXPECT_EQ(secondsText(runTimeHundredths(c.text)), c.seconds) << c.text;
    }
}

}  // namespace
}  // namespace lapdex

namespace lapdex {
namespace {

TEST_F(RunIndexTest, WithoutADatabaseThePageScansTheFolder) {
    write(testing::clockExample());
    RunIndex broken(fs, data, data + "Lapdex.dat/runs.sqlite");  // a file where a folder should be
    testing::writeBytes(data + "Lapdex.dat", "[x]\r\n");
    EXPECT_FALSE(broken.open());
    EXPECT_FALSE(broken.runsOfDay(page.folder, "QTM240131").has_value());
    page.range = {{2024, 1, 1}, {2024, 2, 10}, 2};
    EXPECT_EQ(computeDayMasks(&broken, fs, page), dayMasksByDaySearch(fs, page));
    EXPECT_EQ(page.handedMasks, std::vector<std::uint32_t>({1U << 30, 0U}));
    EXPECT_TRUE(listRunsOfDay(&broken, fs, page, {2024, 1, 31}));
    EXPECT_EQ(page.paths.size(), 1U);
}

}  // namespace
}  // namespace lapdex

namespace lapdex {
namespace {

TEST_F(RunIndexTest, AStoppedRefreshLosesNothingAndTheNextGoesOn) {
    auto runOn = [](int day) {
        RunRecord run = testing::clockExample();
        run.start = {2015, 3, day, 10, 0, 0};
        return run;
    };
    for (int day = 1; day <= 20; ++day) write(runOn(day));
    ASSERT_TRUE(index->refreshAll(stopwatches));
    for (int day = 21; day <= 25; ++day) write(runOn(day));
    // Stopped before it saw any file: the runs it did not reach are not taken for deleted.
    index->requestStop();
    EXPECT_FALSE(index->refreshFolder("QTM-01"));
    EXPECT_FALSE(index->refreshAll(stopwatches));
    // Nor is an answer given from a folder it could not compare.
    EXPECT_FALSE(index->search({}).has_value());
    const std::string path = index->databasePath();
    index = makeIndex(path);
    ASSERT_TRUE(index->open());
    ASSERT_TRUE(index->refreshAll(stopwatches));
    EXPECT_EQ(index->search({})->size(), 25U);
    expectSameAsScan("after a stopped refresh");
}

TEST(RunIndexKeeperTest, RefreshesOnItsOwnThreadAndStopsAtTheEnd) {
    testing::TempFolder root;
    FileSystem& fs = systemFileSystem();
    const DataFolder data(fs, root / "data");
    ASSERT_TRUE(fs.createFolder(data.path()).ok());
    ASSERT_TRUE(fs.createFolder(data.stopwatchFolder(0)).ok());
    ASSERT_EQ(writeRunFile(fs, data.path(), 0, "0123456789ab", testing::clockExample()).status,
              RunFileWriteStatus::Written);
    const std::string cache = root / "cache";
    RunIndexKeeper keeper(data, [&](const char* name) {
        return std::string_view(name) == "XDG_CACHE_HOME" ? cache.c_str() : nullptr;
    });
    ASSERT_NE(keeper.index(), nullptr);
    keeper.index()->useClock([] { return wallClockNs() + 60'000'000'000; });
    EXPECT_EQ(keeper.index()->databasePath().rfind(cache + "/Lapdex/runs-", 0), 0U);
    keeper.refreshInBackground({{"QTM-01", "0123456789ab", "A", {}}});
    keeper.wait();
    const auto rows = keeper.index()->search({});
    ASSERT_TRUE(rows.has_value());
    ASSERT_EQ(rows->size(), 1U);
    EXPECT_EQ(rows->front().tabName, "A");
    // A rename reaches the index through the next refresh.
    keeper.refreshInBackground({{"QTM-01", "0123456789ab", "B", {}}});
    keeper.wait();
    EXPECT_EQ(keeper.index()->search({})->front().tabName, "B");
    // A run written behind the index's back: the page's query leaves the folder to the scan and
    // has the keeper's thread compare it, after which the index answers.
    RunRecord later = testing::clockExample();
    later.start.day = 20;
    ASSERT_EQ(writeRunFile(fs, data.path(), 0, "0123456789ab", later).status,
              RunFileWriteStatus::Written);
    EXPECT_FALSE(keeper.index()->runsOfDay(data.stopwatchFolder(0), "QTM240120").has_value());
    keeper.wait();
    const auto names = keeper.index()->runsOfDay(data.stopwatchFolder(0), "QTM240120");
    ASSERT_TRUE(names.has_value());
    EXPECT_EQ(names->size(), 1U);
}

}  // namespace
}  // namespace lapdex
