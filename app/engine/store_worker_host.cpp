#include "store_worker_host.h"

#include <span>

#include "run_decoder.h"
#include "run_file_batch.h"
#include "serial_text.h"
#include "worker_context.h"

namespace lapdex {

bool StoreWorkerHost::isRegistered(const std::string& serialText) {
    return state_.config.registry.findBySerial(serialText) >= 0;
}

bool StoreWorkerHost::registryFull() {
    return state_.config.registry.registeredCount() >= kSlotCount;
}

void StoreWorkerHost::registerStopwatch(const std::string& serialText) {
    // The tab model changes at once, so the completion's tab lookup already finds the new
    // tab; the window mirrors it when it handles NTF_TAB_ADDED, posted before completion.
    addStopwatch(state_.config, state_.data, serialText, [this](const TabRequest& request) {
        state_.tabs.apply(request);
        sink_.post(NTF_TAB_ADDED);
    });
}

void StoreWorkerHost::recordBattery(const std::string& serialText, uint16_t rawBattery) {
    int slot = state_.config.registry.findBySerial(serialText);
    if (slot >= 0) state_.config.registry.setBatteryLevel(slot, batteryLevelFromRaw(rawBattery));
}

bool StoreWorkerHost::writeRunFiles(const WorkerContext& ctx) {
    int slot = state_.config.registry.findBySerial(ctx.serialText);
    // Without a slot there is no folder to write into; the runs stay on the stopwatch.
    if (slot < 0) return false;
    // A folder that could not be made at registration (disk full) or was removed by hand:
    // make it now, or a Reload could never bring the runs back.
    const std::string folder = state_.data.stopwatchFolder(slot);
    if (state_.data.fs().kindOf(folder) == EntryKind::None) (void)state_.data.fs().createFolder(folder);
    // One batch per download: one flush for all its runs instead of one per run file.
    RunFileBatch batch(state_.data.fs(), state_.data.path(), slot, ctx.serialText);
    std::span<const uint8_t> data(ctx.runData.data(), ctx.runDataLength);
    decodeRunData(data, timeFormatFromProductType(ctx.productType), [&](RunRecord&& record) { batch.add(record); });
    const bool written = allRunsWritten(batch.commit());
    // The index takes the new files now, so the page need not compare the folder afterwards.
    if (state_.runIndex != nullptr)
        state_.runIndex->folderWritten(DataFolder::stopwatchFolderName(slot));
    return written;
}

int StoreWorkerHost::tabOf(const std::string& serialText) {
    int slot = state_.config.registry.findBySerial(serialText);
    if (slot < 0) return -1;
    return state_.tabs.indexOf(state_.config.registry.entry(slot).displayName);
}

}  // namespace lapdex
