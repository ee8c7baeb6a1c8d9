// Removal of one stopwatch's folder and run files, behind a backup.
#include <optional>

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

// True when a file in `folder`, at any depth, is in use by another program.
bool holdsFileInUse(FileSystem& fs, const std::string& folder) {
    const FolderListing listing = fs.listFolder(folder);
    for (const FolderEntry& e : listing.entries) {
        const std::string path = folder + "/" + e.name;
        if (e.kind == EntryKind::File ? fs.isInUse(path)
                                      : e.kind == EntryKind::Folder && holdsFileInUse(fs, path))
            return true;
    }
    return false;
}

// Deletes an existing stopwatch folder behind a backup, putting it back when that fails.
std::optional<detail::ChangeReport> deleteBehindBackup(const DataFolder& data,
                                                       const LocalClock& clock,
                                                       const std::string& folder,
                                                       const std::string& failed) {
    FileSystem& fs = data.fs();
    std::string backup = detail::createBackupFolder(data, clock);
    if (!copyTree(fs, folder, backup, TreeScope::AllEntries, AttributeRule::KeepAttributes).ok()) {
        detail::discardBackup(fs, backup);  // nothing was deleted yet
        return detail::ChangeReport{ProcedureOutcome::Failed, failed};
    }
    if (!removeFolder(fs, folder).ok()) {
        if (fs.kindOf(folder) == EntryKind::None) (void)fs.createFolder(folder);
        TreeResult restore = copyTree(fs, backup, folder, TreeScope::AllEntries,
                                      AttributeRule::KeepAttributes, ExistingFiles::Keep);
        return detail::finishRestore(fs, restore, backup, failed);
    }
    detail::discardBackup(fs, backup);
    return std::nullopt;
}

// Deletes the slot's folder (to the trash where there is one) and empties the slot. Changes
// stored data only: the caller holds the worker lock and tells the user afterwards.
detail::ChangeReport removeUnderLock(ProcedureUi& ui, const DataFolder& data, Configuration& config,
                                     const LocalClock& clock, const std::string& name, int& slot) {
    std::string failed = detail::fillIn(texts::localized(texts::kRemoveFailed), name);
    slot = config.registry.findByName(name);
    // No slot carries the name: there is nothing that could be emptied.
    if (slot < 0) return {ProcedureOutcome::Failed, failed};
    FileSystem& fs = data.fs();
    std::string folder = data.stopwatchFolder(slot);
    if (!isSafeStopwatchFolder(fs, data, folder)) {
        return {ProcedureOutcome::Refused,
                detail::fillIn(texts::localized(texts::kStopwatchFolderUnsafe), name)};
    }
    // A folder that is already gone has no run files to lose: only the slot is left to empty. One
    // in the trash can be put back by the user, so it needs no backup.
    if (fs.kindOf(folder) != EntryKind::None &&
        (holdsFileInUse(fs, folder) || !ui.discard(folder))) {
        if (auto report = deleteBehindBackup(data, clock, folder, failed)) return *report;
    }
    (void)removeStopwatch(config, data, slot);
    return {};
}

}  // namespace

ProcedureOutcome removeStopwatchData(ProcedureUi& ui, const DataFolder& data, Configuration& config,
                                     const LocalClock& clock, const std::string& name) {
    detail::WorkerPause pause(ui);
    if (!ui.askYesNo(detail::fillIn(texts::localized(texts::kRemoveConfirm), name)))
        return ProcedureOutcome::Cancelled;
    // The user has answered: the lock is held only while the files and the slot change.
    detail::ChangeReport report;
    int slot = -1;
    ui.withWorkerLock([&] { report = removeUnderLock(ui, data, config, clock, name, slot); });
    if (report.outcome != ProcedureOutcome::Done) return detail::tell(ui, report);
    ui.stopwatchRemoved(slot);
    return ProcedureOutcome::Done;
}

}  // namespace lapdex
