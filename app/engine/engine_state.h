// Everything the window and the worker share: the one worker lock and what it guards
// (configuration, registry, tab model), the fields announced by notifications, and the
// clock-sync setting.
#pragma once

#include <atomic>
#include <mutex>

#include "configuration.h"
#include "data_folder.h"
#include "run_index.h"
#include "tab_model.h"
#include "worker_types.h"

namespace lapdex {

struct EngineState {
    explicit EngineState(DataFolder folder) : data(folder) {}

    // Held by the worker for the whole body of a tick, and by the window for every change
    // of stored data (memo rewrite, run deletion, rename, removal, import).
    std::mutex lock;
    WorkerShared shared;
    DataFolder data;
    // Guarded by `lock` once the worker runs.
    Configuration config;
    TabModel tabs;
    // PCTIME as the worker reads it; the window keeps config.settings.pcTime in step.
    std::atomic<bool> clockSync{true};
    // Told of every download's new files when set; set before the worker starts, outlives it.
    RunIndex* runIndex = nullptr;
};

}  // namespace lapdex
