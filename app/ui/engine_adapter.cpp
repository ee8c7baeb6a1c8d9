#include "engine_adapter.h"

#include <QtGlobal>

#include "configuration.h"
#include "contact_history.h"
#include "data_folder.h"

namespace lapdex::ui {

EngineAdapter::EngineAdapter(std::optional<std::string> dataFolder) {
    FileSystem& fs = systemFileSystem();
    const std::string folder =
        dataFolder ? *dataFolder
                   : determineDataFolder(fs, readExecutablePath(), processEnvironment());
    state_ = std::make_unique<EngineState>(DataFolder(fs, folder));
    index_ = std::make_unique<RunIndexKeeper>(state_->data, processEnvironment());
    state_->runIndex = index_->index();
}

// Called with the worker lock held.
void EngineAdapter::refreshRunIndex() {
    index_->refreshInBackground(indexedStopwatches(state_->config.registry));
}

EngineAdapter::~EngineAdapter() {
    stop();
}

std::string EngineAdapter::dataFolder() const {
    return state_->data.path();
}

FolderCheck EngineAdapter::checkDataFolder() {
    return lapdex::checkDataFolder(state_->data.fs(), state_->data.path());
}

RunFileShortfall EngineAdapter::runFileShortfall() {
    return locked([&] { return state_->runFileShortfall; });
}

std::vector<BestSet> EngineAdapter::downloadBests() {
    return locked([&] { return state_->downloadBests; });
}

void EngineAdapter::loadConfiguration() {
    locked([&] {
        state_->config =
            lapdex::loadConfiguration(state_->data, localeDefaultLocation(processEnvironment()));
        state_->clockSync.store(state_->config.settings.pcTime != "OFF");
        createStopwatchFolders(state_->data, state_->config.registry);
        (void)saveConfiguration(state_->data, state_->config);
        state_->tabs.rebuild(state_->config.registry);
        if (state_->config.registry.registeredCount() == 0)
            state_->config.registry.setBatteryLevel(0, 0);
        recallBatteryLevels();
        refreshRunIndex();
    });
}

// Called with the worker lock held. Levels are never stored in Lapdex.dat; until a stopwatch is
// read again, the level of its last recorded contact is the best there is.
void EngineAdapter::recallBatteryLevels() {
    const std::map<std::string, int> levels = lastBatteryLevels(readContactHistory(state_->data));
    StopwatchRegistry& registry = state_->config.registry;
    for (int i = 0; i < kSlotCount; ++i) {
        if (!registry.isInUse(i)) continue;
        const auto found = levels.find(registry.entry(i).serialText);
        if (found != levels.end()) registry.setBatteryLevel(i, found->second);
    }
}

void EngineAdapter::start(NotificationSink& sink) {
    if (engine_) return;
    engine_ = std::make_unique<Engine>(*state_, sink);
    engine_->start();
}

void EngineAdapter::stop() {
    if (engine_) engine_->stop();
}

void EngineAdapter::saveOnExit() {
    locked([&] {
        if (!state_->config.keepImportedConfiguration)
            (void)saveConfiguration(state_->data, state_->config);
    });
}

void EngineAdapter::post(MessageId command) {
    if (engine_) engine_->post(command);
}

void EngineAdapter::postLocked(MessageId command) {
    if (engine_) engine_->postLocked(command);
}

void EngineAdapter::postTicker(MessageId message) {
    if (engine_) engine_->postTicker(message);
}

int EngineAdapter::notifiedTab() const {
    return state_->shared.notifiedTab.load();
}

int EngineAdapter::transferLength() const {
    return state_->shared.transferLength.load();
}

int EngineAdapter::newestRunDay() const {
    return state_->shared.newestRunDay.load();
}

void EngineAdapter::refuseNestedLock() const {
    if (holder_.load() == std::this_thread::get_id())
        qFatal("Lapdex: the worker lock was taken twice by one thread");
}

bool EngineAdapter::workerLockHeldHere() const {
    return holder_.load() == std::this_thread::get_id();
}

// What the window shows comes from the view: a download that holds the lock for seconds never
// stalls painting, and a dialog never waits for the lock.
std::vector<std::string> EngineAdapter::tabTitles() {
    return state_->view.tabTitles();
}

int EngineAdapter::registeredCount() {
    return state_->view.registeredCount();
}

void EngineAdapter::mirrorTabs(const std::vector<std::string>& titles) {
    locked([&] { state_->tabs.titles() = titles; });
}

int EngineAdapter::batteryLevel(const std::string& name) {
    return state_->view.batteryLevel(name);
}

int EngineAdapter::slotOf(const std::string& name) {
    return state_->view.slotOf(name);
}

void EngineAdapter::withWorkerLock(const std::function<void()>& work) {
    locked(work);
}

bool EngineAdapter::clockSync() {
    return state_->clockSync.load();
}

void EngineAdapter::setClockSync(bool on) {
    // No lock: a click must not wait for a download. The next save under the lock takes it over.
    state_->clockSync.store(on);
}

void EngineAdapter::applyClockSync() {
    lapdex::setClockSync(state_->config.settings,
                         state_->clockSync.load() ? ClockSync::On : ClockSync::Off);
}

void EngineAdapter::renameStopwatch(const std::string& oldName, const std::string& newName) {
    locked([&] {
        const int slot = state_->config.registry.findByName(oldName);
        if (slot >= 0) lapdex::renameStopwatch(state_->config, state_->data, slot, newName);
        refreshRunIndex();
    });
}

ProcedureOutcome EngineAdapter::exportData(ProcedureUi& ui) {
    return lapdex::exportData(ui, state_->data);
}

// The procedures ask the user first and take the lock (through ui.withWorkerLock) only around
// the change itself, so none of their dialogs ever runs while the lock is held.
ProcedureOutcome EngineAdapter::importData(ProcedureUi& ui) {
    const ProcedureOutcome outcome = lapdex::importData(ui, state_->data, state_->config, clock_);
    locked([&] { refreshRunIndex(); });
    return outcome;
}

ProcedureOutcome EngineAdapter::removeStopwatchData(ProcedureUi& ui, const std::string& name) {
    const ProcedureOutcome outcome =
        lapdex::removeStopwatchData(ui, state_->data, state_->config, clock_, name);
    locked([&] { refreshRunIndex(); });
    return outcome;
}

}  // namespace lapdex::ui
