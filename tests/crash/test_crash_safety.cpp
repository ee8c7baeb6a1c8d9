// Kills a process that downloads and edits memos at random moments (fixed seed): after every
// kill each run file is complete and readable, Lapdex.dat loads and no leftover is a run.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "kill_loop.h"
#include "temp_folder.h"

namespace lapdex {
namespace {

TEST(CrashSafety, KilledAtRandomMomentsEveryRunFileIsComplete) {
    testing::TempFolder folder;
    const std::string data = folder / "data";
    std::filesystem::create_directory(data);
    // Up to 400 ms: a sanitizer build needs about 150 ms to open the run index and reach its
    // first download, and the kills must also fall inside downloads and memo edits.
    crash::KillLoopReport report =
        crash::runKillLoop(LAPDEX_CRASH_CHILD, data, 30, 20260901, 5, 400);
    for (const std::string& problem : report.problems) ADD_FAILURE() << problem;
    EXPECT_EQ(report.kills, 30);
    // The child got far enough to download and to edit memos before it was killed.
    EXPECT_GT(report.runFiles, 10);
    EXPECT_GT(report.editedRunFiles, 0);
    RecordProperty("kills", report.kills);
    RecordProperty("runFiles", report.runFiles);
    RecordProperty("leftovers", report.leftovers);
}

TEST(CrashSafety, LeftoversOfAKilledRewriteAreNotTakenForRuns) {
    // What a kill between the "_bak.csv" copy and the rename, or inside a write, leaves behind.
    testing::TempFolder folder;
    const std::string data = folder / "data";
    std::filesystem::create_directories(data + "/QTM-01");
    crash::KillLoopReport report;
    crash::checkDataFolder(data, report);
    EXPECT_TRUE(report.problems.empty());
    for (const char* name : {"/QTM-01/QTM010101_080000_ab8967452301_bak.csv",
                             "/QTM-01/.QTM010101_090001_ab8967452301.csv.tmp-99-1"}) {
        std::ofstream(data + name) << "partial";
    }
    crash::checkDataFolder(data, report);
    EXPECT_TRUE(report.problems.empty()) << report.problems.front();
    EXPECT_EQ(report.leftovers, 2);
}

}  // namespace
}  // namespace lapdex
