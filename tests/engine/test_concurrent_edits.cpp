// The window's changes of stored data (memo edits, run deletions, renames, removals), issued
// under the worker lock while downloads run with a short tick: no race (this runs under
// ThreadSanitizer too), no file in a removed folder, no memo lost.
#include <gtest/gtest.h>

#include <random>
#include <set>

#include "contact_history.h"
#include "data_procedures.h"
#include "memo_rewrite.h"
#include "run_catalogue.h"
#include "scripted_ui.h"
#include "store_rig.h"

namespace lapdex {
namespace {

using std::chrono::milliseconds;

// A stopwatch whose runs all fall on a day of their own.
std::shared_ptr<sim::Stopwatch> stopwatchOfDay(int day) {
    auto watch = std::make_shared<sim::Stopwatch>();
    watch->runs = sim::generateRuns(static_cast<uint32_t>(day) + 100, 3);
    for (size_t j = 0; j < watch->runs.size(); ++j) {
        watch->runs[j].month = 1 + day / 28;
        watch->runs[j].day = 1 + day % 28;
        watch->runs[j].hour = 6 + static_cast<int>(j);
    }
    return watch;
}

std::vector<std::string> runFilesIn(const std::string& folder) {
    std::vector<std::string> paths;
    for (const FolderEntry& e : systemFileSystem().listFolder(folder).entries) {
        if (e.name.starts_with("QTM") && e.name.ends_with(".csv"))
            paths.push_back(folder + "/" + e.name);
    }
    std::sort(paths.begin(), paths.end());
    return paths;
}

TEST(ConcurrentEdits, WindowChangesWhileDownloadsRunLoseNothing) {
    test::StoreRig rig(systemFileSystem(), milliseconds(1));
    std::mt19937 random(5);
    std::map<std::string, std::string> memos;  // run file -> the memo it must still hold
    int edits = 0, deletions = 0, renames = 0, removals = 0;
    rig.start(CMD_DOWNLOAD_NEW);
    auto underLock = [&](auto&& work) {
        std::lock_guard<std::mutex> guard(rig.state.lock);
        work();
    };
    // At least 60 rounds, and more on a busy machine until every kind of change has happened.
    auto coveredAll = [&] { return edits > 10 && deletions > 0 && renames > 0 && removals > 0; };
    for (int round = 0; round < 60 || (round < 600 && !coveredAll()); ++round) {
        // A stopwatch with new runs arrives; the worker downloads it on its next ticks.
        rig.layOn(stopwatchOfDay(round));
        rig.worker.post(CMD_DOWNLOAD_NEW);
        std::this_thread::sleep_for(milliseconds(random() % 3));
        // Meanwhile the window changes stored data, as its page and menus do.
        underLock([&] {
            Configuration& config = rig.state.config;
            const int slot = config.registry.findBySerial(test::kRigSerial);
            if (slot < 0) return;
            const std::string folder = rig.state.data.stopwatchFolder(slot);
            std::vector<std::string> runs = runFilesIn(folder);
            switch (random() % 6) {
                case 0:
                case 1:
                case 2:
                    if (!runs.empty()) {
                        const std::string path = runs[random() % runs.size()];
                        const std::string memo = "memo " + std::to_string(++edits);
                        if (rewriteMemo(rig.state.data.fs(), path, memo, MemoKind::Run, 0).ok())
                            memos[path] = memo;
                    }
                    break;
                case 3:
                    if (!runs.empty()) {
                        const std::string path = runs[random() % runs.size()];
                        if (deleteRunFile(rig.state.data.fs(), path).ok()) {
                            memos.erase(path);
                            ++deletions;
                        }
                    }
                    break;
                case 4:
                    if (renameStopwatch(config, rig.state.data, slot,
                                        "Team " + std::to_string(++renames))) {
                        rig.state.tabs.rebuild(config.registry);
                    }
                    break;
                case 5: {
                    testing::ScriptedUi ui;
                    testing::FixedClock clock{testing::march14At093015()};
                    const std::string name = config.registry.entry(slot).displayName;
                    if (removeStopwatchData(ui, rig.state.data, config, clock, name) ==
                        ProcedureOutcome::Done) {
                        rig.state.tabs.rebuild(config.registry);
                        for (auto it = memos.begin(); it != memos.end();) {
                            it = it->first.starts_with(folder + "/") ? memos.erase(it)
                                                                     : std::next(it);
                        }
                        ++removals;
                        // Nothing may reach the removed folder while the lock is held.
                        EXPECT_EQ(systemFileSystem().kindOf(folder), EntryKind::None);
                    }
                    break;
                }
            }
        });
        rig.layOn(nullptr);
    }
    ASSERT_TRUE(rig.worker.stop());
    EXPECT_GT(edits, 10);
    EXPECT_GT(deletions, 0);
    EXPECT_GT(renames, 0);
    EXPECT_GT(removals, 0);
    // Every memo set and not deleted since is still there.
    for (const auto& [path, memo] : memos) {
        FsBytes bytes = systemFileSystem().readFile(path);
        ASSERT_TRUE(bytes.ok()) << path;
        EXPECT_NE(bytes.bytes.find("\"" + memo + "\""), std::string::npos) << path;
    }
    // Only the registered stopwatch has a folder, no backup folder is left, no stray file.
    const int slot = rig.state.config.registry.findBySerial(test::kRigSerial);
    for (const FolderEntry& e : systemFileSystem().listFolder(rig.dataPath()).entries) {
        if (e.name == "Lapdex.dat" || e.name == "History.csv") continue;
        EXPECT_EQ(e.kind, EntryKind::Folder) << e.name;
        EXPECT_FALSE(e.name.starts_with("Temp_")) << e.name;
        EXPECT_TRUE(slot >= 0 && e.name == DataFolder::stopwatchFolderName(slot)) << e.name;
    }
    // The contact history survived the removals and holds only whole records.
    const HistoryReading history = readContactHistory(rig.state.data);
    EXPECT_TRUE(history.damagedLines.empty());
    EXPECT_FALSE(history.records.empty());
    RecordProperty("edits", edits);
    RecordProperty("removals", removals);
}

}  // namespace
}  // namespace lapdex
