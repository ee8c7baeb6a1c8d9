#include "engine_bridge.h"

#include <QCoreApplication>

#include "message_event.h"

namespace lapdex::ui {

void EngineBridge::post(MessageId id) {
    std::lock_guard<std::mutex> guard(mutex_);
    if (window_) QCoreApplication::postEvent(window_, new MessageEvent(id));
}

void EngineBridge::detach() {
    std::lock_guard<std::mutex> guard(mutex_);
    window_ = nullptr;
}

}  // namespace lapdex::ui
