// The source of runs behind the windows: the run index while it can answer, otherwise the plain
// folder scan, so that a window never waits for ever on an index that cannot be opened; joined by
// the club folders, each read through its own index, when the user has any.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>

#include "club_folder_source.h"
#include "club_run_source.h"
#include "run_index.h"
#include "run_source.h"
#include "stopwatch_groups.h"

namespace lapdex::ui {

// Makes the folder scan of the data folder; may return null when there is none to be had.
using FallbackFactory = std::function<std::unique_ptr<RunSource>()>;

// Blocking, like every RunSource: used by the query worker's thread only.
class WindowRunSource : public RunSource {
  public:
    // Which source gave the last answer.
    enum class Origin { Index, FolderScan, None };

    // `index` may be null and must outlive the source. `fallback` is called at most once, the
    // first time the index cannot answer. `dataFolder` (ending in '/') holds the contact history
    // that the roster takes when it comes from the fallback; "" leaves that roster out.
    WindowRunSource(RunIndex* index, FallbackFactory fallback, std::string dataFolder = {});

    // The own folder's stopwatches and runs, then the club folders' (each row with its pc). A run
    // named by folder and file alone is the own folder's; readRunOf reads from the row's folder.
    std::optional<std::vector<RunStopwatch>> registeredStopwatches() override;
    RunListing listRuns(const RunQuery& query) override;
    RunRead readRun(const std::string& folderName, const std::string& fileName) override;
    RunRead readRunOf(const RunRow& row) override;

    // Reads the club folders given from now on (none: this PC's own folder alone). The sources of
    // folders no longer given are stopped and dropped.
    void setClub(std::vector<std::unique_ptr<ClubFolderSource>> folders);
    // The club folder of `label`, or null.
    ClubFolderSource* clubFolder(const std::string& label) const;

    // The roster with the contact history, from the index or else from the folder scan. Waits
    // while the index is busy; nullopt when neither can answer or the index stays busy. With club
    // folders, their stopwatches follow, each with the contacts of its own folder's history.
    std::optional<Roster> roster();
    // The sync engine's conflict copies in the own data folder and each club folder, each once,
    // as problems with their pc ("" the own folder).
    std::vector<RunProblem> syncConflicts();
    // The runs of `folderName` that set a personal best; only the index has them. Waits while the
    // index is busy; nullopt when it cannot be used or stays busy.
    std::optional<std::set<std::string>> runsThatSetBests(const std::string& folderName);

    // The groups of stopwatches kept in the data folder; none without a data folder or file.
    StopwatchGroups groups();
    // Replaces the data folder's groups (through a temporary file).
    FsStatus saveGroups(const StopwatchGroups& groups);

    Origin lastOrigin() const { return origin_.load(); }
    RunIndex* index() const { return index_; }
    // Ends a wait for the index at once (the program is closing).
    void requestStop() { stopping_.store(true); }

  private:
    // The own data folder alone: the index, else the folder scan.
    class Own : public RunSource {
      public:
        explicit Own(WindowRunSource& window) : window_(window) {}
        std::optional<std::vector<RunStopwatch>> registeredStopwatches() override {
            return window_.ownStopwatches();
        }
        RunListing listRuns(const RunQuery& query) override { return window_.ownRuns(query); }
        RunRead readRun(const std::string& folderName, const std::string& fileName) override {
            return window_.ownRun(folderName, fileName);
        }

      private:
        WindowRunSource& window_;
    };

    std::optional<std::vector<RunStopwatch>> ownStopwatches();
    RunListing ownRuns(const RunQuery& query);
    RunRead ownRun(const std::string& folderName, const std::string& fileName);
    std::optional<Roster> clubRoster();
    bool indexUsable();
    bool indexFree();
    RunSource* fallback();

    RunIndex* index_;
    FallbackFactory makeFallback_;
    std::string dataFolder_;
    std::unique_ptr<RunSource> fallback_;
    bool fallbackAsked_ = false;
    bool waitedForOpen_ = false;
    std::atomic<Origin> origin_{Origin::None};
    std::atomic<bool> stopping_{false};
    Own own_{*this};
    std::vector<std::unique_ptr<ClubFolderSource>> clubFolders_;
    std::unique_ptr<ClubRunSource> club_;  // null without club folders
};

}  // namespace lapdex::ui
