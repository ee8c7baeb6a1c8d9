// The registry's health check and its rebuild from the run files' names.
#include "registry_repair.h"

#include <algorithm>
#include <cstdio>
#include <map>

#include "configuration.h"
#include "profile_file.h"
#include "run_file_format.h"

namespace lapdex {
namespace {

// The slot index whose folder is called `name`, or -1.
int slotOfFolderName(std::string_view name) {
    constexpr std::string_view kPrefix = "QTM-";
    if (!name.starts_with(kPrefix) || name.size() > kPrefix.size() + 3) return -1;
    int number = 0;
    for (char c : name.substr(kPrefix.size())) {
        if (c < '0' || c > '9') return -1;
        number = number * 10 + (c - '0');
    }
    const int slot = number - 1;
    // "QTM-1" or "QTM-007" would never be written: only the registry's own spelling counts.
    return isValidSlotIndex(slot) && DataFolder::stopwatchFolderName(slot) == name ? slot : -1;
}

StopwatchFolderSurvey surveyOne(const DataFolder& data, int slot, std::string name) {
    StopwatchFolderSurvey survey;
    survey.slotIndex = slot;
    survey.name = std::move(name);
    const FolderListing listing = data.fs().listFolder(data.stopwatchFolder(slot));
    survey.listing = listing.status;
    for (const FolderEntry& entry : listing.entries) {
        if (entry.kind != EntryKind::File) continue;
        std::string serial = serialOfRunFileName(entry.name);
        if (!serial.empty()) survey.serials.push_back(std::move(serial));
    }
    std::sort(survey.serials.begin(), survey.serials.end());
    survey.serials.erase(std::unique(survey.serials.begin(), survey.serials.end()),
                         survey.serials.end());
    return survey;
}

// The first stopwatch folder that holds a run file, or null.
const StopwatchFolderSurvey* firstWithRuns(const std::vector<StopwatchFolderSurvey>& folders) {
    for (const StopwatchFolderSurvey& folder : folders) {
        if (!folder.serials.empty()) return &folder;
    }
    return nullptr;
}

// Decides the slots: one serial per folder, each serial in its lowest folder only.
void decideSlots(const std::vector<StopwatchFolderSurvey>& folders, const Configuration& old,
                 RepairResult& result) {
    std::map<std::string, std::string> folderOfSerial;
    for (const StopwatchFolderSurvey& folder : folders) {
        RepairIssue issue{RepairDoubt::NoRuns, folder.name, folder.serials, folder.listing, {}};
        if (!folder.listing.ok()) {
            issue.doubt = RepairDoubt::Unreadable;
        } else if (folder.serials.size() > 1) {
            issue.doubt = RepairDoubt::MixedSerials;
        } else if (!folder.serials.empty()) {
            const std::string& serial = folder.serials.front();
            if (auto it = folderOfSerial.find(serial); it != folderOfSerial.end()) {
                issue.doubt = RepairDoubt::SerialElsewhere;
                issue.registeredIn = it->second;
            } else {
                folderOfSerial.emplace(serial, folder.name);
                const StopwatchEntry& before = old.registry.entry(folder.slotIndex);
                const bool keepName = before.serialText == serial && !before.displayName.empty();
                result.registered.push_back(
                    {folder.slotIndex, serial, keepName ? before.displayName : folder.name});
                continue;
            }
        }
        result.undecided.push_back(std::move(issue));
    }
}

// Moves the old file to a free name beside it; "" with `status` set when that fails.
std::string moveAside(const DataFolder& data, const std::tm& now, FsStatus& status) {
    const std::string base = data.path() + damagedFileName(now);
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string target = attempt == 0 ? base : base + "-" + std::to_string(attempt);
        if (data.fs().kindOf(target) != EntryKind::None) continue;
        status = data.fs().renameReplace(data.configurationFile(), target);
        return status.ok() ? target : std::string();
    }
    status = {FsError::AlreadyExists, 0};
    return {};
}

}  // namespace

