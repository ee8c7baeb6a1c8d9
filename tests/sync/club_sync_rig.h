// Two PCs of a club on one machine: PC A's data folder carried by two real Syncthing instances
// (Send Only on A, Receive Only on B) into a club folder on B, and what each side lists.
#pragma once

#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "syncthing_fixture.h"

namespace lapdex::testing {

// One run as a listing names it: the PC it was read from ("" the own data folder), its path in
// its data folder ("QTM-01/QTM….csv") and its run memo.
struct ListedRun {
    std::string pc;
    std::string path;
    std::string memo;
    auto operator<=>(const ListedRun&) const = default;
};
using ListedRuns = std::set<ListedRun>;

class ClubSyncRig {
  public:
    static constexpr const char* kFolderId = "lapdex-pc-a";
    static constexpr const char* kClubLabel = "PC-A";

    // Everything lies under `folder`, the test's own temporary folder.
    explicit ClubSyncRig(const std::string& folder);

    // Generates both instances, makes both data folders (A with `stopwatches` registered, B with
    // one of its own), configures the shared folder and starts both until they are connected.
    testsupport::FixtureResult start(int stopwatches);
    // Stops both instances by their pids and starts them again until they are connected.
    testsupport::FixtureResult restart();
    testsupport::FixtureResult stopBoth();
    testsupport::FixtureResult startBoth();

    // Writes a run of A's stopwatch in `slot` (0-based) started at 2024-06-01 `hour`:`minute`
    // through the store's run file writer, as a download does. Its path, "" on failure.
    std::string writeRunOnA(int slot, int hour, int minute);
    // Writes B's own run, so that B's listings hold both PCs' runs.
    std::string writeRunOnB(int hour);
    // Rewrites the run memo of A's run file `path` as the window's memo edit does.
    bool editMemoOnA(const std::string& path, const std::string& memo);

    // What a plain scan of A's data folder finds, labelled as B names the club folder.
    ListedRuns scanOfA() const;
    // What a plain scan of B's own data folder finds.
    ListedRuns scanOfB() const;
    // What `k7x-tool runs B-DATA --also A-COPY --json` printed on B.
    struct ToolListing {
        int exitStatus = -1;  // -1: it could not be run or did not end
        std::string error;    // what it printed when it did not end with 0
        ListedRuns runs;
        bool ok() const { return exitStatus == 0; }
    };
    ToolListing toolRunsOnB() const;

    testsupport::SyncthingFixture a;
    testsupport::SyncthingFixture b;
    const std::string aData;  // A's own data folder
    const std::string bData;  // B's own data folder
    const std::string aCopy;  // B's Receive Only copy of aData, B's club folder

  private:
    const std::string root;
    mutable int toolCalls = 0;
};

}  // namespace lapdex::testing
