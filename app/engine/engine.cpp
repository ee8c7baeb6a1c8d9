#include "engine.h"

namespace lapdex {

Engine::Engine(EngineState& state, NotificationSink& sink, EngineTiming timing)
    : state_(state),
      timing_(timing),
      host_(state, sink),
      worker_(state.lock, state.shared, host_, sink, timing.worker),
      ticker_(sink, timing.tickerPeriod) {}

Engine::~Engine() { stop(); }

void Engine::start() {
    if (started_) return;
    started_ = true;
    state_.shared.commandPending.store(0);
    // The queue exists before the thread, so this first command is never lost.
    worker_.post(CMD_DOWNLOAD_NEW);
    worker_.start();
    ticker_.post(TICK_STOP);
    ticker_.start();
}

bool Engine::stop() {
    bool workerEnded = worker_.stop(timing_.shutdownWait);
    bool tickerEnded = ticker_.stop(timing_.shutdownWait);
    return workerEnded && tickerEnded;
}

}  // namespace lapdex
