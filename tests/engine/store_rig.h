// A download worker over the real store in a temporary data folder and the in-process
// reader stand-in, with helpers to lay, lift and wait, for the fault sweeps.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "engine/download_worker.h"
#include "engine/engine_state.h"
#include "engine/store_worker_host.h"
#include "file_system.h"
#include "model/stopwatch.h"
#include "standin/pcsc_standin.h"
#include "temp_folder.h"
#include "worker_test_support.h"

namespace lapdex::test {

inline constexpr char kRigSerial[] = "ab8967452301";

// Every file below `root` (relative path -> bytes), hidden ones included, but the contact history.
inline std::map<std::string, std::string> filesBelow(const std::string& root) {
    namespace fs = std::filesystem;
    std::map<std::string, std::string> files;
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(root, ec); !ec && it != fs::end(it);
         it.increment(ec)) {
        if (!it->is_regular_file()) continue;
        // The contact history grows with every contact by design; these comparisons are about
        // the data set's runs and configuration.
        if (it.depth() == 0 && it->path().filename() == "History.csv") continue;
        std::ifstream in(it->path(), std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        files[fs::relative(it->path(), root).string()] = text.str();
    }
    return files;
}

inline std::vector<std::string> keysOf(const std::map<std::string, std::string>& files) {
    std::vector<std::string> keys;
    for (const auto& [name, bytes] : files) keys.push_back(name);
    return keys;
}

// A stopwatch whose runs fill several chunks of run data.
inline std::shared_ptr<sim::Stopwatch> multiChunkStopwatch(int runs = 8) {
    auto watch = std::make_shared<sim::Stopwatch>();
    watch->runs = sim::generateRuns(7, runs);
    watch->setBatteryRaw(2450);
    return watch;
}

// Notifications follow the transfer protocol: every start is closed by an end before
// anything else starts, and none is left open.
inline ::testing::AssertionResult transfersArePaired(const std::vector<MessageId>& ids) {
    bool open = false;
    for (size_t i = 0; i < ids.size(); ++i) {
        if (ids[i] == NTF_TRANSFER_START) {
            if (open) return ::testing::AssertionFailure() << "second start at " << i;
            open = true;
        } else if (ids[i] == NTF_TRANSFER_END) {
            if (!open) return ::testing::AssertionFailure() << "end without start at " << i;
            open = false;
        }
    }
    if (open) return ::testing::AssertionFailure() << "transfer left open";
    return ::testing::AssertionSuccess();
}

class StoreRig {
  public:
    explicit StoreRig(FileSystem& fs = systemFileSystem(),
                      std::chrono::milliseconds tick = std::chrono::milliseconds(2))
        : state(DataFolder(fs, folder.path())),
          worker(state.lock, state.shared, host, sink, WorkerTiming{tick, tick}) {
        sim::Standin::instance().reset();
        state.config = loadConfiguration(state.data, "JPN");
        state.tabs.rebuild(state.config.registry);
    }
    ~StoreRig() {
        worker.stop();
        sim::Standin::instance().reset();
    }
    StoreRig(const StoreRig&) = delete;
    StoreRig& operator=(const StoreRig&) = delete;

    // Registers the stand-in stopwatch's serial before the worker runs (slot 0).
    void preRegister() {
        addStopwatch(state.config, state.data, kRigSerial,
                     [this](const TabRequest& r) { state.tabs.apply(r); });
    }
    void start(MessageId first) {
        worker.post(first);
        worker.start();
    }
    void layOn(const std::shared_ptr<sim::Stopwatch>& watch, int liftAt = 0) {
        auto guard = sim::Standin::instance().lock();
        sim::Standin::instance().liftCardAt = liftAt;
        sim::Standin::instance().card = watch;
    }
    int exchanges() {
        auto guard = sim::Standin::instance().lock();
        return static_cast<int>(sim::Standin::instance().transcript.size());
    }
    // Waits until the stand-in has seen `count` exchanges, then until the worker's tick
    // that saw the last of them has ended (the tick holds the worker lock throughout).
    bool waitExchanges(int count,
                       std::chrono::milliseconds timeout = std::chrono::milliseconds(5000)) {
        auto until = std::chrono::steady_clock::now() + timeout;
        while (exchanges() < count) {
            if (std::chrono::steady_clock::now() > until) return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        std::lock_guard<std::mutex> guard(state.lock);
        return true;
    }
    std::string dataPath() const { return folder.path(); }
    std::map<std::string, std::string> files() const { return filesBelow(folder.path()); }

    testing::TempFolder folder;
    EngineState state;
    RecordingSink sink;
    StoreWorkerHost host{state, sink};
    DownloadWorker worker;
};

}  // namespace lapdex::test
