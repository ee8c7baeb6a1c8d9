// The runs of a club: this PC's data folder and, read-only, the data folders of other PCs that a
// sync engine (or a network share) carries here, answered as one run source.
#pragma once

#include <string>
#include <vector>

#include "club_files.h"
#include "run_source.h"

namespace lapdex {

// Another PC's data folder as this PC reads it.
struct ClubFolder {
    std::string path;   // the folder holding that PC's Lapdex.dat and stopwatch folders
    std::string label;  // shown in the "PC" column; never "" and unique among a club's folders

    bool operator==(const ClubFolder&) const = default;
};

// The label a club folder gets when the user gives none: the folder's own name ("PC-B" for
// "/srv/club/PC-B/"), or "club" for "/".
std::string defaultClubLabel(const std::string& path);

inline constexpr const char* kUnreachableClubFolder = "the club folder cannot be read";

// Thread-safe as far as its members are; blocking like every RunSource. The own source and each
// club folder's source must outlive it.
//
// Rows carry the `pc` of the folder they were read from ("" for the own). The same run reached
// through two folders (same serial, start and laps: the listing's lap count, total, best, slowest
// and average lap stand for the laps) is one row: the own folder's copy wins, then the club
// folder listed first. `query.pcs` chooses folders; `query.folderNames` then applies within each.
// When the own folder cannot answer at all, neither can the club; a club folder that cannot (a
// share that is away, a Lapdex.dat not readable) adds no runs or stopwatches and is named in the
// listing's problems with the path "" and kUnreachableClubFolder.
class ClubRunSource : public RunSource {
  public:
    struct Member {
        std::string label;  // as in ClubFolder
        RunSource* source;
    };
    ClubRunSource(RunSource& own, std::vector<Member> clubFolders);

    // The own folder's stopwatches, then each club folder's, in the order given; each with its pc.
    std::optional<std::vector<RunStopwatch>> registeredStopwatches() override;
    RunListing listRuns(const RunQuery& query) override;
    // The own folder's run (a caller that knows no pc means this PC's data folder).
    RunRead readRun(const std::string& folderName, const std::string& fileName) override;
    // From the folder the row's pc names; Gone when no folder has that label any more.
    RunRead readRunOf(const RunRow& row) override;

  private:
    RunSource& own_;
    std::vector<Member> clubFolders_;
};

}  // namespace lapdex
