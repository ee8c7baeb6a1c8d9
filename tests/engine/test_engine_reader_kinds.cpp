// The engine downloads through a Sony reader, and through an ACS reader of either answer
// style, exactly alike: the same stopwatch gives the same run files, registration and
// stopwatch-side effects.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "engine/engine.h"
#include "file_system.h"
#include "model/stopwatch.h"
#include "reader_styles.h"
#include "standin/pcsc_standin.h"
#include "temp_folder.h"
#include "worker_test_support.h"

namespace lapdex {
namespace {

using std::chrono::milliseconds;
namespace fs = std::filesystem;

// Everything one download left behind: every file of the data folder by relative path
// with its bytes, and what the stopwatch went through.
struct DownloadOutcome {
    std::map<std::string, std::string> files;
    std::vector<uint8_t> eraseRunParams;
    int beepCount = 0;
    bool completed = false;
};

std::map<std::string, std::string> filesUnder(const std::string& root) {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        if (!entry.is_regular_file()) continue;
        // The contact history carries the time of each contact, which differs between the runs.
        if (entry.path().filename() == "History.csv") continue;
        std::ifstream in(entry.path(), std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        files[fs::relative(entry.path(), root).string()] = text.str();
    }
    return files;
}

// A fresh data folder and engine; one new stopwatch with `runs`, the first `downloaded` of
// them old, laid on a reader answering in `style`, until the download is done.
DownloadOutcome downloadThrough(test::ReaderStyle style, const std::vector<sim::SimRun>& runs,
                                size_t downloaded = 2) {
    sim::Standin& standin = sim::Standin::instance();
    standin.reset();
    test::useReaderStyle(style);
    testing::TempFolder dataPath;
    EngineState state{DataFolder(systemFileSystem(), dataPath.path())};
    state.config = loadConfiguration(state.data, "JPN");
    state.tabs.rebuild(state.config.registry);
    test::RecordingSink sink;
    Engine engine{state, sink, EngineTiming{{milliseconds(5), milliseconds(5)}, milliseconds(5),
                                            milliseconds(5000)}};
    auto watch = std::make_shared<sim::Stopwatch>();
    watch->runs = runs;
    watch->downloadedRuns = downloaded;
    standin.locked([&](sim::Standin& s) { s.card = watch; });
    engine.start();
    DownloadOutcome outcome;
    outcome.completed = sink.waitFor(NTF_DOWNLOAD_DONE, 1, std::chrono::seconds(60));
    engine.stop();
    outcome.files = filesUnder(dataPath.path());
    standin.locked([&](sim::Standin&) {
        outcome.eraseRunParams = watch->eraseRunParams;
        outcome.beepCount = watch->beepCount;
    });
    standin.reset();
    return outcome;
}

TEST(EngineReaderKinds, SonyReaderGivesTheSameRunFilesAsAnAcsReader) {
    // Enough runs for several 192-byte chunks after the two already downloaded.
    const std::vector<sim::SimRun> runs = sim::generateRuns(41, 12);
    const DownloadOutcome acs = downloadThrough(test::ReaderStyle::AcsGetResponse, runs);
    const DownloadOutcome sony = downloadThrough(test::ReaderStyle::Sony, runs);
    ASSERT_TRUE(acs.completed);
    ASSERT_TRUE(sony.completed);
    size_t runFiles = 0;
    for (const auto& [path, bytes] : acs.files) {
        if (path.rfind("QTM-01/QTM", 0) == 0) ++runFiles;
    }
    EXPECT_EQ(runFiles, 10u);
    EXPECT_EQ(sony.files, acs.files);
    EXPECT_EQ(sony.eraseRunParams, acs.eraseRunParams);
    EXPECT_EQ(sony.eraseRunParams, std::vector<uint8_t>{0x01});
    EXPECT_EQ(sony.beepCount, 1);
    EXPECT_EQ(acs.beepCount, 1);
}

// The whole run memory, 65535 bytes in 342 chunks, through each reader style.
TEST(EngineReaderKinds, FullMemoryDownloadGivesTheSameRunFilesThroughEveryReader) {
    sim::Stopwatch full;
    full.runs = sim::generateRuns(11, 900);
    ASSERT_EQ(full.allRunBytes().size(), 65535u);  // the memory is full; the last run is cut
    const std::vector<sim::SimRun>& runs = full.runs;
    std::vector<DownloadOutcome> outcomes;
    for (test::ReaderStyle style : test::kReaderStyles) {
        outcomes.push_back(downloadThrough(style, runs, 0));
        ASSERT_TRUE(outcomes.back().completed);
    }
    size_t runFiles = 0;
    for (const auto& [path, bytes] : outcomes[0].files) {
        if (path.rfind("QTM-01/QTM", 0) == 0) ++runFiles;
    }
    // One run file for every run that lies whole in the memory.
    size_t whole = 0;
    for (size_t bytes = 0; whole < runs.size(); ++whole) {
        bytes += sim::encodeRuns({runs[whole]}).size();
        if (bytes > 65535u) break;
    }
    EXPECT_EQ(runFiles, whole);
    for (size_t i = 1; i < outcomes.size(); ++i) {
        EXPECT_EQ(outcomes[i].files, outcomes[0].files) << "reader style " << i;
        EXPECT_EQ(outcomes[i].eraseRunParams, std::vector<uint8_t>{0x01}) << i;
        EXPECT_EQ(outcomes[i].beepCount, 1) << i;
    }
}

}  // namespace
}  // namespace lapdex
