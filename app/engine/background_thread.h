// A std::thread that can be waited for with a time-out and is then left running
// (detached) rather than killed, so shutdown never hangs on a stuck reader driver.
#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

namespace lapdex {

class BackgroundThread {
public:
    BackgroundThread() = default;
    ~BackgroundThread();
    BackgroundThread(const BackgroundThread&) = delete;
    BackgroundThread& operator=(const BackgroundThread&) = delete;

    // Starts `body` on a new thread. Precondition: not started yet.
    void start(std::function<void()> body);

    // Waits up to `timeout` for the body to return. True when it ended (joined); false
    // when it is still running, in which case the thread is detached.
    bool stop(std::chrono::milliseconds timeout);

    bool running() const;

private:
    struct Done {
        std::mutex mutex;
        std::condition_variable changed;
        bool finished = false;
    };
    std::shared_ptr<Done> done_ = std::make_shared<Done>();
    std::thread thread_;
};

}  // namespace lapdex
