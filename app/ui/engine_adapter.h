// The program's EnginePort: the engine facade over the data folder of the executable.
#pragma once

#include <atomic>
#include <memory>
#include <optional>
#include <string>
#include <thread>

#include "engine.h"
#include "engine_port.h"
#include "engine_state.h"
#include "local_clock.h"
#include "run_index_keeper.h"

namespace lapdex::ui {

class EngineAdapter : public EnginePort {
  public:
    // The program keeps its data where determineDataFolder puts it; tests give their own folder.
    explicit EngineAdapter(std::optional<std::string> dataFolder = std::nullopt);
    ~EngineAdapter() override;

    std::string dataFolder() const override;
    FolderCheck checkDataFolder() override;
    RunFileShortfall runFileShortfall() override;
    void loadConfiguration() override;
    void start(NotificationSink& sink) override;
    void stop() override;
    void saveOnExit() override;
    void post(MessageId command) override;
    void postLocked(MessageId command) override;
    void postTicker(MessageId message) override;
    int notifiedTab() const override;
    int transferLength() const override;
    int newestRunDay() const override;
    std::vector<BestSet> downloadBests() override;
    std::vector<std::string> tabTitles() override;
    int registeredCount() override;
    void mirrorTabs(const std::vector<std::string>& titles) override;
    int batteryLevel(const std::string& name) override;
    int slotOf(const std::string& name) override;
    void withWorkerLock(const std::function<void()>& work) override;
    bool workerLockHeldHere() const override;
    bool clockSync() override;
    void setClockSync(bool on) override;
    void renameStopwatch(const std::string& oldName, const std::string& newName) override;
    ProcedureOutcome exportData(ProcedureUi& ui) override;
    ProcedureOutcome importData(ProcedureUi& ui) override;
    ProcedureOutcome removeStopwatchData(ProcedureUi& ui, const std::string& name) override;

    // The data folder's run index, or null when there is none; lives as long as the adapter.
    RunIndex* runIndex() const { return index_->index(); }

  private:
    void recallBatteryLevels();
    // After the registry or the folders changed: the index follows, on its own thread.
    void refreshRunIndex();

    // Runs `work` under the worker lock and publishes what the window shows before releasing it.
    template <class F>
    decltype(auto) locked(F&& work) {
        refuseNestedLock();
        std::lock_guard<std::mutex> guard(state_->lock);
        Holding holding(*this);
        return std::forward<F>(work)();
    }
    // Taking the lock again on the thread that holds it would wait for ever.
    void refuseNestedLock() const;
    // PCTIME of the configuration from the check box's value; lock held.
    void applyClockSync();

    struct Holding {
        explicit Holding(EngineAdapter& a) : adapter(a) {
            adapter.holder_.store(std::this_thread::get_id());
            adapter.applyClockSync();
        }
        ~Holding() {
            adapter.state_->view.publish(adapter.state_->config.registry, adapter.state_->tabs);
            adapter.holder_.store(std::thread::id());
        }
        EngineAdapter& adapter;
    };

    std::unique_ptr<EngineState> state_;
    std::unique_ptr<RunIndexKeeper> index_;  // outlives the engine, which tells it of new files
    std::unique_ptr<Engine> engine_;
    SystemLocalClock clock_;
    std::atomic<std::thread::id> holder_{};
};

}  // namespace lapdex::ui
