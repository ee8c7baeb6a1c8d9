// What the main window needs of the engine and the store, in the window's own terms.
// The program's implementation wraps Engine and EngineState; tests script one.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "data_folder.h"
#include "data_procedures.h"
#include "engine/engine_state.h"
#include "engine/notification_sink.h"

namespace lapdex::ui {

class EnginePort {
public:
    virtual ~EnginePort() = default;

    // Folder of the data set, ending in '/'.
    virtual std::string dataFolder() const = 0;
    // Whether the data set can be kept there (asked at start-up).
    virtual FolderCheck checkDataFolder() = 0;
    // What the last download could not write, read when NTF_RUN_FILE_ERROR is handled.
    virtual RunFileShortfall runFileShortfall() = 0;
    // Start-up: load and normalise the configuration, create missing stopwatch folders,
    // save, and rebuild the tab model.
    virtual void loadConfiguration() = 0;
    // Starts the worker (polling for new runs) and the ticker (stopped); both report to `sink`.
    virtual void start(NotificationSink& sink) = 0;
    // Quits both threads, waiting for each at most 5000 ms.
    virtual void stop() = 0;
    // Saves the configuration unless an import has just replaced it.
    virtual void saveOnExit() = 0;

    virtual void post(MessageId command) = 0;        // CMD_DOWNLOAD_NEW, CMD_PAUSE
    virtual void postLocked(MessageId command) = 0;  // CMD_DOWNLOAD_ALL, CMD_CLEAR
    virtual void postTicker(MessageId message) = 0;  // TICK_START, TICK_STOP

    // The WorkerShared fields, read when their notification is handled.
    virtual int notifiedTab() const = 0;
    virtual int transferLength() const = 0;
    // Start day of the newest run of the last download (yyyymmdd), 0 for none.
    virtual int newestRunDay() const = 0;
    // The personal bests that the last download's new runs set, read when NTF_DOWNLOAD_DONE is
    // handled. None by default.
    virtual std::vector<BestSet> downloadBests() { return {}; }

    // The tab model's titles (none when nothing is registered) and the number of slots in
    // use. Read without the worker lock, like the battery level and the slot of a name.
    virtual std::vector<std::string> tabTitles() = 0;
    virtual int registeredCount() = 0;
    // After the window changed its tabs (rename, removal): the model follows.
    virtual void mirrorTabs(const std::vector<std::string>& titles) = 0;
    // Battery level of the first slot named `name`: 0 to 5, or -1 when no slot has it.
    virtual int batteryLevel(const std::string& name) = 0;
    // Registry slot of the first slot in use named `name`, or -1.
    virtual int slotOf(const std::string& name) = 0;
    // Runs `work` while holding the worker lock (call between pause and resume). `work` must
    // not show anything: no dialog or other event loop may run while the lock is held.
    virtual void withWorkerLock(const std::function<void()>& work) = 0;
    // True while the calling thread holds the worker lock (for checks of that rule).
    virtual bool workerLockHeldHere() const = 0;

    virtual bool clockSync() = 0;
    virtual void setClockSync(bool on) = 0;
    // The slot found by the old name takes the new one; the configuration is saved.
    virtual void renameStopwatch(const std::string& oldName, const std::string& newName) = 0;

    virtual ProcedureOutcome exportData(ProcedureUi& ui) = 0;
    virtual ProcedureOutcome importData(ProcedureUi& ui) = 0;
    virtual ProcedureOutcome removeStopwatchData(ProcedureUi& ui, const std::string& name) = 0;
};

}  // namespace lapdex::ui
