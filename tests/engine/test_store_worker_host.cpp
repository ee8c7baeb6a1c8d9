// The worker's store host writes a download's runs as one batch and tells the engine when any run
// could not be written, so the runs are never counted as safe on disk.
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>

#include "contact_history.h"
#include "engine_state.h"
#include "run_data_builder.h"
#include "run_index_keeper.h"
#include "serial_text.h"
#include "store_worker_host.h"
#include "temp_folder.h"
#include "worker_context.h"
#include "worker_test_support.h"

namespace lapdex {
namespace {

// Fails, as a full disk would, every new file whose path contains `failing`.
class FailingFileSystem : public PosixFileSystem {
  public:
    std::string failing;
    std::vector<FsStatus> createFiles(const std::vector<NewFile>& files,
                                      ReadOnly attribute) override {
        std::vector<FsStatus> statuses(files.size(), FsStatus{FsError::Io, ENOSPC});
        std::vector<NewFile> kept;
        std::vector<std::size_t> where;
        for (std::size_t i = 0; i < files.size(); ++i) {
            if (failing.empty() || files[i].path.find(failing) == std::string::npos) {
                kept.push_back(files[i]);
                where.push_back(i);
            }
        }
        const std::vector<FsStatus> done = PosixFileSystem::createFiles(kept, attribute);
        for (std::size_t k = 0; k < done.size(); ++k) statuses[where[k]] = done[k];
        return statuses;
    }
};

class StoreWorkerHostTest : public ::testing::Test {
  protected:
    void SetUp() override {
        state.config = loadConfiguration(state.data, "JPN");
        ASSERT_EQ(addStopwatch(state.config, state.data, kSerial, [](const TabRequest&) {}), 0);
        ctx.serialText = kSerial;
        std::vector<std::uint8_t> data;
        for (std::uint8_t minute : {10, 11, 12}) {
            testing::appendRun(data, {.minute = minute}, {{0, 1, 10, 50}, {0, 2, 15, 20}});
        }
        std::copy(data.begin(), data.end(), ctx.runData.begin());
        ctx.runDataLength = static_cast<std::uint16_t>(data.size());
    }
    std::size_t runFileCount() {
        std::size_t count = 0;
        for (const FolderEntry& e : fs.listFolder(folder / "QTM-01").entries)
            count += e.name.starts_with("QTM") ? 1 : 0;
        return count;
    }
    bool writeRunFiles() {
        std::lock_guard<std::mutex> guard(state.lock);
        return host.writeRunFiles(ctx);
    }

