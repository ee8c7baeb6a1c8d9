// A user at the keyboard for the window tests: waits, inside whatever event loop runs, for a
// modal window over the main window, has the main window repaint while it is up, notes
// whether the window thread holds the worker lock, and answers it with a key or a click.
#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <deque>
#include <functional>
#include <vector>

#include "engine_port.h"

namespace lapdex::ui::test {

// What the user met.
struct MetDialog {
    bool seen = false;
    QString className;
    QString title;
    QString text;            // a message box's text
    bool repainted = false;  // the main window painted itself while the dialog was up
    bool lockHeld = false;   // the window thread held the worker lock while the dialog ran
};

class KeyboardUser : public QObject {
  public:
    // An answer: what the user does to the modal window once it is seen.
    using Answer = std::function<void(QWidget* modal)>;

    KeyboardUser(QWidget& main, const EnginePort& port) : main_(main), port_(port) {
        main_.installEventFilter(this);
        timer_.setInterval(10);
        connect(&timer_, &QTimer::timeout, this, [this] { look(); });
    }

    // Presses `key` in the focused widget of the next modal window.
    static Answer press(Qt::Key key) {
        return [key](QWidget* modal) {
            QWidget* target = modal->focusWidget() ? modal->focusWidget() : modal;
            QTest::keyClick(target, key);
        };
    }
    // Clicks the message box's `button`.
    static Answer click(QMessageBox::StandardButton button) {
        return [button](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            if (box && box->button(button))
                QTest::mouseClick(static_cast<QWidget*>(box->button(button)), Qt::LeftButton);
        };
    }

    // Arms the user for the next modal windows, one answer each, in turn; earlier records are
    // dropped.
    void expect(std::vector<Answer> answers) {
        answers_.assign(answers.begin(), answers.end());
        met_.clear();
        modal_ = nullptr;
        answeredLast_ = nullptr;
        timer_.start();
    }
    void expect(Answer answer) { expect(std::vector<Answer>{std::move(answer)}); }

    // Waits (running the event loop) until every answer was given, at most `ms`.
    bool waitAnswered(int ms = 10000) {
        QElapsedTimer waited;
        waited.start();
        while (!answers_.empty() && waited.elapsed() < ms) QTest::qWait(10);
        return answers_.empty();
    }

    // The dialogs met since the last expect(), in order.
    const std::vector<MetDialog>& met() const { return met_; }
    MetDialog last() const { return met_.empty() ? MetDialog{} : met_.back(); }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == &main_ && event->type() == QEvent::Paint) ++paints_;
        return QObject::eventFilter(watched, event);
    }

  private:
    void look() {
        if (answers_.empty()) {
            timer_.stop();
            return;
        }
        // The dialog just answered may still be closing: wait until it is hidden.
        if (answeredLast_ && answeredLast_->isVisible()) return;
        answeredLast_ = nullptr;
        if (!modal_) {
            QWidget* modal = QApplication::activeModalWidget();
            if (!modal || modal == &main_ || !modal->isVisible()) return;
            modal_ = modal;
            MetDialog met;
            met.seen = true;
            met.className = QString::fromLatin1(modal->metaObject()->className());
            met.title = modal->windowTitle();
            if (auto* box = qobject_cast<QMessageBox*>(modal)) met.text = box->text();
            met.lockHeld = port_.workerLockHeldHere();
            met_.push_back(met);
            paintsBefore_ = paints_;
            repaintAsked_.start();
            main_.update();
            return;
        }
        // Give the window a moment to paint, as it would when uncovered.
        if (paints_ == paintsBefore_ && repaintAsked_.elapsed() < 2000) return;
        MetDialog& met = met_.back();
        met.repainted = paints_ > paintsBefore_;
        met.lockHeld = met.lockHeld || port_.workerLockHeldHere();
        QWidget* modal = modal_;
        modal_ = nullptr;
        answeredLast_ = modal;
        Answer answer = std::move(answers_.front());
        answers_.pop_front();
        if (answer) answer(modal);
    }

    QWidget& main_;
    const EnginePort& port_;
    QTimer timer_;
    std::deque<Answer> answers_;
    std::vector<MetDialog> met_;
    QWidget* modal_ = nullptr;
    QPointer<QWidget> answeredLast_;
    int paints_ = 0;
    int paintsBefore_ = 0;
    QElapsedTimer repaintAsked_;
};

}  // namespace lapdex::ui::test
