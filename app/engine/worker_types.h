// The worker's small enumerations and the fields it shares with the window.
#pragma once

#include <atomic>
#include <cstdint>

namespace lapdex {

// What each tick of the worker does.
enum class PollState { Poll = 0, Watch = 1, Idle = 2 };

// Which removal notification ends a Watch.
enum class CompletionKind { NoData = 0, Downloaded = 1, Cleared = 2 };

// The outcome of one attempt.
enum class FlowResult {
    Ok = 0,
    CommError = 1,
    OtherStopwatch = 2,
    NoStopwatch = 3,
    NoData = 4,
    RegistryFull = 5,
    RunsNotSaved = 6,  // Clear: the new runs could not all be saved, so nothing was erased
};

// Written by the worker just before the notification that announces them, read by the
// window when it handles that notification. Atomic, so neither side needs the lock.
struct WorkerShared {
    std::atomic<int> commandPending{0};
    std::atomic<int> notifiedTab{-1};
    std::atomic<uint16_t> transferLength{0};
    // Start day of the newest run of the last download as year * 10000 + month * 100 + day;
    // 0 when it brought no run.
    std::atomic<int> newestRunDay{0};
};

}  // namespace lapdex
