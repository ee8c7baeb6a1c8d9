// The worker's view of the store: registry, run files and tabs of an EngineState.
#pragma once

#include <set>
#include <string>
#include <vector>

#include "engine_state.h"
#include "notification_sink.h"
#include "worker_host.h"

namespace lapdex {

class StoreWorkerHost : public WorkerHost {
  public:
    // Both must outlive the host. Every call expects state.lock to be held.
    StoreWorkerHost(EngineState& state, NotificationSink& sink) : state_(state), sink_(sink) {}

    bool isRegistered(const std::string& serialText) override;
    bool registryFull(const std::string& serialText) override;
    void registerStopwatch(const std::string& serialText) override;
    void recordBattery(const std::string& serialText, uint16_t rawBattery) override;
    bool writeRunFiles(const WorkerContext& ctx) override;
    int tabOf(const std::string& serialText) override;
    bool clockSync() override { return state_.clockSync.load(); }
    void contactEnded(const WorkerContext& ctx, ContactAction action) override;
    void contactFailed(const WorkerContext& ctx, ContactAction action) override;

  private:
    // The history line of the contact that ends now, without its result; takes the exchange's
    // run counts.
    ContactRecord contactOf(const WorkerContext& ctx, ContactAction action);
    // Tells the index of the folder's new files and returns the bests they set; none when the
    // index cannot answer.
    std::vector<BestSet> indexNewRuns(const std::string& folderName,
                                      const std::set<std::string>& written);

    EngineState& state_;
    NotificationSink& sink_;
    // The runs of the exchange's batch, for its line in the contact history.
    int runsWritten_ = 0;
    int runsFailed_ = 0;
};

}  // namespace lapdex
