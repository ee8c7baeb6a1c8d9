#include "store_worker_host.h"

#include <algorithm>
#include <ctime>
#include <set>
#include <span>
#include <utility>

#include "local_clock.h"
#include "run_decoder.h"
#include "run_file_batch.h"
#include "serial_text.h"
#include "worker_context.h"

namespace lapdex {

bool StoreWorkerHost::isRegistered(const std::string& serialText) {
    return state_.config.registry.findBySerial(serialText) >= 0;
}

// The registration's own choice of slot: a download is never started for runs it would then have
// nowhere to write.
bool StoreWorkerHost::registryFull(const std::string& serialText) {
    return chooseSlotFor(state_.config.registry, state_.data, serialText) < 0;
}

void StoreWorkerHost::registerStopwatch(const std::string& serialText) {
    // The tab model changes at once, so the completion's tab lookup already finds the new
    // tab; the window mirrors it when it handles NTF_TAB_ADDED, posted before completion and
    // after the view holds the new slot.
    // The registration saves the configuration: with the clock setting the window last chose.
    setClockSync(state_.config.settings, state_.clockSync.load() ? ClockSync::On : ClockSync::Off);
    const int slot =
        addStopwatch(state_.config, state_.data, serialText,
                     [this](const TabRequest& request) { state_.tabs.apply(request); });
    state_.view.publish(state_.config.registry, state_.tabs);
    if (slot < 0) return;
    // Every answer of the index has the new stopwatch from now on, before its first download.
    if (state_.runIndex != nullptr) {
        const StopwatchEntry& entry = state_.config.registry.entry(slot);
        state_.runIndex->stopwatchRecorded(
            {DataFolder::stopwatchFolderName(slot), entry.serialText, entry.displayName, {}});
    }
    sink_.post(NTF_TAB_ADDED);
}

void StoreWorkerHost::recordBattery(const std::string& serialText, uint16_t rawBattery) {
    int slot = state_.config.registry.findBySerial(serialText);
    if (slot < 0) return;
    state_.config.registry.setBatteryLevel(slot, batteryLevelFromRaw(rawBattery));
    state_.view.publish(state_.config.registry, state_.tabs);
}

bool StoreWorkerHost::writeRunFiles(const WorkerContext& ctx) {
    state_.downloadBests.clear();
    std::span<const uint8_t> data(ctx.runData.data(), ctx.runDataLength);
    const TimeFormat format = timeFormatFromProductType(ctx.productType);
    int slot = state_.config.registry.findBySerial(ctx.serialText);
    // Without a slot there is no folder to write into; the runs stay on the stopwatch.
    if (slot < 0) {
        int runs = 0;
        decodeRunData(data, format, [&](RunRecord&&) { ++runs; });
        state_.runFileShortfall = {state_.data.path(), runs, runs};
        state_.lastDownload = {runs, 0};
        return false;
    }
    // A folder that could not be made at registration (disk full) or was removed by hand:
    // make it now, or a Reload could never bring the runs back.
    const std::string folder = state_.data.stopwatchFolder(slot);
    if (state_.data.fs().kindOf(folder) == EntryKind::None)
        (void)state_.data.fs().createFolder(folder);
    // One batch per download: one flush for all its runs instead of one per run file.
    RunFileBatch batch(state_.data.fs(), state_.data.path(), slot, ctx.serialText);
    if (state_.stoppableWrites) batch.stopWhen([this] { return state_.stopWriting.load(); });
    int newest = 0;
    decodeRunData(data, format, [&](RunRecord&& record) {
        newest = std::max(newest,
                          record.start.year * 10000 + record.start.month * 100 + record.start.day);
        batch.add(record);
    });
    state_.shared.newestRunDay.store(newest);
    const std::vector<RunFileWriteResult> results = batch.commit();
    int unsaved = 0;
    std::set<std::string> written;
    for (const RunFileWriteResult& result : results) {
        if (result.status == RunFileWriteStatus::Written)
            written.insert(result.path.substr(result.path.find_last_of('/') + 1));
        unsaved += result.ok() ? 0 : 1;
    }
    state_.lastDownload = {static_cast<int>(results.size()),
                           static_cast<int>(results.size()) - unsaved};
    runsWritten_ += static_cast<int>(written.size());
    runsFailed_ += unsaved;
    // The index takes the new files now, so the page need not compare the folder afterwards.
    if (state_.runIndex != nullptr)
        state_.downloadBests = indexNewRuns(DataFolder::stopwatchFolderName(slot), written);
    if (unsaved == 0) return true;
    state_.runFileShortfall = {folder, unsaved, static_cast<int>(results.size())};
    return false;
}

std::vector<BestSet> StoreWorkerHost::indexNewRuns(const std::string& folderName,
                                                   const std::set<std::string>& written) {
    // The worker waits for the index (never the window): the new runs and the bests they set are
    // known before the download's completion is posted.
    state_.runIndex->folderWritten(folderName);
    if (written.empty()) return {};
    RunQuery query;
    query.folderNames = {folderName};
    const RunListing listing = state_.runIndex->listRuns(query);
    if (!listing.answered) return {};
    return bestsSetBy(listing.rows, written);
}

ContactRecord StoreWorkerHost::contactOf(const WorkerContext& ctx, ContactAction action) {
    ContactRecord record;
    const std::tm now = SystemLocalClock().localNow();
    char time[32];
    std::strftime(time, sizeof time, "%Y-%m-%d %H:%M:%S", &now);
    record.localTime = time;
    record.serialText = ctx.serialText;
    const int slot = state_.config.registry.findBySerial(ctx.serialText);
    if (slot >= 0) record.tabName = state_.config.registry.entry(slot).displayName;
    record.action = action;
    record.runsWritten = std::exchange(runsWritten_, 0);
    record.runsFailed = std::exchange(runsFailed_, 0);
    return record;
}

void StoreWorkerHost::contactEnded(const WorkerContext& ctx, ContactAction action) {
    ContactRecord record = contactOf(ctx, action);
    record.rawBattery = ctx.rawBattery;
    record.batteryLevel = batteryLevelFromRaw(ctx.rawBattery);
    record.result = record.runsFailed > 0                                      ? "write failed"
                    : action != ContactAction::Clear && ctx.runDataLength == 0 ? "no data"
                                                                               : "ok";
    // The history is a record beside the run files: failing to extend it stops nothing.
    (void)appendContact(state_.data, record);
}

void StoreWorkerHost::contactFailed(const WorkerContext& ctx, ContactAction action) {
    // The battery may not have been read in this exchange: none is claimed.
    ContactRecord record = contactOf(ctx, action);
    record.result = kContactFailed;
    (void)appendContact(state_.data, record);
}

int StoreWorkerHost::tabOf(const std::string& serialText) {
    int slot = state_.config.registry.findBySerial(serialText);
    if (slot < 0) return -1;
    return state_.tabs.indexOf(state_.config.registry.entry(slot).displayName);
}

}  // namespace lapdex
