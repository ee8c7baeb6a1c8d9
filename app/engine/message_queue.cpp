#include "message_queue.h"

namespace lapdex {

void MessageQueue::post(MessageId id) {
    std::lock_guard<std::mutex> guard(mutex_);
    messages_.push_back(id);
}

std::optional<MessageId> MessageQueue::take(MessageId first, MessageId last) {
    std::lock_guard<std::mutex> guard(mutex_);
    for (auto it = messages_.begin(); it != messages_.end(); ++it) {
        if (*it >= first && *it <= last) {
            MessageId id = *it;
            messages_.erase(it);
            return id;
        }
    }
    return std::nullopt;
}

}  // namespace lapdex
