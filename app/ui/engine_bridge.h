// The one way engine threads reach the window: each notification becomes an event posted
// to the window's thread. Posting never blocks the caller.
#pragma once

#include <QObject>
#include <mutex>

#include "engine/notification_sink.h"

namespace lapdex::ui {

class EngineBridge : public NotificationSink {
public:
    explicit EngineBridge(QObject* window) : window_(window) {}

    // Any thread. Queues a MessageEvent for the window; dropped once detached.
    void post(MessageId id) override;
    // Window thread, before the window goes away: later posts are dropped, so a worker that
    // outlives the shutdown wait never reaches a destroyed window.
    void detach();

private:
    std::mutex mutex_;
    QObject* window_;
};

}  // namespace lapdex::ui
