#include "engine_adapter.h"

#include "configuration.h"
#include "data_folder.h"

namespace lapdex::ui {

EngineAdapter::EngineAdapter(std::optional<std::string> dataFolder) {
    FileSystem& fs = systemFileSystem();
    const std::string folder =
        dataFolder ? *dataFolder : determineDataFolder(fs, readExecutablePath(), processEnvironment());
    state_ = std::make_unique<EngineState>(DataFolder(fs, folder));
    index_ = std::make_unique<RunIndexKeeper>(state_->data, processEnvironment());
    state_->runIndex = index_->index();
}

// Called with the worker lock held.
void EngineAdapter::refreshRunIndex() {
    index_->refreshInBackground(indexedStopwatches(state_->config.registry));
}

EngineAdapter::~EngineAdapter() { stop(); }

std::string EngineAdapter::dataFolder() const { return state_->data.path(); }

void EngineAdapter::loadConfiguration() {
    locked([&] {
        state_->config = lapdex::loadConfiguration(state_->data, localeDefaultLocation(processEnvironment()));
        createStopwatchFolders(state_->data, state_->config.registry);
        (void)saveConfiguration(state_->data, state_->config);
        state_->tabs.rebuild(state_->config.registry);
        if (state_->config.registry.registeredCount() == 0) state_->config.registry.setBatteryLevel(0, 0);
        state_->clockSync.store(state_->config.settings.pcTime != "OFF");
        refreshRunIndex();
    });
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
        if (!state_->config.keepImportedConfiguration) (void)saveConfiguration(state_->data, state_->config);
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

int EngineAdapter::notifiedTab() const { return state_->shared.notifiedTab.load(); }

int EngineAdapter::transferLength() const { return state_->shared.transferLength.load(); }

std::vector<std::string> EngineAdapter::tabTitles() {
    return locked([&] {
        if (state_->config.registry.registeredCount() == 0) return std::vector<std::string>{};
        return state_->tabs.titles();
    });
}

int EngineAdapter::registeredCount() {
    return locked([&] { return state_->config.registry.registeredCount(); });
}

void EngineAdapter::mirrorTabs(const std::vector<std::string>& titles) {
    locked([&] { state_->tabs.titles() = titles; });
}

int EngineAdapter::batteryLevel(const std::string& name) {
    return locked([&] {
        const int slot = state_->config.registry.findByName(name);
        return slot < 0 ? -1 : state_->config.registry.entry(slot).batteryLevel;
    });
}

int EngineAdapter::slotOf(const std::string& name) {
    return locked([&] { return state_->config.registry.findByName(name); });
}

void EngineAdapter::withWorkerLock(const std::function<void()>& work) { locked(work); }

bool EngineAdapter::clockSync() { return state_->clockSync.load(); }

void EngineAdapter::setClockSync(bool on) {
    locked([&] { lapdex::setClockSync(state_->config.settings, on ? ClockSync::On : ClockSync::Off); });
    state_->clockSync.store(on);
}

void EngineAdapter::renameStopwatch(const std::string& oldName, const std::string& newName) {
    locked([&] {
        const int slot = state_->config.registry.findByName(oldName);
        if (slot >= 0) lapdex::renameStopwatch(state_->config, state_->data, slot, newName);
        refreshRunIndex();
    });
}

ProcedureOutcome EngineAdapter::exportData(ProcedureUi& ui) { return lapdex::exportData(ui, state_->data); }

ProcedureOutcome EngineAdapter::importData(ProcedureUi& ui) {
    // The worker is paused by the procedure; the lock keeps a tick that is still running
    // out of the configuration while it is replaced.
    return locked([&] {
        const ProcedureOutcome outcome =
            lapdex::importData(ui, state_->data, state_->config, clock_);
        refreshRunIndex();
        return outcome;
    });
}

ProcedureOutcome EngineAdapter::removeStopwatchData(ProcedureUi& ui, const std::string& name) {
    return locked([&] {
        const ProcedureOutcome outcome =
            lapdex::removeStopwatchData(ui, state_->data, state_->config, clock_, name);
        refreshRunIndex();
        return outcome;
    });
}

}  // namespace lapdex::ui
