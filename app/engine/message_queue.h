// A thread's message queue: any thread posts, the owner takes messages of a range
// without blocking, in the order they were posted.
#pragma once

#include <deque>
#include <mutex>
#include <optional>

#include "message_ids.h"

namespace lapdex {

class MessageQueue {
public:
    // Thread-safe; never blocks for longer than the queue's own short critical section.
    void post(MessageId id);

    // Removes and returns the oldest message within [first, last]; messages outside the
    // range stay queued in order. nullopt when none is waiting.
    std::optional<MessageId> take(MessageId first, MessageId last);

private:
    std::mutex mutex_;
    std::deque<MessageId> messages_;
};

}  // namespace lapdex
