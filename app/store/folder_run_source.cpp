// The folder scan behind the run source: the registry, each stopwatch folder and its run files.
#include "folder_run_source.h"

#include <algorithm>
#include <cstring>
#include <tuple>

#include "configuration.h"
#include "profile_file.h"
#include "run_catalogue.h"
#include "run_file_writer.h"
#include "search_folding.h"

namespace lapdex {
namespace {

bool rowBefore(const RunRow& a, const RunRow& b) {
    return std::tie(a.run.start, a.folderName, a.fileName) <
           std::tie(b.run.start, b.folderName, b.fileName);
}

bool asked(const RunQuery& query, const std::string& folderName) {
    return query.folderNames.empty() ||
           std::find(query.folderNames.begin(), query.folderNames.end(), folderName) !=
               query.folderNames.end();
}

const RunStopwatch* registered(const std::vector<RunStopwatch>& stopwatches,
                               const std::string& folderName) {
    for (const RunStopwatch& s : stopwatches) {
        if (s.folderName == folderName) return &s;
    }
    return nullptr;
}

// A run file read whole: its details, or why there are none. `gone` when it vanished since the
// folder was listed (then it is no run and no problem either).
struct FileRead {
    bool gone = false;
    std::string reason;  // empty when `run` holds the run
    RunDetails run;
};

FileRead readRunDetails(FileSystem& fs, const std::string& path) {
    FileRead read;
    const FsBytes bytes = fs.readFile(path);
    if (!bytes.ok()) {
        read.gone = bytes.status.error == FsError::NotFound;
        read.reason = problemReason(bytes.status);
        return read;
    }
    read.run = summariseRunFile(bytes.bytes);
    if (read.run.start.empty()) read.reason = kDamagedRunFile;
    return read;
}

}  // namespace

RegistryRead readRegistry(const DataFolder& data) {
    RegistryRead read;
    const ProfileLoad load = loadProfile(data.fs(), data.configurationFile());
    read.status = load.status;
    if (!load.ok()) return read;
    const Configuration config = loadConfiguration(data, "ENG");
    for (int slot = 0; slot < kSlotCount; ++slot) {
        if (!config.registry.isInUse(slot)) continue;
        const StopwatchEntry& entry = config.registry.entry(slot);
        read.stopwatches.push_back(
            {stopwatchFolderName(slot), entry.serialText, entry.displayName, {}});
    }
    return read;
}

std::string problemReason(const FsStatus& status) {
    return fsStatusText(status);
}

bool runMatches(const RunDetails& run, const RunQuery& query) {
    if (!query.fromDate.empty() && run.start < query.fromDate) return false;
    // Every time of the last day sorts before "T9".
    if (!query.toDate.empty() && run.start >= query.toDate + "T9") return false;
    if (query.lapCount > 0 && run.lapCount != query.lapCount) return false;
    if (query.minTotalCs >= 0 && run.totalCs < query.minTotalCs) return false;
    if (query.maxTotalCs >= 0 && (run.totalCs < 0 || run.totalCs > query.maxTotalCs)) return false;
    const std::string text = searchTextOf(run);
    return std::all_of(query.words.begin(), query.words.end(), [&text](const std::string& word) {
        return word.empty() || text.find(foldedForSearch(word)) != std::string::npos;
    });
}

std::optional<std::vector<RunStopwatch>> FolderRunSource::registeredStopwatches() {
    RegistryRead registry = readRegistry(data_);
    if (!registry.ok()) return std::nullopt;
    return std::move(registry.stopwatches);
}

void FolderRunSource::scanFolder(const RunStopwatch& stopwatch, const RunQuery& query,
                                 RunListing& listing) {
    const std::string folder = data_.path() + stopwatch.folderName + "/";
    const FolderListing entries = data_.fs().listFolder(folder);
    if (!entries.ok()) {
        // A stopwatch whose folder was never made (or was deleted) simply has no runs; a file in
        // its place is reported as NotFound too, but is no missing folder.
        if (entries.status.error != FsError::NotFound ||
            data_.fs().kindOf(data_.path() + stopwatch.folderName) != EntryKind::None)
            listing.problems.push_back({stopwatch.folderName, problemReason(entries.status), {}});
        return;
    }
    for (const FolderEntry& entry : entries.entries) {
        if (entry.kind != EntryKind::File || runDayKeyIn(entry.name, owner_).empty()) continue;
        FileRead read = readRunDetails(data_.fs(), folder + entry.name);
        if (read.gone) continue;
        if (!read.reason.empty()) {
            listing.problems.push_back({stopwatch.folderName + "/" + entry.name, read.reason, {}});
            continue;
        }
        if (!runMatches(read.run, query)) continue;
        read.run.laps.clear();
        listing.rows.push_back({stopwatch.folderName,
                                stopwatch.serialText,
                                stopwatch.tabName,
                                entry.name,
                                std::move(read.run),
                                {}});
    }
}

RunListing FolderRunSource::listRuns(const RunQuery& query) {
    RunListing listing;
    const RegistryRead registry = readRegistry(data_);
    if (!registry.ok()) return listing;
    for (const RunStopwatch& stopwatch : registry.stopwatches) {
        if (asked(query, stopwatch.folderName)) scanFolder(stopwatch, query, listing);
    }
    std::sort(listing.rows.begin(), listing.rows.end(), rowBefore);
    std::sort(listing.problems.begin(), listing.problems.end(),
              [](const RunProblem& a, const RunProblem& b) { return a.path < b.path; });
    if (query.limit > 0 && listing.rows.size() > static_cast<std::size_t>(query.limit)) {
        listing.rows.resize(static_cast<std::size_t>(query.limit));
        listing.truncated = true;
    }
    listing.answered = true;
    return listing;
}

RunRead FolderRunSource::readRun(const std::string& folderName, const std::string& fileName) {
    RunRead read;
    const RegistryRead registry = readRegistry(data_);
    if (!registry.ok()) {
        read.reason = "Lapdex.dat: " + problemReason(registry.status);
        return read;
    }
    const std::string path = data_.path() + folderName + "/" + fileName;
    read.outcome = RunRead::Outcome::Gone;
    read.reason = "no such run";
    if (registered(registry.stopwatches, folderName) == nullptr ||
        fileName.find('/') != std::string::npos || runDayKeyIn(fileName, owner_).empty())
        return read;
    // A link or a folder under a run file's name is no run; a name that cannot even be looked at
    // (its folder cannot be read) is tried, so that the reason is told.
    const EntryKind kind = data_.fs().kindOf(path);
    if (kind != EntryKind::File && kind != EntryKind::None) return read;
    FileRead file = readRunDetails(data_.fs(), path);
    if (file.gone) return read;
    if (!file.reason.empty()) {
        read.outcome = RunRead::Outcome::Unreadable;
        read.reason = file.reason;
        return read;
    }
    read.outcome = RunRead::Outcome::Read;
    read.reason.clear();
    read.run = std::move(file.run);
    return read;
}

}  // namespace lapdex
