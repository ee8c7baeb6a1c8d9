// A child object that re-applies texts when the language changes.
#include "language_follower.h"

#include <QEvent>
#include <QWidget>

namespace lapdex::ui {
namespace {

class LanguageFollower : public QObject {
  public:
    LanguageFollower(QWidget* widget, std::function<void()> apply)
        : QObject(widget), apply_(std::move(apply)) {
        apply_();
    }

    bool event(QEvent* event) override {
        if (event->type() == QEvent::LanguageChange) apply_();
        return QObject::event(event);
    }

  private:
    std::function<void()> apply_;
};

}  // namespace

void followLanguage(QWidget* widget, std::function<void()> apply) {
    new LanguageFollower(widget, std::move(apply));
}

}  // namespace lapdex::ui
