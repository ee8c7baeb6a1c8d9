// The query worker's thread and its queue.
#include "run_query_worker.h"

namespace lapdex::ui {

RunQueryWorker::RunQueryWorker(RunIndex* index, FallbackFactory fallback, std::string dataFolder)
    : source_(index, std::move(fallback), std::move(dataFolder)), thread_([this] { loop(); }) {}

RunQueryWorker::~RunQueryWorker() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
        jobs_.clear();
    }
    source_.requestStop();
    wake_.notify_one();
    thread_.join();
}

void RunQueryWorker::post(std::function<void(WindowRunSource&)> job) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        jobs_.push_back(std::move(job));
    }
    wake_.notify_one();
}

void RunQueryWorker::loop() {
    for (;;) {
        std::function<void(WindowRunSource&)> job;
        {
            std::unique_lock<std::mutex> lock(mutex_);
            wake_.wait(lock, [this] { return stopping_ || !jobs_.empty(); });
            if (stopping_) return;
            job = std::move(jobs_.front());
            jobs_.pop_front();
        }
        job(source_);
    }
}

}  // namespace lapdex::ui
