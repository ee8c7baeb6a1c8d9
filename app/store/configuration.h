// The settings and the registry as stored in Lapdex.dat, and the registry changes that save them.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "data_folder.h"
#include "stopwatch_registry.h"

namespace lapdex {

// Held in memory for the whole run; each holds one of its accepted values after loading.
struct Settings {
    std::string location = "ENG";  // "JPN" or "ENG"
    std::string timeComp = "OFF";  // always "OFF"
    std::string pcTime = "ON";     // "ON" or "OFF"
};

// What the window owns: the settings and the 100 slots. Plain data; the owner guards it.
struct Configuration {
    Settings settings;
    StopwatchRegistry registry;
    bool keepImportedConfiguration = false;  // set by a successful import: skip the exit save
};

// The window's tab change for a newly registered stopwatch.
struct TabRequest {
    enum class Kind {
        RenamePlaceholder,  // no stopwatch was registered: the single empty tab takes the name
        Append,             // a new tab at `position` (= the registered count before the addition)
    };
    Kind kind = Kind::Append;
    int position = 0;
    std::string name;
};

// Called on the worker thread while it holds the worker lock: must not wait for the window thread
// (post the request and return).
using TabRequestSink = std::function<void(const TabRequest&)>;

// Reads Lapdex.dat of the data folder into a fresh Configuration with the normalisation rules: an
// unknown LOCATION takes `localeLocation`, TIMECOMP is "OFF", an unknown PCTIME is "ON", names are
// cut to 20 characters, battery levels are 0. A missing or unreadable file gives the defaults.
Configuration loadConfiguration(const DataFolder& data, std::string_view localeLocation);

// Start-up, while holding the data-folder lock: removes the temporary files a crash left in the
// data folder, then creates the folder (one level) of every slot in use that is not an existing
// folder; results ignored.
void createStopwatchFolders(const DataFolder& data, const StopwatchRegistry& registry);

// Writes the settings and all 100 slots (deleting the keys of free slots) into Lapdex.dat, keeping
// every other line of the file. Refuses to save when the existing file cannot be read, so that its
// other lines are never lost.
FsStatus saveConfiguration(const DataFolder& data, const Configuration& config);

// True when the folder of `slotIndex` holds a run file of a stopwatch other than `serialText` (run
// file names carry the serial), or cannot be listed, so it could hold one. A missing folder holds
// none.
bool holdsOtherStopwatchRuns(const DataFolder& data, int slotIndex, std::string_view serialText);

// The slot a new stopwatch takes: the registry's choice among the free slots whose folders hold no
// other stopwatch's runs, so that one folder never mixes two stopwatches; -1 when there is none.
int chooseSlotFor(const StopwatchRegistry& registry, const DataFolder& data,
                  std::string_view serialText);

// Registers a stopwatch whose serial text no slot carries: chooses the slot (chooseSlotFor), asks
// `showTab` for the tab, stores the entry, creates its folder and saves. Returns the slot index, or
// -1 when no slot can take it (nothing changes then).
int addStopwatch(Configuration& config, const DataFolder& data, std::string_view serialText,
                 const TabRequestSink& showTab);

// True when Lapdex.dat gives `name` back exactly as written: valid UTF-8 of at most 20 characters,
// no blank (space or tab) at either end, no line break or NUL.
bool isStorableName(std::string_view name);

// Sets the display name of a slot in use and saves; false (nothing changes) when the slot is not in
// use or the name is not storable.
bool renameStopwatch(Configuration& config, const DataFolder& data, int slotIndex,
                     std::string_view name);

// Empties a slot (serial text, name, battery level) and saves; false for an invalid index.
bool removeStopwatch(Configuration& config, const DataFolder& data, int slotIndex);

enum class ClockSync { Off, On };

// PCTIME "ON" or "OFF"; not saved at once.
void setClockSync(Settings& settings, ClockSync sync);

// "QTM%02d_SERIAL" / "QTM%02d_NAME" of slot number `slotNumber` (1 to 100).
std::string serialKey(int slotNumber);
std::string nameKey(int slotNumber);

}  // namespace lapdex
