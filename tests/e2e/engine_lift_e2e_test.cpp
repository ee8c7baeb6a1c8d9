// A sample of the card-lift sweep through pcscd, vpcd and stopwatch-sim: the download worker
// over the real store, the stopwatch leaving after N exchanges and laid on again.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "engine/download_worker.h"
#include "engine/engine_state.h"
#include "engine/store_worker_host.h"
#include "file_system.h"
#include "pcscd_gtest.h"

namespace lapdex {
namespace {

using std::chrono::milliseconds;
using testsupport::PcscdFixture;

// The value of `name` in stopwatch-sim's closing state line ("" when absent).
std::string stateField(const std::string& output, const std::string& name) {
    size_t line = output.rfind("state: ");
    if (line == std::string::npos) return "";
    std::string state = output.substr(line, output.find('\n', line) - line);
    size_t at = state.find(" " + name + "=");
    if (at == std::string::npos) return "";
    size_t from = at + name.size() + 2;
    return state.substr(from, state.find(' ', from) - from);
}

std::map<std::string, std::string> filesBelow(const std::string& root) {
    namespace fs = std::filesystem;
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        if (!entry.is_regular_file()) continue;
        // The contact history records each contact with its time: it differs from run to run.
        if (entry.path().filename() == "History.csv") continue;
        std::ifstream in(entry.path(), std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        files[fs::relative(entry.path(), root).string()] = text.str();
    }
    return files;
}

// Records notifications; waits for one of them.
class Sink : public NotificationSink {
  public:
    void post(MessageId id) override {
        std::lock_guard<std::mutex> guard(mutex_);
        ids_.push_back(id);
        changed_.notify_all();
    }
    int count(MessageId id) {
        std::lock_guard<std::mutex> guard(mutex_);
        return static_cast<int>(std::count(ids_.begin(), ids_.end(), id));
    }
    bool waitAny(std::initializer_list<MessageId> wanted, int already, milliseconds timeout) {
        std::unique_lock<std::mutex> lock(mutex_);
        return changed_.wait_for(lock, timeout, [&] {
            int seen = 0;
            for (MessageId id : wanted)
                seen += static_cast<int>(std::count(ids_.begin(), ids_.end(), id));
            return seen > already;
        });
    }

  private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<MessageId> ids_;
};

// One data folder and a worker over it.
struct Station {
    explicit Station(const std::string& folder) : state(DataFolder(systemFileSystem(), folder)) {
        std::filesystem::create_directories(folder);
        state.config = loadConfiguration(state.data, "JPN");
    }
    EngineState state;
    Sink sink;
    StoreWorkerHost host{state, sink};
    DownloadWorker worker{state.lock, state.shared, host, sink,
                          WorkerTiming{milliseconds(20), milliseconds(20)}};
};

class EngineLiftOverPcscd : public ::testing::Test {
  protected:
    void SetUp() override { LAPDEX_START_PCSCD(rig); }
    std::string dataFolder(const std::string& name) { return rig.folder() + "/" + name; }

    PcscdFixture rig;
    const std::vector<std::string> runs{"--generate", "7:8"};
};

TEST_F(EngineLiftOverPcscd, SampleOfLiftsEndsWithEveryRunStored) {
    // The clean download gives the reference files and the exchange count.
    std::map<std::string, std::string> reference;
    long apdus = 0;
    {
        Station clean(dataFolder("clean"));
        auto laid = rig.layStopwatch(runs);
        ASSERT_TRUE(laid) << laid.error;
        clean.worker.post(CMD_DOWNLOAD_NEW);
        clean.worker.start();
        ASSERT_TRUE(clean.sink.waitAny({NTF_DOWNLOAD_DONE}, 0, milliseconds(20000)));
        ASSERT_TRUE(clean.worker.stop());
        auto lifted = rig.liftStopwatch();
        ASSERT_TRUE(lifted) << lifted.error;
        reference = filesBelow(dataFolder("clean"));
        apdus = std::stol("0" + stateField(rig.simulatorOutput(), "apdus"));
    }
    ASSERT_EQ(reference.size(), 9u);
    ASSERT_GT(apdus, 20);
    // Early (polling), in the chunks, around the erase and at the beep.
    for (long n : {2L, apdus / 3, apdus / 2, apdus - 6, apdus - 3, apdus - 1}) {
        const std::string where = "lift after " + std::to_string(n);
        Station station(dataFolder("lift" + std::to_string(n)));
        std::vector<std::string> args = runs;
        args.insert(args.end(), {"--lift-after", std::to_string(n)});
        auto laid = rig.layStopwatch(args);
        ASSERT_TRUE(laid) << laid.error << where;
        station.worker.post(CMD_DOWNLOAD_NEW);
        station.worker.start();
        auto gone = rig.waitStopwatchGone();
        ASSERT_TRUE(gone) << gone.error << where;
        const bool erased = stateField(rig.simulatorOutput(), "erase-run") == "01";
        // Let the worker end its attempts, as the window's error dialog would.
        station.sink.waitAny({NTF_COMM_ERROR, NTF_DOWNLOAD_DONE_GONE}, 0, milliseconds(3000));
        { std::lock_guard<std::mutex> guard(station.state.lock); }
        // The same stopwatch again: runs it took the erase for are old now.
        std::vector<std::string> again = runs;
        if (erased) again.insert(again.end(), {"--old", "8"});
        laid = rig.layStopwatch(again);
        ASSERT_TRUE(laid) << laid.error << where;
        int before = station.sink.count(NTF_DOWNLOAD_DONE) + station.sink.count(NTF_NO_DATA);
        station.worker.post(CMD_DOWNLOAD_NEW);
        ASSERT_TRUE(
            station.sink.waitAny({NTF_DOWNLOAD_DONE, NTF_NO_DATA}, before, milliseconds(20000)))
            << where;
        ASSERT_TRUE(station.worker.stop());
        auto lifted = rig.liftStopwatch();
        ASSERT_TRUE(lifted) << lifted.error << where;
        EXPECT_EQ(station.sink.count(NTF_TRANSFER_START), station.sink.count(NTF_TRANSFER_END))
            << where;
        EXPECT_EQ(station.sink.count(NTF_RUN_FILE_ERROR), 0) << where;
        EXPECT_EQ(filesBelow(dataFolder("lift" + std::to_string(n))), reference) << where;
    }
}

}  // namespace
}  // namespace lapdex
