// The windows' questions about runs, answered one after another on a thread of their own and
// handed back on the window thread, so that no window ever waits for the run index.
#pragma once

#include <QCoreApplication>
#include <QMetaObject>
#include <QObject>
#include <QPointer>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

#include "window_run_source.h"

namespace lapdex::ui {

class RunQueryWorker {
  public:
    // `index` may be null and must outlive the worker; `fallback` is asked on the worker's thread
    // for the folder scan the first time the index cannot answer; `dataFolder` is where the
    // contact history lies (see WindowRunSource).
    RunQueryWorker(RunIndex* index, FallbackFactory fallback, std::string dataFolder = {});
    // Lets the question being answered end and drops the others; their answers never arrive.
    ~RunQueryWorker();
    RunQueryWorker(const RunQueryWorker&) = delete;
    RunQueryWorker& operator=(const RunQueryWorker&) = delete;

    // Asks `question` on the worker's thread, then gives its result to `answer` on the window
    // thread (where `receiver` lives), unless `receiver` has been destroyed by then. Questions are
    // answered in the order asked. `question` must not touch widgets.
    template <class R>
    void ask(QObject* receiver, std::function<R(WindowRunSource&)> question,
             std::function<void(R)> answer) {
        QPointer<QObject> guard(receiver);
        post([guard, question = std::move(question),
              answer = std::move(answer)](WindowRunSource& source) {
            auto result = std::make_shared<R>(question(source));
            // Handed to the application object, which outlives every window: whether the
            // receiver still exists is asked on the window thread, where it is destroyed.
            QMetaObject::invokeMethod(
                QCoreApplication::instance(),
                [guard, answer, result] {
                    if (guard) answer(std::move(*result));
                },
                Qt::QueuedConnection);
        });
    }

    // Runs `work` on the worker's thread in turn with the questions; nothing comes back. For
    // telling the index of a change the window made (a memo rewritten, a run deleted).
    void tell(std::function<void(WindowRunSource&)> work) { post(std::move(work)); }

    // The run index behind the answers (null when there is none): for the questions only it can
    // answer, such as the contact history of the roster. Worker thread only.
    RunIndex* index() const { return source_.index(); }

  private:
    void post(std::function<void(WindowRunSource&)> job);
    void loop();

    WindowRunSource source_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<std::function<void(WindowRunSource&)>> jobs_;
    bool stopping_ = false;
    std::thread thread_;
};

}  // namespace lapdex::ui