    static constexpr const char* kSerial = "0123456789ab";
    FailingFileSystem fs;
    testing::TempFolder folder;
    EngineState state{DataFolder(fs, folder.path())};
    test::RecordingSink sink;
    StoreWorkerHost host{state, sink};
    WorkerContext ctx;
};

TEST_F(StoreWorkerHostTest, WritesEveryRunOfTheDownload) {
    EXPECT_TRUE(writeRunFiles());
    EXPECT_EQ(runFileCount(), 3u);
    EXPECT_EQ(fs.listFolder(folder / "QTM-01").entries.size(), 3u);
    EXPECT_TRUE(writeRunFiles());  // a Reload of the same runs finds them all in place
}

TEST_F(StoreWorkerHostTest, ReportsFailureWhenOneRunCannotBeWritten) {
    fs.failing = "_091115_";
    EXPECT_FALSE(writeRunFiles());
    EXPECT_EQ(runFileCount(), 2u);
    EXPECT_EQ(fs.kindOf(folder / "QTM-01/QTM240131_091115_0123456789ab.csv"), EntryKind::None);
    fs.failing.clear();
    EXPECT_TRUE(writeRunFiles());  // once there is room the missing run is written
    EXPECT_EQ(runFileCount(), 3u);
}

TEST_F(StoreWorkerHostTest, AnUnknownStopwatchWritesNothing) {
    ctx.serialText = "ffffffffffff";
    EXPECT_FALSE(writeRunFiles());
    EXPECT_EQ(runFileCount(), 0u);
}

TEST_F(StoreWorkerHostTest, EachContactAddsOneLineToTheHistory) {
    fs.failing = "_091115_";
    ctx.rawBattery = 2900;
    ctx.currentCommand = CMD_DOWNLOAD_ALL;
    (void)writeRunFiles();
    host.contactEnded(ctx, ContactAction::Reload);
    fs.failing.clear();
    ctx.runDataLength = 0;
    host.contactEnded(ctx, ContactAction::Download);
    host.contactEnded(ctx, ContactAction::Clear);
    host.contactFailed(ctx, ContactAction::Download);
    const HistoryReading history = readContactHistory(state.data);
    EXPECT_TRUE(history.damagedLines.empty());
    ASSERT_EQ(history.records.size(), 4u);
    const ContactRecord& reload = history.records[0];
    EXPECT_EQ(reload.serialText, kSerial);
    EXPECT_EQ(reload.tabName, "QTM-01");
    EXPECT_EQ(reload.action, ContactAction::Reload);
    EXPECT_EQ(reload.runsWritten, 2);
    EXPECT_EQ(reload.runsFailed, 1);
    EXPECT_EQ(reload.rawBattery, 2900);
    EXPECT_EQ(reload.batteryLevel, batteryLevelFromRaw(2900));
    EXPECT_EQ(reload.result, "write failed");
    EXPECT_EQ(reload.localTime.size(), 19u);
    // The counts belong to one exchange: the next contact starts from zero.
    EXPECT_EQ(history.records[1].runsWritten, 0);
    EXPECT_EQ(history.records[1].result, "no data");
    EXPECT_EQ(history.records[2].action, ContactAction::Clear);
    EXPECT_EQ(history.records[2].result, "ok");
    // A failed contact names the stopwatch but claims no battery reading.
    EXPECT_EQ(history.records[3].serialText, kSerial);
    EXPECT_EQ(history.records[3].result, kContactFailed);
    EXPECT_EQ(history.records[3].batteryLevel, 0);
}

// A stopwatch laid on for the first time during a session: the index has it, and the runs of
// its first download with the bests they set, as a fresh index reading the folders would.
TEST_F(StoreWorkerHostTest, ANewStopwatchReachesTheIndexAtOnce) {
    RunIndex index(fs, state.data.path(), folder / "cache/runs.sqlite");
    ASSERT_TRUE(index.open());
    ASSERT_TRUE(index.refreshAll(indexedStopwatches(state.config.registry)));
    state.runIndex = &index;
    ctx.serialText = "0000000000c3";
    {
        std::lock_guard<std::mutex> guard(state.lock);
        host.registerStopwatch(ctx.serialText);
    }
    const auto listed = index.stopwatches();
    ASSERT_TRUE(listed.has_value());
    RunIndex fresh(fs, state.data.path(), folder / "cache/fresh.sqlite");
    ASSERT_TRUE(fresh.open());
    fresh.registryChanged(indexedStopwatches(state.config.registry));
    const auto expected = fresh.registeredStopwatches();
    ASSERT_TRUE(expected.has_value());
    ASSERT_EQ(listed->size(), 2u);
    EXPECT_EQ(listed->back().folderName, expected->back().folderName);
    EXPECT_EQ(listed->back().serialText, "0000000000c3");
    EXPECT_TRUE(writeRunFiles());
    const auto rows = index.search({});
    const RunListing reference = fresh.listRuns({});
    ASSERT_TRUE(rows.has_value());
    ASSERT_EQ(rows->size(), 3u);
    ASSERT_EQ(reference.rows.size(), rows->size());
    for (std::size_t i = 0; i < rows->size(); ++i) {
        EXPECT_EQ((*rows)[i].fileName, reference.rows[i].fileName);
        EXPECT_EQ((*rows)[i].folderName, "QTM-02");
    }
    // The bests the download set are those bestsSetBy finds among the folder's runs.
    std::set<std::string> written;
    for (const RunRow& row : reference.rows) written.insert(row.fileName);
    const std::vector<BestSet> expectedBests = bestsSetBy(reference.rows, written);
    std::lock_guard<std::mutex> guard(state.lock);
    EXPECT_EQ(state.downloadBests.size(), expectedBests.size());
    state.runIndex = nullptr;
}

}  // namespace
}  // namespace lapdex
