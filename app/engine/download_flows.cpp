#include "download_flows.h"

#include "rdcom32.h"
#include "serial_text.h"

namespace lapdex {
namespace {

bool readSerial(WorkerContext& ctx) {
    if (RDCAA_GetSerial(ctx.scratch.data()) != 1) return false;
    ctx.serialText = serialText(ctx.scratch.data());
    return true;
}

bool readBattery(WorkerContext& ctx) {
    if (RDCAA_ReadPlug(4, 2, ctx.scratch.data()) != 1) return false;
    ctx.rawBattery = static_cast<uint16_t>(ctx.scratch[0] | (ctx.scratch[1] << 8));
    return true;
}

// Sets the clock when asked to, then beeps; a failed clock setting skips the beep.
void setClockAndBeep(WorkerContext& ctx, const FlowEnv& env) {
    if (env.clockSync && RDCAA_SetTime(nullptr) != 1) return;
    // Both parameter bytes are set, so the beep never depends on an earlier call's bytes.
    ctx.scratch[0] = 1;
    ctx.scratch[1] = 0;
    (void)RDCAA_Beep(ctx.scratch.data());
}

// Reads the product type and the run data; posts the transfer start and end.
FlowResult transferRuns(WorkerContext& ctx, FlowEnv& env, DownloadScope scope) {
    if (RDCAA_GetProductName(ctx.scratch.data()) != 1) return FlowResult::CommError;
    ctx.productType = ctx.scratch[7];
    env.shared.transferLength.store(ctx.runDataLength);
    env.sink.post(NTF_TRANSFER_START);
    int32_t result = scope == DownloadScope::NewRuns ? RDCAA_GetRunNew(ctx.runData.data())
                                                     : RDCAA_GetRunData(ctx.runData.data());
    env.sink.post(NTF_TRANSFER_END);
    return result == 1 ? FlowResult::Ok : FlowResult::CommError;
}

}  // namespace

FlowResult downloadRuns(WorkerContext& ctx, FlowEnv& env, DownloadScope scope) {
    ctx.newStopwatch = false;
    ctx.productType = 2;
    ctx.runDataLength = 0;
    if (RDCAA_Polling(ctx.pollIdm.data(), ctx.pollPmm.data()) != 1) return FlowResult::NoStopwatch;
    if (scope == DownloadScope::AllRuns) env.sink.post(NTF_STOPWATCH_FOUND);
    if (!readSerial(ctx)) return FlowResult::CommError;
    if (!env.isRegistered(ctx.serialText)) {
        if (env.registryFull(ctx.serialText)) return FlowResult::RegistryFull;
        ctx.newStopwatch = true;
    }
    if (!readBattery(ctx)) return FlowResult::CommError;
    if (RDCAA_GetRunInfo(ctx.scratch.data()) != 1) return FlowResult::CommError;
    size_t at = scope == DownloadScope::NewRuns ? 0 : 2;
    ctx.runDataLength = static_cast<uint16_t>(ctx.scratch[at] | (ctx.scratch[at + 1] << 8));
    if (ctx.runDataLength != 0) {
        FlowResult transfer = transferRuns(ctx, env, scope);
        if (transfer != FlowResult::Ok) return transfer;
    }
    setClockAndBeep(ctx, env);
    return FlowResult::Ok;
}

FlowResult clearRuns(WorkerContext& ctx, FlowEnv& env) {
    ctx.newStopwatch = false;
    ctx.productType = 2;
    ctx.runDataLength = 0;
    if (RDCAA_Polling(ctx.pollIdm.data(), ctx.pollPmm.data()) != 1) return FlowResult::NoStopwatch;
    env.sink.post(NTF_STOPWATCH_FOUND);
    if (!readSerial(ctx)) return FlowResult::CommError;
    ctx.newStopwatch = !env.isRegistered(ctx.serialText);
    if (!readBattery(ctx)) return FlowResult::CommError;
    // Runs that were never downloaded are saved first, as a download would: an erase must never
    // take a run that is not on disk.
    if (RDCAA_GetRunInfo(ctx.scratch.data()) != 1) return FlowResult::CommError;
    ctx.runDataLength = static_cast<uint16_t>(ctx.scratch[0] | (ctx.scratch[1] << 8));
    if (ctx.runDataLength != 0) {
        if (ctx.newStopwatch && env.registryFull(ctx.serialText)) return FlowResult::RegistryFull;
        FlowResult transfer = transferRuns(ctx, env, DownloadScope::NewRuns);
        if (transfer != FlowResult::Ok) return transfer;
        if (!env.keepNewRuns || !env.keepNewRuns(ctx)) return FlowResult::RunsNotSaved;
    }
    ctx.scratch[0] = 0;
    if (RDCAA_EraseRun(ctx.scratch.data()) != 1) return FlowResult::CommError;
    setClockAndBeep(ctx, env);
    return FlowResult::Ok;
}

FlowResult checkPresence(WorkerContext& ctx) {
    if (RDCAA_Polling(ctx.pollIdm.data(), ctx.pollPmm.data()) != 1) return FlowResult::NoStopwatch;
    if (!readSerial(ctx)) return FlowResult::CommError;
    return ctx.serialText == ctx.lastSerial ? FlowResult::Ok : FlowResult::OtherStopwatch;
}

}  // namespace lapdex
