// The runs of a data folder read straight from its stopwatch folders: the reference every other
// run source must agree with, and the answer whenever the run index cannot be had.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "club_files.h"
#include "data_folder.h"
#include "run_source.h"

namespace lapdex {

// The registered stopwatches as Lapdex.dat names them, in slot order.
struct [[nodiscard]] RegistryRead {
    FsStatus status;  // a missing Lapdex.dat is success with no stopwatch
    std::vector<RunStopwatch> stopwatches;
    bool ok() const { return status.ok(); }
};
RegistryRead readRegistry(const DataFolder& data);

// One English line on why a file or folder could not be read: the system's text for its errno
// ("Permission denied"), or what the seam refused.
std::string problemReason(const FsStatus& status);

// Scans the folders at every call: the registry is read from Lapdex.dat, each asked stopwatch's
// folder listed and its run files (the names runDayKeyIn accepts, regular files only) read and
// summarised. An unreadable folder or run file and a run file without a start become problems,
// whatever the query; a registered stopwatch whose folder does not exist has no runs. Thread-safe
// as far as the FileSystem is; every call blocks for the whole scan.
class FolderRunSource : public RunSource {
  public:
    // A club folder's source (FolderOwner::Club) takes no sync engine's file for a run.
    explicit FolderRunSource(DataFolder data, FolderOwner owner = FolderOwner::Own)
        : data_(std::move(data)), owner_(owner) {}

    std::optional<std::vector<RunStopwatch>> registeredStopwatches() override;
    RunListing listRuns(const RunQuery& query) override;
    RunRead readRun(const std::string& folderName, const std::string& fileName) override;

  private:
    void scanFolder(const RunStopwatch& stopwatch, const RunQuery& query, RunListing& listing);

    DataFolder data_;
    FolderOwner owner_;
};

// True when `run` satisfies every condition of `query` but the stopwatch and the limit.
bool runMatches(const RunDetails& run, const RunQuery& query);

}  // namespace lapdex
