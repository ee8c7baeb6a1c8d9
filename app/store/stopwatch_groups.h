// Groups of stopwatches (a squad, an event group, a year): which serials belong to which named
// groups, kept in the data folder in a small UTF-8 file of their own, so "Lapdex.dat" keeps its
// format and the export and import of a data set carry them.
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include "data_folder.h"
#include "run_source.h"
#include "stopwatch_key.h"

namespace lapdex {

// One line per stopwatch and group: the serial, a tab, the group's name.
inline constexpr const char* kGroupsFileName = "Groups.txt";
// A group's name: 1 to this many characters (UTF-8 code points), no tab, no line break.
inline constexpr std::size_t kGroupNameLimit = 40;

struct StopwatchGroups {
    std::map<std::string, std::set<std::string>> bySerial;  // serial text → its groups

    // Every group's name, sorted.
    std::set<std::string> names() const;
    bool operator==(const StopwatchGroups&) const = default;
};

// The groups of a data folder, and the lines that could not be read (line numbers from 1).
struct [[nodiscard]] GroupsRead {
    FsStatus status;  // a missing file is no groups, not a failure
    StopwatchGroups groups;
    std::vector<int> skippedLines;
};

GroupsRead readGroups(const DataFolder& data);
// Replaces the file whole (through a temporary file), lines sorted by serial and group.
FsStatus writeGroups(const DataFolder& data, const StopwatchGroups& groups);

// The name with its ends trimmed, or "" when it cannot be a group's name.
std::string cleanGroupName(const std::string& name);

// The folder names of the stopwatches of `stopwatches` in `group`; every folder for "".
std::vector<std::string> foldersOfGroup(const StopwatchGroups& groups,
                                        const std::vector<RunStopwatch>& stopwatches,
                                        const std::string& group);

// The same as (pc, folder name) pairs, for stopwatches of several data folders: a group names
// serials, so a club folder's stopwatch belongs to it by its serial as this PC's do.
std::set<StopwatchKey> stopwatchesOfGroup(const StopwatchGroups& groups,
                                          const std::vector<RunStopwatch>& stopwatches,
                                          const std::string& group);

}  // namespace lapdex
