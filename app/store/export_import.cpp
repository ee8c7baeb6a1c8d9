// Export and import of the whole data set.
#include "data_procedure_support.h"
#include "procedure_texts.h"
#include "profile_file.h"

namespace lapdex {
namespace {

using detail::WorkerPause;

constexpr const char* kConfigurationName = "Lapdex.dat";

std::string readLocation(FileSystem& fs, const std::string& folder) {
    ProfileLoad load = loadProfile(fs, withTrailingSlash(folder) + kConfigurationName);
    return load.profile.readString("Config", "LOCATION", "");
}

// Steps 3 to 6 of an import: the chosen folder must hold a usable "Lapdex.dat", and a different
// language form needs the user's consent.
ProcedureOutcome checkImportSource(ProcedureUi& ui, const DataFolder& data, const std::string& chosen) {
    FolderListing found = data.fs().findMatching(chosen, kConfigurationName);
    std::string imported = found.ok() && !found.entries.empty() ? readLocation(data.fs(), chosen) : "";
    if (imported != "JPN" && imported != "ENG") {
        ui.showError(texts::localized(texts::kImportInvalid));
        return ProcedureOutcome::Invalid;
    }
    std::string current;
    ui.withWorkerLock(
        [&] { current = readLocation(data.fs(), data.path()); });  // a download may save it
    if (imported != current && !ui.askOkCancel(texts::localized(texts::kImportOtherLanguage))) {
        return ProcedureOutcome::Cancelled;
    }
    return ProcedureOutcome::Done;
}

// Undoes a partly copied import: deletes what arrived and puts the backup back.
TreeResult rollBackImport(FileSystem& fs, const DataFolder& data, const std::string& backup) {
    std::string configuration = data.configurationFile();
    if (fs.kindOf(configuration) == EntryKind::File) (void)setReadOnly(fs, configuration, ReadOnly::Off);
    TreeResult cleared = deleteTree(fs, data.path(), TreeScope::DataSet);
    TreeResult restored =
        copyTree(fs, backup, data.path(), TreeScope::DataSet, AttributeRule::KeepAttributes, ExistingFiles::Keep);
    if (!cleared.ok()) restored.failures += cleared.failures;
    return restored;
}

// Steps 7 to 10: backup, delete, copy in; each failure puts the old data set back. Changes stored
// data only: the caller holds the worker lock and tells the user afterwards.
detail::ChangeReport replaceDataSet(const DataFolder& data, Configuration& config,
                                    const LocalClock& clock, const std::string& chosen) {
    FileSystem& fs = data.fs();
    std::string backup = detail::createBackupFolder(data, clock);
    if (!copyTree(fs, data.path(), backup, TreeScope::DataSet, AttributeRule::KeepAttributes).ok()) {
        detail::discardBackup(fs, backup);  // nothing was deleted yet
        return {ProcedureOutcome::Failed, texts::shown(texts::kImportFailed)};
    }
    if (!deleteTree(fs, data.path(), TreeScope::DataSet).ok()) {
        TreeResult restore = copyTree(fs, backup, data.path(), TreeScope::DataSet, AttributeRule::KeepAttributes,
                                      ExistingFiles::Keep);
        return detail::finishRestore(fs, restore, backup, texts::shown(texts::kImportFailed));
    }
    if (!copyTree(fs, chosen, data.path(), TreeScope::DataSet, AttributeRule::MakeReadOnly).ok()) {
        TreeResult restore = rollBackImport(fs, data, backup);
        return detail::finishRestore(fs, restore, backup, texts::shown(texts::kImportCopyFailedRestored));
    }
    detail::discardBackup(fs, backup);
    config.keepImportedConfiguration = true;
    return {};
}

// Stopwatch folders and the files in them: what an export copies besides "Lapdex.dat".
struct DataSetSize {
    int folders = 0;
    int files = 0;
};

DataSetSize measureDataSet(FileSystem& fs, const std::string& folder) {
    DataSetSize size;
    FolderListing top = fs.listFolder(withoutTrailingSlash(folder));
    for (const FolderEntry& e : top.entries) {
        if (e.kind != EntryKind::Folder || !isDataSetFolderName(e.name)) continue;
        ++size.folders;
        for (const FolderEntry& f : fs.listFolder(withTrailingSlash(folder) + e.name).entries) {
            if (f.kind == EntryKind::File) ++size.files;
        }
    }
    return size;
}

std::string exportDoneText(const DataSetSize& size, const std::string& destination) {
    std::string text = texts::shown(texts::kExportDone);
    auto put = [&text](std::string_view mark, const std::string& value) {
        if (std::size_t at = text.find(mark); at != std::string::npos)
            text.replace(at, mark.size(), value);
    };
    put("%1", std::to_string(size.folders));
    put("%2", std::to_string(size.files));
    put("%3", destination);
    return text;
}

bool refuseOverlap(ProcedureUi& ui, const DataFolder& data, const std::string& chosen) {
    if (relationToDataFolder(data.fs(), data.path(), chosen) == FolderRelation::Separate) return false;
    ui.showError(texts::localized(texts::kFolderOverlapsDataFolder));
    return true;
}

}  // namespace

ProcedureOutcome exportData(ProcedureUi& ui, const DataFolder& data) {
    WorkerPause pause(ui);
    std::optional<std::string> chosen = ui.browseFolder(texts::localized(texts::kExportBrowseTitle), NewFolderButton::Shown);
    if (!chosen) return ProcedureOutcome::Cancelled;
    if (refuseOverlap(ui, data, *chosen)) return ProcedureOutcome::Refused;
    bool copied = false;
    DataSetSize size;
    // Under the lock, so no download writes into the data set while it is copied.
    ui.withWorkerLock([&] {
        size = measureDataSet(data.fs(), data.path());
        copied = copyTree(data.fs(), data.path(), *chosen, TreeScope::DataSet,
                          AttributeRule::ClearReadOnly)
                     .ok();
    });
    if (!copied) {
        ui.showError(texts::localized(texts::kExportFailed));
        return ProcedureOutcome::Failed;
    }
    ui.showNotice(exportDoneText(size, withoutTrailingSlash(*chosen)));
    return ProcedureOutcome::Done;
}

ProcedureOutcome importData(ProcedureUi& ui, const DataFolder& data, Configuration& config, const LocalClock& clock) {
    WorkerPause pause(ui);
    std::optional<std::string> chosen = ui.browseFolder(texts::localized(texts::kImportBrowseTitle), NewFolderButton::Hidden);
    if (!chosen) return ProcedureOutcome::Cancelled;
    if (refuseOverlap(ui, data, *chosen)) return ProcedureOutcome::Refused;
    if (ProcedureOutcome check = checkImportSource(ui, data, *chosen); check != ProcedureOutcome::Done) {
        return check;
    }
    // Every question has been answered: only now is the lock taken, and only for the change itself.
    detail::ChangeReport report;
    ui.withWorkerLock([&] { report = replaceDataSet(data, config, clock, *chosen); });
    if (report.outcome != ProcedureOutcome::Done) return detail::tell(ui, report);
    ui.showNotice(texts::localized(texts::kImportRestart));
    ui.closeMainWindow();
    return ProcedureOutcome::Done;
}

}  // namespace lapdex
