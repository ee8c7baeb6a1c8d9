#include "progress_ticker.h"

#include <optional>

namespace lapdex {

ProgressTicker::ProgressTicker(NotificationSink& sink, std::chrono::milliseconds period)
    : sink_(sink), period_(period) {}

ProgressTicker::~ProgressTicker() { stop(); }

void ProgressTicker::start() {
    thread_.start([this] { run(); });
}

bool ProgressTicker::stop(std::chrono::milliseconds timeout) {
    if (!thread_.running()) return thread_.stop(timeout);
    queue_.post(TICK_QUIT);
    return thread_.stop(timeout);
}

void ProgressTicker::run() {
    // The last message is remembered across rounds; none at first, so it starts stopped.
    std::optional<MessageId> last;
    for (;;) {
        if (auto id = queue_.take(kTickFirst, kTickLast)) last = id;
        if (last == TICK_QUIT) return;
        if (last == TICK_START) sink_.post(NTF_PROGRESS_TICK);
        std::this_thread::sleep_for(period_);
    }
}

}  // namespace lapdex
