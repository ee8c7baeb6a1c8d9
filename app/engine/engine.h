// The engine as the window uses it: the download worker and the progress ticker over one
// EngineState, with the commands the window sends and the lock for its own file work.
#pragma once

#include <chrono>
#include <mutex>
#include <utility>

#include "download_worker.h"
#include "engine_state.h"
#include "notification_sink.h"
#include "progress_ticker.h"
#include "store_worker_host.h"

namespace lapdex {

struct EngineTiming {
    WorkerTiming worker;
    std::chrono::milliseconds tickerPeriod{50};
    std::chrono::milliseconds shutdownWait{5000};
};

class Engine {
public:
    // `state` and `sink` must outlive the engine (and the process, should a thread have to
    // be left running at shutdown).
    Engine(EngineState& state, NotificationSink& sink, EngineTiming timing = {});
    ~Engine();

    // Starts the worker polling for new runs and the ticker stopped.
    void start();
    // Posts the quit messages and waits for each thread up to the shutdown wait; a thread
    // still running then is left detached. True when both ended.
    bool stop();

    // CMD_DOWNLOAD_NEW (resume) and CMD_PAUSE: plain posts.
    void post(MessageId command) { worker_.post(command); }
    // CMD_DOWNLOAD_ALL (Reload) and CMD_CLEAR: sent under the lock with commandPending up.
    void postLocked(MessageId command) { worker_.postLocked(command); }
    // TICK_START, TICK_STOP.
    void postTicker(MessageId message) { ticker_.post(message); }

    // Runs `work` while holding the worker lock, so it never interleaves with a download
    // that is writing files. Call it after pausing the worker: otherwise it may wait for a
    // whole exchange.
    template <class F>
    decltype(auto) withLock(F&& work) {
        std::lock_guard<std::mutex> guard(state_.lock);
        return std::forward<F>(work)();
    }

private:
    EngineState& state_;
    EngineTiming timing_;
    StoreWorkerHost host_;
    DownloadWorker worker_;
    ProgressTicker ticker_;
    bool started_ = false;
};

}  // namespace lapdex
