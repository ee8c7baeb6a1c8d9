// Export, import and removal of stored data as a whole, run on the window thread. They ask and tell
// the user only through ProcedureUi, which the main window implements and tests script.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "configuration.h"
#include "data_folder.h"
#include "local_clock.h"

namespace lapdex {

enum class NewFolderButton { Hidden, Shown };

// The main window as the procedures see it. All texts are UTF-8; every box is captioned
// "K7X Stopwatch". Called on the window thread only.
class ProcedureUi {
  public:
    virtual ~ProcedureUi() = default;
    virtual void pauseWorker() = 0;
    virtual void resumeWorker() = 0;
    // Runs `work` while holding the worker lock. `work` changes stored data only: it never asks or
    // tells the user, so no dialog ever runs while the lock is held.
    virtual void withWorkerLock(const std::function<void()>& work) = 0;
    // The folder browser, starting at the desktop, file-system folders only. nullopt: cancelled or
    // the chosen item has no file-system path.
    virtual std::optional<std::string> browseFolder(std::string_view title,
                                                    NewFolderButton button) = 0;
    // Yes/No box with the information icon; true for Yes.
    virtual bool askYesNo(std::string_view text) = 0;
    // OK/Cancel box with the information icon; true for OK.
    virtual bool askOkCancel(std::string_view text) = 0;
    // OK box with the information icon.
    virtual void showNotice(std::string_view text) = 0;
    // OK box with the error icon.
    virtual void showError(std::string_view text) = 0;
    // After a successful import: close the main window, which ends the program.
    virtual void closeMainWindow() = 0;
    // After a successful removal (the slot is already empty and saved): change the tab list, lower
    // the registered count, reload the page and refresh the battery picture.
    virtual void stopwatchRemoved(int slotIndex) = 0;
    // What removal offers a stopwatch's folder to first (see PathDiscard); called under the worker
    // lock. Without a trash nothing is discarded and the folder is deleted.
    virtual bool discard(const std::string& path) {
        (void)path;
        return false;
    }
};

enum class ProcedureOutcome {
    Cancelled,  // the user said no or chose nothing; nothing changed
    Refused,  // the chosen folder overlaps the data folder (or a stopwatch folder leads outside it)
    Invalid,  // import: no valid "Lapdex.dat" in the chosen folder; nothing changed
    Done,
    Failed,      // nothing changed, or what was deleted has been put back from the backup
    BackupKept,  // the backup could not be put back completely; the backup folder was kept
};

enum class FolderRelation { Separate, Same, Inside, Contains };

// How `chosen` lies to the data folder, after links, "." and ".." are resolved.
FolderRelation relationToDataFolder(FileSystem& fs, const std::string& dataFolder,
                                    const std::string& chosen);

// The data folder + "Temp_" + local time as "%Y%m%d_%H%M%S", without a trailing '/'.
std::string backupFolderPath(const DataFolder& data, const LocalClock& clock);

// Copies the data set into a folder the user picks, as writable files, and tells the user how many
// stopwatch folders and run files went where.
ProcedureOutcome exportData(ProcedureUi& ui, const DataFolder& data);

// Replaces the data set of the data folder by that of a folder the user picks, behind a backup. On
// success sets config.keepImportedConfiguration and closes the main window; otherwise `config` is
// unchanged.
ProcedureOutcome importData(ProcedureUi& ui, const DataFolder& data, Configuration& config,
                            const LocalClock& clock);

// Deletes the folder and run files of the stopwatch whose tab text is `name` and empties its slot:
// the folder goes whole to ui.discard() (the desktop's trash) unless a file in it is in use or the
// trash refuses it; otherwise it is deleted behind a backup.
ProcedureOutcome removeStopwatchData(ProcedureUi& ui, const DataFolder& data, Configuration& config,
                                     const LocalClock& clock, const std::string& name);

}  // namespace lapdex
