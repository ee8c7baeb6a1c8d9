// Keeps a widget's texts in the language shown: for widgets whose owner has no changeEvent() of
// its own to re-apply them in (a list's headers, a menu added to another class's window).
#pragma once

#include <QObject>
#include <functional>

class QWidget;

namespace lapdex::ui {

// Calls `apply` now and again on every QEvent::LanguageChange that reaches `widget` (a widget
// forwards the event to its children, and the follower is one). Lives as long as `widget`.
void followLanguage(QWidget* widget, std::function<void()> apply);

}  // namespace lapdex::ui
