// The download worker: a thread that wakes every tick, takes the window's commands,
// runs at most one exchange with a stopwatch and posts notifications about it.
#pragma once

#include <chrono>
#include <memory>
#include <mutex>

#include "background_thread.h"
#include "download_flows.h"
#include "message_queue.h"
#include "notification_sink.h"
#include "worker_context.h"
#include "worker_host.h"
#include "worker_types.h"

namespace lapdex {

struct WorkerTiming {
    std::chrono::milliseconds tick{500};
    std::chrono::milliseconds presencePause{1500};
};

class DownloadWorker {
public:
    // `lock` is the one lock shared with the window; `host`, `sink` and `shared` must
    // outlive the thread.
    DownloadWorker(std::mutex& lock, WorkerShared& shared, WorkerHost& host, NotificationSink& sink,
                   WorkerTiming timing = {});
    ~DownloadWorker();

    void start();
    // A plain post: CMD_DOWNLOAD_NEW to resume, CMD_PAUSE before a modal interaction.
    void post(MessageId id) { queue_.post(id); }
    // Reload and Clear: raises commandPending before waiting for the lock, so a running
    // download finishes its files but posts no completion.
    void postLocked(MessageId id);
    // Posts CMD_QUIT and waits up to `timeout`; a thread still running is left detached.
    bool stop(std::chrono::milliseconds timeout = std::chrono::milliseconds(5000));

private:
    void run();
    bool tick();
    void dispatch();
    FlowResult runFlow();
    void completeDownload(FlowResult result, bool hadCommError);
    void completeClear(FlowResult result, bool hadCommError);
    // An exchange that failed or was refused: the window is told, polling starts again.
    void endExchangeWith(MessageId notification);
    void finishExchange(MessageId notification, CompletionKind kind);
    void watch();
    void sleepFor(std::chrono::milliseconds period);

    std::mutex& lock_;
    WorkerShared& shared_;
    WorkerHost& host_;
    NotificationSink& sink_;
    WorkerTiming timing_;
    MessageQueue queue_;
    std::unique_ptr<WorkerContext> ctx_ = std::make_unique<WorkerContext>();
    BackgroundThread thread_;
};

}  // namespace lapdex
