// The progress ticker: while started, posts NTF_PROGRESS_TICK every period so the
// window can advance its progress bar during a transfer.
#pragma once

#include <chrono>

#include "background_thread.h"
#include "message_queue.h"
#include "notification_sink.h"

namespace lapdex {

class ProgressTicker {
public:
    // `sink` must outlive the thread (or the process, when stop() detaches it).
    explicit ProgressTicker(NotificationSink& sink,
                            std::chrono::milliseconds period = std::chrono::milliseconds(50));
    ~ProgressTicker();

    void start();
    // TICK_START, TICK_STOP or TICK_QUIT; from any thread.
    void post(MessageId id) { queue_.post(id); }
    // Posts TICK_QUIT and waits up to `timeout`; true when the thread ended.
    bool stop(std::chrono::milliseconds timeout = std::chrono::milliseconds(5000));

private:
    void run();

    NotificationSink& sink_;
    std::chrono::milliseconds period_;
    MessageQueue queue_;
    BackgroundThread thread_;
};

}  // namespace lapdex
