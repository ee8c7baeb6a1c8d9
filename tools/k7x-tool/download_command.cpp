#include "download_command.h"

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <filesystem>
#include <mutex>
#include <optional>
#include <vector>

#include "configuration.h"
#include "data_folder.h"
#include "engine/download_worker.h"
#include "engine/engine_state.h"
#include "engine/store_worker_host.h"
#include "rdcom32.h"

namespace k7x {
namespace {

using lapdex::MessageId;

// Remembers the notifications and wakes the waiting main thread on the final one.
class DownloadWatcher : public lapdex::NotificationSink {
public:
    void post(MessageId id) override {
        std::lock_guard<std::mutex> guard(mutex_);
        if (id == lapdex::NTF_RUN_FILE_ERROR) writeFailed_ = true;
        if (isFinal(id)) final_ = id;
        changed_.notify_all();
    }
    std::optional<MessageId> waitForFinal(std::chrono::seconds timeout) {
        std::unique_lock<std::mutex> lock(mutex_);
        changed_.wait_for(lock, timeout, [this] { return final_.has_value(); });
        return final_;
    }
    bool writeFailed() {
        std::lock_guard<std::mutex> guard(mutex_);
        return writeFailed_;
    }

private:
    static bool isFinal(MessageId id) {
        return id == lapdex::NTF_DOWNLOAD_DONE || id == lapdex::NTF_NO_DATA ||
               id == lapdex::NTF_COMM_ERROR || id == lapdex::NTF_REGISTRY_FULL;
    }
    std::mutex mutex_;
    std::condition_variable changed_;
    std::optional<MessageId> final_;
    bool writeFailed_ = false;
};

size_t countFiles(const std::string& folder) {
    std::error_code error;
    size_t count = 0;
    for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end;
         it.increment(error)) {
        ++count;
    }
    return count;
}

int report(MessageId outcome, lapdex::EngineState& state, bool writeFailed) {
    if (outcome == lapdex::NTF_COMM_ERROR) {
        std::fprintf(stderr, "k7x-tool: the stopwatch did not answer reliably; lay it on again\n");
        return 1;
    }
    if (outcome == lapdex::NTF_REGISTRY_FULL) {
        std::fprintf(stderr, "k7x-tool: 100 stopwatches are registered; this one cannot be\n");
        return 1;
    }
    std::printf("%s\n", outcome == lapdex::NTF_NO_DATA ? "No new runs." : "Download finished.");
    int tab = state.shared.notifiedTab.load();
    if (tab >= 0 && tab < static_cast<int>(state.tabs.titles().size())) {
        int slot = state.config.registry.findByName(state.tabs.titles()[tab]);
        if (slot >= 0) {
            std::string folder = state.data.stopwatchFolder(slot);
            std::printf("Stopwatch %s: %zu run files in %s\n",
                        state.config.registry.entry(slot).displayName.c_str(), countFiles(folder),
                        folder.c_str());
        }
    }
    if (writeFailed) {
        std::fprintf(stderr, "k7x-tool: some run files could not be written (disk full or "
                             "folder missing?); their runs stay on the stopwatch for 'download all'\n");
        return 1;
    }
    return 0;
}

}  // namespace

int runDownload(const Invocation& invocation) {
    std::error_code error;
    std::filesystem::create_directories(invocation.file, error);
    lapdex::EngineState state(lapdex::DataFolder(lapdex::systemFileSystem(), invocation.file));
    state.config = lapdex::loadConfiguration(
        state.data, lapdex::localeDefaultLocation(lapdex::processEnvironment()));
    lapdex::createStopwatchFolders(state.data, state.config.registry);
    if (!lapdex::saveConfiguration(state.data, state.config).ok()) {
        std::fprintf(stderr, "k7x-tool: cannot write %s\n", state.data.configurationFile().c_str());
        return 1;
    }
    state.tabs.rebuild(state.config.registry);
    state.clockSync.store(state.config.settings.pcTime == "ON");
    if (!invocation.logDirectory.empty()) RDCAA_SetDllLogPath(invocation.logDirectory.c_str());

    DownloadWatcher watcher;
    lapdex::StoreWorkerHost host(state, watcher);
    lapdex::DownloadWorker worker(state.lock, state.shared, host, watcher);
    worker.post(invocation.command == Command::DownloadAll ? lapdex::CMD_DOWNLOAD_ALL
                                                           : lapdex::CMD_DOWNLOAD_NEW);
    worker.start();
    std::optional<MessageId> outcome = watcher.waitForFinal(std::chrono::seconds(15));
    worker.stop();
    if (!outcome) {
        std::fprintf(stderr, "k7x-tool: no stopwatch was laid on the reader within 15 s\n");
        return 1;
    }
    return report(*outcome, state, watcher.writeFailed());
}

}  // namespace k7x
