// Helpers shared by the export, import and removal procedures (internal to the store).
#pragma once

#include <string>
#include <string_view>

#include "data_procedures.h"
#include "tree_operations.h"

namespace lapdex::detail {

// Pauses the worker for the life of the object: every path of a procedure resumes it.
class WorkerPause {
public:
    explicit WorkerPause(ProcedureUi& ui) : ui_(ui) { ui_.pauseWorker(); }
    ~WorkerPause() { ui_.resumeWorker(); }
    WorkerPause(const WorkerPause&) = delete;
    WorkerPause& operator=(const WorkerPause&) = delete;

private:
    ProcedureUi& ui_;
};

// `pattern` with its one "%s" replaced by `value`.
std::string fillIn(std::string_view pattern, std::string_view value);

// Creates the backup folder (one level; an existing one is reused) and returns its path.
std::string createBackupFolder(const DataFolder& data, const LocalClock& clock);

// Removes the backup folder once its contents are back in place or no longer needed.
void discardBackup(FileSystem& fs, const std::string& backup);

// What a change of stored data ended with, and the message to show once the worker lock is
// released.
struct ChangeReport {
    ProcedureOutcome outcome = ProcedureOutcome::Done;
    std::string error;  // shown with the error icon when not empty
};

// Ends a restore: removes the backup and reports `failureText` when the restore worked, otherwise
// keeps the backup and says where it is.
ChangeReport finishRestore(FileSystem& fs, const TreeResult& restore, const std::string& backup,
                           const std::string& failureText);

// Shows the report's error, if any, and returns its outcome.
ProcedureOutcome tell(ProcedureUi& ui, const ChangeReport& report);

}  // namespace lapdex::detail
