// Removal of one stopwatch's folder and run files, behind a backup.
#include "data_procedure_support.h"
#include "procedure_texts.h"

namespace lapdex {
namespace {

// The slot's folder must be a real folder directly in the data folder (or missing), never a link
// that leads elsewhere.
bool isSafeStopwatchFolder(FileSystem& fs, const DataFolder& data, const std::string& folder) {
    EntryKind kind = fs.kindOf(folder);
    if (kind == EntryKind::None) return true;
    if (kind != EntryKind::Folder) return false;
    std::string parent = fs.canonicalPath(folder + "/..");
    return !parent.empty() && parent == fs.canonicalPath(data.path());
}

// Deletes the slot's folder behind a backup and empties the slot. Changes stored data only: the
// caller holds the worker lock and tells the user afterwards.
detail::ChangeReport removeUnderLock(const DataFolder& data, Configuration& config,
                                     const LocalClock& clock, const std::string& name, int& slot) {
    std::string failed = detail::fillIn(texts::localized(texts::kRemoveFailed), name);
    slot = config.registry.findByName(name);
    // No slot carries the name: there is nothing that could be emptied.
    if (slot < 0) return {ProcedureOutcome::Failed, failed};
    FileSystem& fs = data.fs();
    std::string folder = data.stopwatchFolder(slot);
    if (!isSafeStopwatchFolder(fs, data, folder)) {
        return {ProcedureOutcome::Refused, detail::fillIn(texts::localized(texts::kStopwatchFolderUnsafe), name)};
    }
    // A folder that is already gone has no run files to lose: only the slot is left to empty.
    if (fs.kindOf(folder) != EntryKind::None) {
        std::string backup = detail::createBackupFolder(data, clock);
        if (!copyTree(fs, folder, backup, TreeScope::AllEntries, AttributeRule::KeepAttributes)
                 .ok()) {
            detail::discardBackup(fs, backup);  // nothing was deleted yet
            return {ProcedureOutcome::Failed, failed};
        }
        if (!removeFolder(fs, folder).ok()) {
            if (fs.kindOf(folder) == EntryKind::None) (void)fs.createFolder(folder);
            TreeResult restore = copyTree(fs, backup, folder, TreeScope::AllEntries,
                                          AttributeRule::KeepAttributes, ExistingFiles::Keep);
            return detail::finishRestore(fs, restore, backup, failed);
        }
        detail::discardBackup(fs, backup);
    }
    (void)removeStopwatch(config, data, slot);
    return {};
}

}  // namespace

ProcedureOutcome removeStopwatchData(ProcedureUi& ui, const DataFolder& data, Configuration& config,
                                     const LocalClock& clock, const std::string& name) {
    detail::WorkerPause pause(ui);
    if (!ui.askYesNo(detail::fillIn(texts::localized(texts::kRemoveConfirm), name))) return ProcedureOutcome::Cancelled;
    // The user has answered: the lock is held only while the files and the slot change.
    detail::ChangeReport report;
    int slot = -1;
    ui.withWorkerLock([&] { report = removeUnderLock(data, config, clock, name, slot); });
    if (report.outcome != ProcedureOutcome::Done) return detail::tell(ui, report);
    ui.stopwatchRemoved(slot);
    return ProcedureOutcome::Done;
}

}  // namespace lapdex
