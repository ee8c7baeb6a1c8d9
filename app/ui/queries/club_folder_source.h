// One club folder (another PC's data folder, read-only here) as the windows read it: its own run
// index, brought up to date on a keeper's thread, and the plain folder scan while that index
// cannot answer.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "club_run_source.h"
#include "data_folder.h"
#include "folder_run_source.h"
#include "run_index_keeper.h"

namespace lapdex::ui {

// Blocking like every RunSource; used by the query worker's thread only. Nothing is ever written
// into the folder: the index lies in the user's cache folder, named after the folder's path.
class ClubFolderSource : public RunSource {
  public:
    // Starts the first comparison of the folder's index at once, on the keeper's thread. `fs`
    // must outlive the source; without a cache folder in `environment` the scan answers alone.
    // `changed` is called on the keeper's thread when that comparison found what the answers
    // given before it lacked (the index answers from the folders' settled times at first).
    ClubFolderSource(FileSystem& fs, ClubFolder folder, const EnvironmentLookup& environment,
                     std::function<void()> changed = {});
    // Stops a comparison that is still running and waits for it.
    ~ClubFolderSource() override;
    ClubFolderSource(const ClubFolderSource&) = delete;
    ClubFolderSource& operator=(const ClubFolderSource&) = delete;

    const ClubFolder& folder() const { return folder_; }

    std::optional<std::vector<RunStopwatch>> registeredStopwatches() override;
    RunListing listRuns(const RunQuery& query) override;
    RunRead readRun(const std::string& folderName, const std::string& fileName) override;

    // Reads the folder's Lapdex.dat again and brings the index of every registered stopwatch up to
    // date before it returns (after another PC's files arrived): the folders whose times moved
    // are compared file by file. Blocking.
    void compareNow();

  private:
    bool indexAnswers() const;

    ClubFolder folder_;
    DataFolder data_;  // before the keeper, which holds on to it
    FolderRunSource scan_;
    std::unique_ptr<RunIndexKeeper> keeper_;
};

}  // namespace lapdex::ui
