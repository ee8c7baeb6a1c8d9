// The run index's refresh thread.
#include "run_index_keeper.h"

#include "index_location.h"
#include "run_file_writer.h"

namespace lapdex {

std::vector<RunStopwatch> indexedStopwatches(const StopwatchRegistry& registry) {
    std::vector<RunStopwatch> stopwatches;
    for (int slot = 0; slot < kSlotCount; ++slot) {
        if (!registry.isInUse(slot)) continue;
        const StopwatchEntry& entry = registry.entry(slot);
        stopwatches.push_back({stopwatchFolderName(slot), entry.serialText, entry.displayName, {}});
    }
    return stopwatches;
}

std::unique_ptr<RunIndex> makeRunIndex(const DataFolder& data, const EnvironmentLookup& environment,
                                       FolderOwner owner) {
    const std::string cache = indexCacheFolder(environment);
    if (cache.empty()) return nullptr;
    std::string canonical = data.fs().canonicalPath(data.path());
    if (canonical.empty()) canonical = data.path();
    std::string database = indexDatabasePath(cache, canonical);
    // The same folder read as a club folder takes fewer files for runs: another database.
    if (owner == FolderOwner::Club) database.insert(database.rfind('/') + 1, "club-");
    return std::make_unique<RunIndex>(data.fs(), data.path(), std::move(database), owner);
}

RunIndexKeeper::RunIndexKeeper(const DataFolder& data, const EnvironmentLookup& environment,
                               FolderOwner owner)
    : index_(makeRunIndex(data, environment, owner)) {
    if (index_)
        index_->onRefreshWanted([this](const std::string& name) { compareInBackground(name); });
}

RunIndexKeeper::~RunIndexKeeper() {
    // A first build of a large data folder takes seconds: the program does not wait for it to end.
    if (index_) index_->requestStop();
    wait();
}

void RunIndexKeeper::refreshInBackground(std::vector<RunStopwatch> stopwatches) {
    if (!index_) return;
    // Told at once, so every answer from now on has it; only the folders' comparison waits.
    index_->registryChanged(std::move(stopwatches));
    std::lock_guard<std::mutex> lock(mutex_);
    pending_ = true;
    startLocked();
}

void RunIndexKeeper::compareInBackground(const std::string& folderName) {
    std::lock_guard<std::mutex> lock(mutex_);
    folders_.insert(folderName);
    startLocked();
}

void RunIndexKeeper::startLocked() {
    if (running_) return;
    // A thread that is not running has left run(): joining it does not wait.
    if (thread_.joinable()) thread_.join();
    running_ = true;
    thread_ = std::thread([this] { run(); });
}

void RunIndexKeeper::run() {
    for (;;) {
        bool open = false;
        bool all = false;
        std::set<std::string> folders;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (!pending_ && folders_.empty()) {
                running_ = false;
                return;
            }
            all = pending_;
            pending_ = false;
            folders.swap(folders_);
            open = !opened_;
            opened_ = true;
        }
        if (open) (void)index_->open();
        const std::uint64_t before = index_->rowChanges();
        // A whole refresh compares every folder a single one would.
        if (all) (void)index_->refreshRegistered();
        for (const std::string& folder : all ? std::set<std::string>{} : folders)
            (void)index_->compareFolder(folder);
        if (changed_ && index_->rowChanges() != before) changed_();
    }
}

void RunIndexKeeper::wait() {
    std::thread finished;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        finished = std::move(thread_);
    }
    if (finished.joinable()) finished.join();
}

}  // namespace lapdex
