// Everything the window and the worker share: the one worker lock and what it guards
// (configuration, registry, tab model), the fields announced by notifications, and the
// clock-sync setting.
#pragma once

#include <atomic>
#include <mutex>
#include <string>

#include "configuration.h"
#include "data_folder.h"
#include "personal_bests.h"
#include "registry_view.h"
#include "run_index.h"
#include "tab_model.h"
#include "worker_types.h"

namespace lapdex {

// The runs of the last download that did not reach a run file, for the window's message.
struct RunFileShortfall {
    std::string folder;  // the stopwatch's folder (the data folder when it has none)
    int unsaved = 0;     // runs without a run file after the download
    int total = 0;       // runs in the download
};

// The runs of the last download that reached the run files, and how many of them are on disk.
struct DownloadTally {
    int runs = -1;  // runs in the download's data; -1 until a download reaches its run files
    int saved = 0;  // of them, runs whose file was written or was there already
};

struct EngineState {
    explicit EngineState(DataFolder folder) : data(folder) {}

    // Held by the worker for the whole body of a tick, and by the window only around a change
    // of stored data (memo rewrite, run deletion, rename, removal, export, import), never
    // while a dialog or any other event loop runs.
    std::mutex lock;
    WorkerShared shared;
    DataFolder data;
    // Guarded by `lock` once the worker runs.
    Configuration config;
    TabModel tabs;
    RunFileShortfall runFileShortfall;
    // The personal bests that the last download's new runs set, for its completion.
    std::vector<BestSet> downloadBests;
    // What the window shows of `config` and `tabs`, read without the lock; published by whoever
    // changed them while still holding the lock.
    RegistryView view;
    // PCTIME as the worker reads it; the window keeps config.settings.pcTime in step.
    std::atomic<bool> clockSync{true};
    // Set before the worker starts: run files are written in small groups, and setting
    // `stopWriting` (from any thread) ends them early: the group being written is finished, the
    // runs after it stay on the stopwatch (k7x-tool, on an interruption). Off: one group, one
    // flush.
    bool stoppableWrites = false;
    std::atomic<bool> stopWriting{false};
    // Guarded by `lock`: what the last download saved.
    DownloadTally lastDownload;
    // Told of every download's new files when set; set before the worker starts, outlives it.
    RunIndex* runIndex = nullptr;
};

}  // namespace lapdex
