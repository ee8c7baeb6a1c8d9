#include "stopwatch_page.h"

#include "dialog_units.h"
#include "message_event.h"

namespace lapdex::ui {

EmptyPage::EmptyPage(QWidget* parent) : StopwatchPage(parent) {
    const DialogTemplate t = loadTemplate(QStringLiteral("page"));
    // The window grows the page beyond the template's size.
    setMinimumSize(DialogUnits(dialogFont()).toPixels(t.size));
    resize(minimumSize());
}

void EmptyPage::customEvent(QEvent* event) {
    if (event->type() == MessageEvent::eventType())
        received_.push_back(static_cast<MessageEvent*>(event)->id());
}

}  // namespace lapdex::ui
