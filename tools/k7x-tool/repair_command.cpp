// k7x-tool repair: the registry rebuilt from the run files, with what could not be decided named.
#include "repair_command.h"

#include <cstring>
#include <ctime>

#include "data_folder.h"
#include "data_folder_lock.h"
#include "leftover_files.h"
#include "registry_repair.h"

namespace k7x {
namespace {

constexpr int kFailure = 1;

std::string joined(const std::vector<std::string>& serials) {
    std::string text;
    for (const std::string& serial : serials) text += (text.empty() ? "" : ", ") + serial;
    return text;
}

// One line on `err` for a folder left out of the registry, saying why and what would settle it.
void reportDoubt(const lapdex::RepairIssue& issue, std::FILE* err) {
    const char* folder = issue.folder.c_str();
    switch (issue.doubt) {
        case lapdex::RepairDoubt::MixedSerials:
            std::fprintf(
                err,
                "k7x-tool: %s holds runs of %zu stopwatches (%s); it is left unregistered: "
                "give each stopwatch's runs a folder of their own, then repair again\n",
                folder, issue.serials.size(), joined(issue.serials).c_str());
            break;
        case lapdex::RepairDoubt::NoRuns:
            std::fprintf(err,
                         "k7x-tool: %s holds no run file, so its stopwatch cannot be told; it is "
                         "left unregistered\n",
                         folder);
            break;
        case lapdex::RepairDoubt::Unreadable:
            std::fprintf(err, "k7x-tool: %s cannot be read (%s); it is left unregistered\n", folder,
                         issue.status.sysErrno != 0 ? std::strerror(issue.status.sysErrno)
                                                    : "input/output error");
            break;
        case lapdex::RepairDoubt::SerialElsewhere:
            std::fprintf(
                err,
                "k7x-tool: %s holds runs of %s, which %s holds too and is registered with; %s is "
                "left unregistered\n",
                folder, joined(issue.serials).c_str(), issue.registeredIn.c_str(), folder);
            break;
    }
}

void reportDecisions(const lapdex::RepairResult& result, const lapdex::DataFolder& data,
                     std::FILE* out) {
    if (!result.movedAside.empty())
        std::fprintf(out, "Moved the old Lapdex.dat aside to %s\n", result.movedAside.c_str());
    if (result.settingsKept) std::fprintf(out, "Kept the settings of the old Lapdex.dat\n");
    for (const lapdex::RepairSlot& slot : result.registered) {
        std::fprintf(out, "%s: stopwatch %s, tab %s\n",
                     lapdex::DataFolder::stopwatchFolderName(slot.slotIndex).c_str(),
                     slot.serialText.c_str(), slot.displayName.c_str());
    }
    std::fprintf(out, "Wrote %s with %zu %s\n", data.configurationFile().c_str(),
                 result.registered.size(),
                 result.registered.size() == 1 ? "stopwatch" : "stopwatches");
}

}  // namespace

int runRepair(const std::string& dataFolder, std::FILE* out, std::FILE* err) {
    lapdex::FileSystem& fs = lapdex::systemFileSystem();
    const lapdex::DataFolder data(fs, dataFolder);
    if (fs.kindOf(lapdex::withoutTrailingSlash(data.path())) != lapdex::EntryKind::Folder) {
        std::fprintf(err, "k7x-tool: %s is not a folder\n", dataFolder.c_str());
        return kFailure;
    }
    const lapdex::DataFolderLock lock(data.path());
    if (lock.state() == lapdex::DataFolderLock::State::InUse) {
        std::fprintf(err,
                     "k7x-tool: the data folder %s is in use by Lapdex or another k7x-tool; repair "
                     "once it has ended\n",
                     dataFolder.c_str());
        return kFailure;
    }
    (void)lapdex::removeLeftoverTemporaries(data);
    const std::time_t seconds = std::time(nullptr);
    std::tm now{};
    ::localtime_r(&seconds, &now);
    const lapdex::RepairResult result = lapdex::repairConfiguration(
        data, now, lapdex::localeDefaultLocation(lapdex::processEnvironment()));
    if (!result.ok()) {
        std::fprintf(
            err, "k7x-tool: cannot rebuild %s: %s; nothing was changed\n",
            data.configurationFile().c_str(),
            result.status.sysErrno != 0 ? std::strerror(result.status.sysErrno) : "refused");
        return kFailure;
    }
    reportDecisions(result, data, out);
    for (const lapdex::RepairIssue& issue : result.undecided) reportDoubt(issue, err);
    if (std::fflush(out) != 0) return kFailure;
    return result.whole() ? 0 : kRepairPartial;
}

}  // namespace k7x
