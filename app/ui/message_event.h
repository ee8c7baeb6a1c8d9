// A message id carried as a Qt event: how notifications reach the window and how the
// window's page messages reach the page.
#pragma once

#include <QEvent>

#include "engine/message_ids.h"

namespace lapdex::ui {

class MessageEvent : public QEvent {
public:
    explicit MessageEvent(MessageId id) : QEvent(eventType()), id_(id) {}
    MessageId id() const { return id_; }
    static QEvent::Type eventType();

private:
    MessageId id_;
};

}  // namespace lapdex::ui
