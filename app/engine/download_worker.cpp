#include "download_worker.h"

#include <thread>

#include "rdcom32.h"

namespace lapdex {

DownloadWorker::DownloadWorker(std::mutex& lock, WorkerShared& shared, WorkerHost& host,
                               NotificationSink& sink, WorkerTiming timing)
    : lock_(lock), shared_(shared), host_(host), sink_(sink), timing_(timing) {}

DownloadWorker::~DownloadWorker() {
    stop();
}

void DownloadWorker::start() {
    thread_.start([this] { run(); });
}

void DownloadWorker::postLocked(MessageId id) {
    shared_.commandPending.store(1);
    std::lock_guard<std::mutex> guard(lock_);
    queue_.post(id);
    shared_.commandPending.store(0);
}

bool DownloadWorker::stop(std::chrono::milliseconds timeout) {
    if (thread_.running()) queue_.post(CMD_QUIT);
    return thread_.stop(timeout);
}

void DownloadWorker::sleepFor(std::chrono::milliseconds period) {
    std::this_thread::sleep_for(period);
}

void DownloadWorker::run() {
    WorkerContext& ctx = *ctx_;
    ctx.pollState = PollState::Idle;
    ctx.lastMessage = 0;
    ctx.completionKind = CompletionKind::NoData;
    // Without the library there is nothing to do; the window's commands then go unheard.
    if (RDCAA_InitDll(nullptr) != 1) return;
    while (tick()) {
    }
    RDCAA_ExitDll();
}

bool DownloadWorker::tick() {
    WorkerContext& ctx = *ctx_;
    bool taken = false;
    while (auto id = queue_.take(kCommandFirst, kCommandLast)) {
        ctx.lastMessage = *id;
        taken = true;
    }
    if (ctx.lastMessage == CMD_QUIT) return false;
    if (ctx.lastMessage == CMD_PAUSE) {
        ctx.pollState = PollState::Idle;
        sink_.post(NTF_COMMAND_ACK);
        sleepFor(timing_.tick);
        return true;
    }
    {
        std::lock_guard<std::mutex> guard(lock_);
        if (shared_.commandPending.load() == 0) {
            if (taken) {
                ctx.pollState = PollState::Poll;
                sink_.post(NTF_COMMAND_ACK);
            }
            ctx.currentCommand = ctx.lastMessage;
            if (ctx.pollState == PollState::Poll) {
                dispatch();
            } else if (ctx.pollState == PollState::Watch) {
                watch();
            }
        }
    }
    sleepFor(timing_.tick);
    return true;
}

FlowResult DownloadWorker::runFlow() {
    WorkerContext& ctx = *ctx_;
    FlowEnv env{sink_,
                shared_,
                host_.clockSync(),
                [this](const std::string& serial) { return host_.isRegistered(serial); },
                [this](const std::string& serial) { return host_.registryFull(serial); },
                [this](const WorkerContext& c) {
                    if (c.newStopwatch && !host_.isRegistered(c.serialText))
                        host_.registerStopwatch(c.serialText);
                    return host_.writeRunFiles(c);
                }};
    switch (ctx.currentCommand) {
        case CMD_DOWNLOAD_NEW:
            return downloadRuns(ctx, env, DownloadScope::NewRuns);
        case CMD_DOWNLOAD_ALL:
            return downloadRuns(ctx, env, DownloadScope::AllRuns);
        case CMD_CLEAR:
            // A clear that saves no run shows no day: not the day of an earlier download.
            shared_.newestRunDay.store(0);
            return clearRuns(ctx, env);
        default:
            return FlowResult::NoStopwatch;
    }
}

void DownloadWorker::dispatch() {
    int attempts = 0;
    FlowResult result = FlowResult::NoStopwatch;
    bool hadCommError = false;
    // A serial read in an earlier exchange must not name a stopwatch that this one never read.
    ctx_->serialText.clear();
    for (;;) {
        if (RDCAA_OpenFelica() == 1) {
            result = runFlow();
            RDCAA_CloseFelica();
        }
        if (result == FlowResult::Ok || result == FlowResult::NoStopwatch ||
            result == FlowResult::RegistryFull || result == FlowResult::RunsNotSaved) {
            break;
        }
        hadCommError = true;
        if (++attempts > 3) break;
    }
    if (ctx_->currentCommand == CMD_CLEAR) {
        completeClear(result, hadCommError);
    } else {
        completeDownload(result, hadCommError);
    }
}

void DownloadWorker::completeDownload(FlowResult result, bool hadCommError) {
    WorkerContext& ctx = *ctx_;
    FlowResult outcome = hadCommError ? FlowResult::CommError : result;
    if (result == FlowResult::Ok) {
        if (ctx.newStopwatch) host_.registerStopwatch(ctx.serialText);
        host_.recordBattery(ctx.serialText, ctx.rawBattery);
        sink_.post(NTF_BATTERY);
        outcome = FlowResult::NoData;
        if (ctx.runDataLength != 0) {
            outcome = FlowResult::Ok;
            // Not a completion: the user must learn of unwritten runs even when a Reload
            // or Clear suppresses this download's completion.
            if (!host_.writeRunFiles(ctx)) sink_.post(NTF_RUN_FILE_ERROR);
        }
        host_.contactEnded(ctx, ctx.currentCommand == CMD_DOWNLOAD_ALL ? ContactAction::Reload
                                                                       : ContactAction::Download);
    }
    if (outcome == FlowResult::CommError && !ctx.serialText.empty()) {
        host_.contactFailed(ctx, ctx.currentCommand == CMD_DOWNLOAD_ALL ? ContactAction::Reload
                                                                        : ContactAction::Download);
    }
    if (shared_.commandPending.load() == 1) return;
    switch (outcome) {
        case FlowResult::Ok:
            finishExchange(NTF_DOWNLOAD_DONE, CompletionKind::Downloaded);
            break;
        case FlowResult::NoData:
            finishExchange(NTF_NO_DATA, CompletionKind::NoData);
            break;
        case FlowResult::CommError:
            endExchangeWith(NTF_COMM_ERROR);
            break;
        case FlowResult::RegistryFull:
            endExchangeWith(NTF_REGISTRY_FULL);
            break;
        default:
            break;  // No stopwatch: keep polling.
    }
}

void DownloadWorker::completeClear(FlowResult result, bool hadCommError) {
    WorkerContext& ctx = *ctx_;
    FlowResult outcome = result;
    if (result == FlowResult::Ok) {
        host_.recordBattery(ctx.serialText, ctx.rawBattery);
        sink_.post(NTF_BATTERY);
        host_.contactEnded(ctx, ContactAction::Clear);
    } else if (hadCommError && result != FlowResult::RunsNotSaved &&
               result != FlowResult::RegistryFull) {
        outcome = FlowResult::CommError;
        if (!ctx.serialText.empty()) host_.contactFailed(ctx, ContactAction::Clear);
    }
    switch (outcome) {
        case FlowResult::Ok:
            finishExchange(NTF_CLEAR_DONE, CompletionKind::Cleared);
            break;
        case FlowResult::CommError:
            endExchangeWith(NTF_COMM_ERROR);
            break;
        case FlowResult::RunsNotSaved:
            endExchangeWith(NTF_CLEAR_KEPT);
            break;
        case FlowResult::RegistryFull:
            endExchangeWith(NTF_REGISTRY_FULL);
            break;
        default:
            break;  // No stopwatch: keep polling.
    }
}

void DownloadWorker::endExchangeWith(MessageId notification) {
    sink_.post(notification);
    ctx_->pollState = PollState::Idle;
}

void DownloadWorker::finishExchange(MessageId notification, CompletionKind kind) {
    WorkerContext& ctx = *ctx_;
    shared_.notifiedTab.store(host_.tabOf(ctx.serialText));
    sink_.post(notification);
    ctx.lastSerial = ctx.serialText;
    ctx.completionKind = kind;
    ctx.pollState = PollState::Watch;
}

void DownloadWorker::watch() {
    WorkerContext& ctx = *ctx_;
    bool present = false;
    if (RDCAA_OpenFelica() == 1) {
        present = checkPresence(ctx) == FlowResult::Ok;
        RDCAA_CloseFelica();
    }
    if (present) return;
    switch (ctx.completionKind) {
        case CompletionKind::NoData:
            sink_.post(NTF_NO_DATA_GONE);
            break;
        case CompletionKind::Downloaded:
            sink_.post(NTF_DOWNLOAD_DONE_GONE);
            break;
        case CompletionKind::Cleared:
            sink_.post(NTF_CLEAR_DONE_GONE);
            break;
    }
    ctx.pollState = PollState::Idle;
    sleepFor(timing_.presencePause);  // Still holding the lock, as the exchange did.
}

}  // namespace lapdex
