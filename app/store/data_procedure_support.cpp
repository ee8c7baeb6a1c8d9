#include "data_procedure_support.h"

#include <ctime>
#include <filesystem>

#include "procedure_texts.h"

namespace lapdex {
namespace {

// Canonical form of a folder; a folder that does not exist yet is normalised lexically instead.
std::string resolved(FileSystem& fs, const std::string& folder) {
    std::string canonical = fs.canonicalPath(folder);
    if (!canonical.empty()) return canonical;
    return withoutTrailingSlash(std::filesystem::absolute(folder).lexically_normal().string());
}

bool isBelow(const std::string& inner, const std::string& outer) {
    std::string prefix = withTrailingSlash(outer);
    return inner.size() > prefix.size() && inner.compare(0, prefix.size(), prefix) == 0;
}

}  // namespace

FolderRelation relationToDataFolder(FileSystem& fs, const std::string& dataFolder, const std::string& chosen) {
    std::string data = resolved(fs, dataFolder);
    std::string other = resolved(fs, chosen);
    if (data == other) return FolderRelation::Same;
    if (isBelow(other, data)) return FolderRelation::Inside;
    if (isBelow(data, other)) return FolderRelation::Contains;
    return FolderRelation::Separate;
}

std::string backupFolderPath(const DataFolder& data, const LocalClock& clock) {
    std::tm now = clock.localNow();
    char stamp[32];
    if (std::strftime(stamp, sizeof stamp, "%Y%m%d_%H%M%S", &now) == 0) stamp[0] = '\0';
    return data.path() + "Temp_" + stamp;
}

namespace detail {

std::string fillIn(std::string_view pattern, std::string_view value) {
    std::string text(pattern);
    if (std::size_t at = text.find("%s"); at != std::string::npos) text.replace(at, 2, value);
    return text;
}

std::string createBackupFolder(const DataFolder& data, const LocalClock& clock) {
    std::string backup = backupFolderPath(data, clock);
    (void)data.fs().createFolder(backup);  // an existing folder is reused
    return backup;
}

void discardBackup(FileSystem& fs, const std::string& backup) {
    (void)removeFolder(fs, backup);
}

ChangeReport finishRestore(FileSystem& fs, const TreeResult& restore, const std::string& backup,
                           const std::string& failureText) {
    if (!restore.ok()) {
        return {ProcedureOutcome::BackupKept,
                failureText + "\n" + fillIn(texts::localized(texts::kRestoreFailedBackupKept), backup)};
    }
    discardBackup(fs, backup);
    return {ProcedureOutcome::Failed, failureText};
}

ProcedureOutcome tell(ProcedureUi& ui, const ChangeReport& report) {
    if (!report.error.empty()) ui.showError(report.error);
    return report.outcome;
}

}  // namespace detail
}  // namespace lapdex