std::vector<StopwatchFolderSurvey> surveyStopwatchFolders(const DataFolder& data,
                                                          FsStatus& status) {
    const FolderListing listing = data.fs().listFolder(withoutTrailingSlash(data.path()));
    status = listing.status;
    std::vector<StopwatchFolderSurvey> folders;
    for (const FolderEntry& entry : listing.entries) {
        const int slot = slotOfFolderName(entry.name);
        if (slot >= 0 && entry.kind == EntryKind::Folder)
            folders.push_back(surveyOne(data, slot, entry.name));
    }
    std::sort(folders.begin(), folders.end(),
              [](const StopwatchFolderSurvey& a, const StopwatchFolderSurvey& b) {
                  return a.slotIndex < b.slotIndex;
              });
    return folders;
}

ConfigurationFileCheck checkConfigurationFile(const DataFolder& data) {
    ConfigurationFileCheck check;
    const FsBytes bytes = data.fs().readFile(data.configurationFile());
    if (!bytes.ok()) {
        const bool missing = bytes.status.error == FsError::NotFound;
        check.state =
            missing ? ConfigurationFileState::Missing : ConfigurationFileState::Unreadable;
        if (!missing) check.status = bytes.status;
        return check;
    }
    const ProfileFile profile = ProfileFile::parse(bytes.bytes);
    check.state = ConfigurationFileState::Damaged;
    if (const std::size_t line = profile.firstStrayLine(); line != 0) {
        check.reason =
            "line " + std::to_string(line) + " is neither a section, a setting nor a comment";
        return check;
    }
    if (!profile.hasSection("User")) {
        FsStatus listed;
        const std::vector<StopwatchFolderSurvey> folders = surveyStopwatchFolders(data, listed);
        if (const StopwatchFolderSurvey* folder = firstWithRuns(folders)) {
            check.reason = "it has no [User] section, yet " + folder->name + " holds run files";
            return check;
        }
    }
    check.state = ConfigurationFileState::Sound;
    return check;
}

std::string damagedFileName(const std::tm& now) {
    char name[64];
    std::snprintf(name, sizeof name, "Lapdex.dat.damaged-%04d%02d%02d-%02d%02d%02d",
                  now.tm_year + 1900, now.tm_mon + 1, now.tm_mday, now.tm_hour, now.tm_min,
                  now.tm_sec);
    return name;
}

RepairResult repairConfiguration(const DataFolder& data, const std::tm& now,
                                 std::string_view localeLocation) {
    RepairResult result;
    FsStatus listed;
    const std::vector<StopwatchFolderSurvey> folders = surveyStopwatchFolders(data, listed);
    if (!listed.ok()) {
        result.status = listed;
        result.failedPath = withoutTrailingSlash(data.path());
        return result;
    }
    const FsBytes oldBytes = data.fs().readFile(data.configurationFile());
    result.settingsKept = oldBytes.ok();
    // An unreadable old file gives the defaults, as at start-up.
    const Configuration old = loadConfiguration(data, localeLocation);
    decideSlots(folders, old, result);
    if (data.fs().kindOf(data.configurationFile()) != EntryKind::None) {
        result.movedAside = moveAside(data, now, result.status);
        if (!result.ok()) {
            result.failedPath = data.configurationFile();
            return result;
        }
    }
    Configuration rebuilt;
    rebuilt.settings = old.settings;
    for (const RepairSlot& slot : result.registered) {
        rebuilt.registry.entry(slot.slotIndex) = {slot.serialText, slot.displayName, 0};
    }
    result.status = saveConfiguration(data, rebuilt);
    if (!result.ok()) {
        result.failedPath = data.configurationFile();
        if (!result.movedAside.empty())
            (void)data.fs().renameReplace(result.movedAside, data.configurationFile());
        result.movedAside.clear();
    }
    return result;
}

}  // namespace lapdex
