// Where the worker and the ticker post their notifications: the window implements it.
#pragma once

#include "message_ids.h"

namespace lapdex {

class NotificationSink {
public:
    virtual ~NotificationSink() = default;
    // Called from the worker or ticker thread. Must only queue the message for the
    // window's thread and return at once: the caller may hold the worker lock.
    virtual void post(MessageId id) = 0;
};

}  // namespace lapdex
