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

ProcedureOutcome emptySlot(ProcedureUi& ui, const DataFolder& data, Configuration& config, int slot) {
    (void)removeStopwatch(config, data, slot);
    ui.stopwatchRemoved(slot);
    return ProcedureOutcome::Done;
}

}  // namespace

ProcedureOutcome removeStopwatchData(ProcedureUi& ui, const DataFolder& data, Configuration& config,
                                     const LocalClock& clock, const std::string& name) {
    detail::WorkerPause pause(ui);
    if (!ui.askYesNo(detail::fillIn(texts::kRemoveConfirm, name))) return ProcedureOutcome::Cancelled;
    std::string failed = detail::fillIn(texts::kRemoveFailed, name);
    int slot = config.registry.findByName(name);
    if (slot < 0) {
        ui.showError(failed);  // no slot carries the name: there is nothing that could be emptied
        return ProcedureOutcome::Failed;
    }
    FileSystem& fs = data.fs();
    std::string folder = data.stopwatchFolder(slot);
    if (!isSafeStopwatchFolder(fs, data, folder)) {
        ui.showError(detail::fillIn(texts::kStopwatchFolderUnsafe, name));
        return ProcedureOutcome::Refused;
    }
    // A folder that is already gone has no run files to lose: only the slot is left to empty.
    if (fs.kindOf(folder) == EntryKind::None) return emptySlot(ui, data, config, slot);
    std::string backup = detail::createBackupFolder(data, clock);
    if (!copyTree(fs, folder, backup, TreeScope::AllEntries, AttributeRule::KeepAttributes).ok()) {
        detail::discardBackup(fs, backup);  // nothing was deleted yet
        ui.showError(failed);
        return ProcedureOutcome::Failed;
    }
    if (!removeFolder(fs, folder).ok()) {
        if (fs.kindOf(folder) == EntryKind::None) (void)fs.createFolder(folder);
        TreeResult restore = copyTree(fs, backup, folder, TreeScope::AllEntries, AttributeRule::KeepAttributes,
                                      ExistingFiles::Keep);
        return detail::finishRestore(ui, fs, restore, backup, failed);
    }
    detail::discardBackup(fs, backup);
    return emptySlot(ui, data, config, slot);
}

}  // namespace lapdex
