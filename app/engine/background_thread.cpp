#include "background_thread.h"

namespace lapdex {

BackgroundThread::~BackgroundThread() {
    if (thread_.joinable()) stop(std::chrono::milliseconds(5000));
}

void BackgroundThread::start(std::function<void()> body) {
    // The completion flag is shared with the thread so that a detached thread can
    // still signal it safely after this object is gone.
    std::shared_ptr<Done> done = done_;
    thread_ = std::thread([done, body = std::move(body)] {
        body();
        std::lock_guard<std::mutex> guard(done->mutex);
        done->finished = true;
        done->changed.notify_all();
    });
}

bool BackgroundThread::stop(std::chrono::milliseconds timeout) {
    if (!thread_.joinable()) return true;
    std::unique_lock<std::mutex> lock(done_->mutex);
    bool ended = done_->changed.wait_for(lock, timeout, [this] { return done_->finished; });
    lock.unlock();
    if (ended) {
        thread_.join();
    } else {
        thread_.detach();
    }
    return ended;
}

bool BackgroundThread::running() const {
    std::lock_guard<std::mutex> guard(done_->mutex);
    return thread_.joinable() && !done_->finished;
}

}  // namespace lapdex
