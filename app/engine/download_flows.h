// The exchanges with a stopwatch on an open reader connection: download the new runs,
// download all runs (Reload), and erase the runs (Clear).
#pragma once

#include <functional>
#include <string>

#include "notification_sink.h"
#include "worker_context.h"

namespace lapdex {

// What a flow needs from its surroundings. Called on the worker thread with the worker
// lock held.
struct FlowEnv {
    NotificationSink& sink;
    WorkerShared& shared;
    // Set the stopwatch's clock before the beep.
    bool clockSync = true;
    // True when `serialText` has a registry slot.
    std::function<bool(const std::string&)> isRegistered;
    // True when the stopwatch `serialText`, not yet registered, could not be.
    std::function<bool(const std::string&)> registryFull;
    // Clear: registers a new stopwatch and saves the new runs of ctx.runData as run files; true
    // only when every one of them is on disk.
    std::function<bool(const WorkerContext&)> keepNewRuns;
};

enum class DownloadScope { NewRuns, AllRuns };

// Reads the new runs (or all runs) into ctx.runData; sets serialText, newStopwatch,
// rawBattery, runDataLength and productType. Ok also when there is nothing to read.
FlowResult downloadRuns(WorkerContext& ctx, FlowEnv& env, DownloadScope scope);

// Saves the stopwatch's new runs through env.keepNewRuns, then erases every run on it, but only
// when all new runs were saved (RunsNotSaved otherwise). Sets serialText, newStopwatch,
// rawBattery, runDataLength and productType.
FlowResult clearRuns(WorkerContext& ctx, FlowEnv& env);

// Polls and reads the serial number; Ok when the stopwatch of ctx.lastSerial answered.
FlowResult checkPresence(WorkerContext& ctx);

}  // namespace lapdex
