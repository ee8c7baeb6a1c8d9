// Telling a damaged Lapdex.dat from a sound one, and rebuilding the registry from the stopwatch
// folders.
#pragma once

#include <ctime>
#include <string>
#include <string_view>
#include <vector>

#include "data_folder.h"
#include "file_system.h"

namespace lapdex {

// One stopwatch folder ("QTM-01" to "QTM-100") of a data folder and whose runs it holds.
struct StopwatchFolderSurvey {
    int slotIndex = -1;
    std::string name;                  // the folder's name
    std::vector<std::string> serials;  // distinct serial texts of its run files, sorted
    FsStatus listing;                  // a folder that could not be listed holds no known serial
};

// The stopwatch folders of the data folder in slot order (never in listing order). Entries whose
// names are not a slot's folder name are not looked at. `status` tells whether the data folder
// itself could be listed.
std::vector<StopwatchFolderSurvey> surveyStopwatchFolders(const DataFolder& data, FsStatus& status);

enum class ConfigurationFileState {
    Missing,     // no Lapdex.dat: the defaults apply
    Sound,       // a profile the program may read and update
    Unreadable,  // it exists but cannot be read (`status` says why)
    Damaged,     // it reads, but not as the profile it should be (`reason` says why)
};

struct [[nodiscard]] ConfigurationFileCheck {
    ConfigurationFileState state = ConfigurationFileState::Missing;
    FsStatus status;
    std::string reason;  // English, for the command line: "line 3 is not a setting", ...
};

// Damaged means: a line that is neither blank, a section, a comment nor a setting (random bytes, a
// file of another kind), or no [User] section although a stopwatch folder holds run files (a file
// cut short, which would hand out the slots of stopwatches whose runs are on disk).
ConfigurationFileCheck checkConfigurationFile(const DataFolder& data);

// Why a stopwatch folder was left out of a rebuilt registry.
enum class RepairDoubt {
    MixedSerials,     // it holds runs of two or more stopwatches
    NoRuns,           // it holds no run file, so its stopwatch cannot be told
    Unreadable,       // it could not be listed
    SerialElsewhere,  // its stopwatch's runs lie in a lower folder too, which got the slot
};

struct RepairIssue {
    RepairDoubt doubt = RepairDoubt::NoRuns;
    std::string folder;                // the folder's name
    std::vector<std::string> serials;  // the serials it holds
    FsStatus status;                   // Unreadable: why
    std::string registeredIn;          // SerialElsewhere: the folder that got the slot
};

struct RepairSlot {
    int slotIndex = -1;
    std::string serialText;
    std::string displayName;
};

struct [[nodiscard]] RepairResult {
    FsStatus status;            // failure: nothing changed (an old file moved aside is moved back)
    std::string failedPath;     // the file or folder the failure concerns
    std::string movedAside;     // where the old file went; "" when there was none
    bool settingsKept = false;  // the old file was readable: its settings and names were kept
    std::vector<RepairSlot> registered;  // in slot order
    std::vector<RepairIssue> undecided;  // in slot order
    bool ok() const { return status.ok(); }
    bool whole() const { return ok() && undecided.empty(); }
};

// "Lapdex.dat.damaged-YYYYMMDD-HHMMSS" of `now`.
std::string damagedFileName(const std::tm& now);

// Rebuilds Lapdex.dat from the stopwatch folders: each folder whose run files carry one serial gets
// its slot, named as the registry names a new stopwatch unless the old file, when readable, gave
// that serial in that slot another name; the old file's settings are kept (normalised as at
// start-up). The old file is first moved aside (damagedFileName), then the new one is written
// atomically. Call only while holding the data-folder lock.
RepairResult repairConfiguration(const DataFolder& data, const std::tm& now,
                                 std::string_view localeLocation);

}  // namespace lapdex
