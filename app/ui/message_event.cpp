#include "message_event.h"

namespace lapdex::ui {

QEvent::Type MessageEvent::eventType() {
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

}  // namespace lapdex::ui
