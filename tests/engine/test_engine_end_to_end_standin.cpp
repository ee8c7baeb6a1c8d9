// The engine with the real store in a temporary data folder and the in-process reader
// stand-in: registration, run files, Lapdex.dat, no-data on a second contact, Reload and
// Clear.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <thread>

#include "engine/engine.h"
#include "file_system.h"
#include "model/stopwatch.h"
#include "standin/pcsc_standin.h"
#include "temp_folder.h"
#include "worker_test_support.h"

namespace lapdex {
namespace {

using std::chrono::milliseconds;
namespace fs = std::filesystem;

std::set<std::string> filesIn(const std::string& folder) {
    std::set<std::string> names;
    if (!fs::is_directory(folder)) return names;
    for (const auto& entry : fs::directory_iterator(folder)) names.insert(entry.path().filename());
    return names;
}

std::string readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

class EngineEndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        sim::Standin::instance().reset();
        state.config = loadConfiguration(state.data, "JPN");
        state.tabs.rebuild(state.config.registry);
    }
    void TearDown() override {
        engine.stop();
        sim::Standin::instance().reset();
    }
    std::shared_ptr<sim::Stopwatch> layOn(int runs, size_t downloaded = 0) {
        auto watch = std::make_shared<sim::Stopwatch>();
        watch->runs = sim::generateRuns(11, runs);
        watch->downloadedRuns = downloaded;
        watch->setBatteryRaw(2450);
        auto lock = sim::Standin::instance().lock();
        sim::Standin::instance().card = watch;
        return watch;
    }
    void liftOff() {
        auto lock = sim::Standin::instance().lock();
        sim::Standin::instance().card = nullptr;
    }
    std::string folder() const { return dataPath.path() + "/QTM-01"; }

    testing::TempFolder dataPath;
    EngineState state{DataFolder(systemFileSystem(), dataPath.path())};
    test::RecordingSink sink;
    Engine engine{state, sink, EngineTiming{{milliseconds(5), milliseconds(5)}, milliseconds(5),
                                            milliseconds(5000)}};
};

TEST_F(EngineEndToEnd, NewStopwatchBecomesRunFilesAndARegistration) {
    layOn(4);
    engine.start();
    ASSERT_TRUE(sink.waitFor(NTF_DOWNLOAD_DONE));
    std::vector<MessageId> ids = sink.idsWithoutAcks();
    // The tab request reaches the window before the completion.
    auto tab = std::find(ids.begin(), ids.end(), NTF_TAB_ADDED);
    auto done = std::find(ids.begin(), ids.end(), NTF_DOWNLOAD_DONE);
    ASSERT_NE(tab, ids.end());
    EXPECT_LT(tab, done);
    EXPECT_EQ(state.shared.notifiedTab.load(), 0);

    std::set<std::string> files = filesIn(folder());
    EXPECT_EQ(files.size(), 4u);
    for (const std::string& name : files) EXPECT_EQ(name.substr(0, 3), "QTM") << name;
    std::string dat = readAll(dataPath / "Lapdex.dat");
    EXPECT_NE(dat.find("QTM01_SERIAL=ab8967452301"), std::string::npos) << dat;
    EXPECT_NE(dat.find("QTM01_NAME=QTM-01"), std::string::npos) << dat;
    engine.withLock([&] {
        EXPECT_EQ(state.tabs.titles(), std::vector<std::string>{"QTM-01"});
        EXPECT_EQ(state.config.registry.entry(0).batteryLevel, 5);
    });
}

TEST_F(EngineEndToEnd, SecondContactGivesNoDataAndReloadWritesOnlyMissingFiles) {
    layOn(3);
    engine.start();
    ASSERT_TRUE(sink.waitFor(NTF_DOWNLOAD_DONE));
    liftOff();
    ASSERT_TRUE(sink.waitFor(NTF_DOWNLOAD_DONE_GONE));
    std::set<std::string> first = filesIn(folder());
    ASSERT_EQ(first.size(), 3u);

    engine.post(CMD_DOWNLOAD_NEW);
    layOn(3, 3);  // the same stopwatch, its runs already downloaded
    ASSERT_TRUE(sink.waitFor(NTF_NO_DATA));
    EXPECT_EQ(filesIn(folder()), first);
    liftOff();
    ASSERT_TRUE(sink.waitFor(NTF_NO_DATA_GONE));

    // One file lost on disk: Reload brings back exactly that one.
    std::string lost = *first.begin();
    std::string kept = *first.rbegin();
    std::string keptBefore = readAll(folder() + "/" + kept);
    fs::remove(folder() + "/" + lost);
    layOn(3, 3);
    engine.postLocked(CMD_DOWNLOAD_ALL);
    ASSERT_TRUE(sink.waitFor(NTF_DOWNLOAD_DONE, 2));
    EXPECT_EQ(filesIn(folder()), first);
    EXPECT_EQ(readAll(folder() + "/" + kept), keptBefore);
    EXPECT_GE(sink.count(NTF_STOPWATCH_FOUND), 1);
}

TEST_F(EngineEndToEnd, ClearOfDownloadedRunsErasesWithoutRegistering) {
    engine.start();
    ASSERT_TRUE(sink.waitFor(NTF_COMMAND_ACK));
    engine.postLocked(CMD_CLEAR);
    ASSERT_TRUE(sink.waitFor(NTF_COMMAND_ACK, 2));
    auto watch = layOn(2, 2);
    ASSERT_TRUE(sink.waitFor(NTF_CLEAR_DONE));
    engine.stop();
    EXPECT_TRUE(watch->runs.empty());
    EXPECT_EQ(state.config.registry.registeredCount(), 0);
    EXPECT_TRUE(filesIn(folder()).empty());
}

TEST_F(EngineEndToEnd, ClearSavesNewRunsAsRunFilesAndRegistersFirst) {
    engine.start();
    ASSERT_TRUE(sink.waitFor(NTF_COMMAND_ACK));
    engine.postLocked(CMD_CLEAR);
    ASSERT_TRUE(sink.waitFor(NTF_COMMAND_ACK, 2));
    auto watch = layOn(3, 1);  // two runs were never downloaded
    ASSERT_TRUE(sink.waitFor(NTF_CLEAR_DONE));
    engine.stop();
    EXPECT_TRUE(watch->runs.empty());
    EXPECT_EQ(state.config.registry.registeredCount(), 1);
    EXPECT_EQ(filesIn(folder()).size(), 2u);
    EXPECT_EQ(state.view.tabTitles(), std::vector<std::string>{"QTM-01"});
    EXPECT_GT(state.shared.newestRunDay.load(), 20000101);
}

TEST_F(EngineEndToEnd, MissingFolderIsReportedAndTheDownloadStillCompletes) {
    // A file where the stopwatch's folder should be: no run file can be written.
    std::ofstream(dataPath / "QTM-01") << "not a folder";
    layOn(2);
    engine.start();
    ASSERT_TRUE(sink.waitFor(NTF_DOWNLOAD_DONE));
    EXPECT_EQ(sink.count(NTF_RUN_FILE_ERROR), 1);
}

}  // namespace
}  // namespace lapdex
