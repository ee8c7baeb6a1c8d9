// The k7x-tool program through a real pcscd, vpcd's virtual reader and stopwatch-sim: what a
// user's typing mistakes do, and do not do, to the stopwatch.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "child_process.h"
#include "model/stopwatch.h"
#include "pcscd_gtest.h"

#ifndef K7X_TOOL_PATH
#error "K7X_TOOL_PATH must name the k7x-tool program"
#endif

namespace {

using testsupport::ChildProcess;
using testsupport::PcscdFixture;

class K7xToolOverPcscd : public ::testing::Test {
  protected:
    PcscdFixture rig;

    void SetUp() override { LAPDEX_START_PCSCD(rig); }

    // Runs k7x-tool with `arguments`; its exit status, and everything it printed in `output`.
    int tool(const std::vector<std::string>& arguments) {
        std::vector<std::string> argv{K7X_TOOL_PATH};
        argv.insert(argv.end(), arguments.begin(), arguments.end());
        const std::string log = rig.folder() + "/k7x-tool-" + std::to_string(++runs) + ".log";
        ChildProcess child;
        std::string error;
        if (!child.start(argv, log, error)) {
            output = error;
            return -1;
        }
        int status = 0;
        if (!child.waitExit(30000, &status)) return -1;
        std::ifstream in(log);
        output.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    std::string output;
    int runs = 0;
};

TEST_F(K7xToolOverPcscd, ADumpToAMissingFolderKeepsTheNewRuns) {
    const std::vector<sim::SimRun> runs = sim::generateRuns(5, 6);
    const size_t newBytes = sim::encodeRuns(runs, 2).size();
    auto laid = rig.layStopwatch({"--generate", "5:6", "--old", "2"});
    ASSERT_TRUE(laid) << laid.error;
    // Only the last level of a missing folder is made: a typing mistake further up is refused.
    const std::string missing = rig.folder() + "/missing/deeper/new.bin";
    EXPECT_EQ(tool({"dump", "new", missing}), 1) << output;
    EXPECT_EQ(output, "k7x-tool: cannot write " + missing + ": the folder " + rig.folder() +
                          "/missing does not exist\n");
    EXPECT_FALSE(std::filesystem::exists(rig.folder() + "/missing"));
    // The stopwatch still has its new runs: the corrected command gets them all.
    const std::string file = rig.folder() + "/new.bin";
    ASSERT_EQ(tool({"dump", "new", file}), 0) << output;
    EXPECT_EQ(std::filesystem::file_size(file), newBytes);
}

TEST_F(K7xToolOverPcscd, DownloadWritesTheLogIntoTheFolderGiven) {
    auto laid = rig.layStopwatch({"--generate", "6:3"});
    ASSERT_TRUE(laid) << laid.error;
    const std::string logs = rig.folder() + "/logs";
    std::filesystem::create_directory(logs);
    ASSERT_EQ(tool({"--log", logs, "download", "new", rig.folder() + "/data"}), 0) << output;
    EXPECT_GT(std::filesystem::file_size(logs + "/rdcaa_debug.log"), 0u);
    EXPECT_FALSE(std::filesystem::exists(logs + "rdcaa_debug.log"));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(rig.folder() + "/data/QTM-01"),
                            std::filesystem::directory_iterator()),
              3);
}

TEST_F(K7xToolOverPcscd, DownloadWithoutAStopwatchLeavesNoDataFolder) {
    const std::string data = rig.folder() + "/data";
    // The tool's 15 s wait is its own; a missing stopwatch is announced at once.
    EXPECT_EQ(tool({"download", "new", data}), 1);
    EXPECT_EQ(output.rfind("No stopwatch on " + rig.readerName() + " yet", 0), 0u) << output;
    EXPECT_NE(output.find("no stopwatch was laid on " + rig.readerName() + " within 15 s"),
              std::string::npos)
        << output;
    EXPECT_FALSE(std::filesystem::exists(data));
}

TEST_F(K7xToolOverPcscd, DataFolderCommandsAnswerFromTheFoldersWhenTheIndexCannotBeKept) {
    auto laid = rig.layStopwatch({"--generate", "4:3"});
    ASSERT_TRUE(laid) << laid.error;
    const std::string data = rig.folder() + "/data";
    ASSERT_EQ(tool({"download", "new", data}), 0) << output;
    const char* cache = std::getenv("XDG_CACHE_HOME");
    const std::string kept = cache ? cache : "";
    ::setenv("XDG_CACHE_HOME", (rig.folder() + "/cache").c_str(), 1);
    ASSERT_EQ(tool({"runs", data}), 0) << output;
    const std::string indexed = output;
    EXPECT_EQ(std::count(indexed.begin(), indexed.end(), '\n'), 4) << indexed;  // header + 3 runs
    // A file where the cache folder should be: the same lines from the folders, said once.
    std::ofstream(rig.folder() + "/blocker") << "x";
    ::setenv("XDG_CACHE_HOME", (rig.folder() + "/blocker/cache").c_str(), 1);
    EXPECT_EQ(tool({"runs", data}), 0) << output;
    const std::string said = output.substr(0, output.find('\n') + 1);
    EXPECT_EQ(
        said.rfind("k7x-tool: the run index cannot be kept in " + rig.folder() + "/blocker/cache/",
                   0),
        0U)
        << output;
    EXPECT_NE(said.find("; reading the folders of " + data + " instead\n"), std::string::npos);
    EXPECT_EQ(output.substr(said.size()), indexed);
    // A run file that holds no run: named, the rest printed, and the answer is partial.
    std::ofstream(data + "/QTM-01/QTM240301_101010_0.csv") << "no run";
    for (const char* where : {"/cache", "/blocker/cache"}) {
        ::setenv("XDG_CACHE_HOME", (rig.folder() + where).c_str(), 1);
        EXPECT_EQ(tool({"runs", data}), 3) << output;
        EXPECT_NE(output.find("k7x-tool: warning: " + data +
                              "/QTM-01/QTM240301_101010_0.csv: damaged run file; left out\n"),
                  std::string::npos)
            << where << "\n"
            << output;
        EXPECT_NE(output.find(indexed), std::string::npos) << where << "\n" << output;
    }
    if (cache)
        ::setenv("XDG_CACHE_HOME", kept.c_str(), 1);
    else
        ::unsetenv("XDG_CACHE_HOME");
}

}  // namespace
