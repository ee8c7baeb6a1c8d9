// Choosing between the run index and the folder scan for each answer.
#include "window_run_source.h"

#include <algorithm>
#include <chrono>
#include <thread>

#include "club_files.h"
#include "personal_bests.h"
#include "roster.h"
#include "roster_of_runs.h"

namespace lapdex::ui {
namespace {

// The index is opened on a thread of its own at start-up; without a folder scan to turn to, a
// question waits this long once for it, then says that the runs cannot be read.
constexpr int kOpenWaitMs = 5000;
constexpr int kPollMs = 20;
// Tries of a window call that found the index's lock taken each time.
constexpr int kAttempts = 100;

void pause() {
    std::this_thread::sleep_for(std::chrono::milliseconds(kPollMs));
}

}  // namespace

WindowRunSource::WindowRunSource(RunIndex* index, FallbackFactory fallback, std::string dataFolder)
    : index_(index), makeFallback_(std::move(fallback)), dataFolder_(std::move(dataFolder)) {}

RunSource* WindowRunSource::fallback() {
    if (!fallbackAsked_) {
        fallbackAsked_ = true;
        if (makeFallback_) fallback_ = makeFallback_();
    }
    return fallback_.get();
}

bool WindowRunSource::indexUsable() {
    if (!index_) return false;
    if (index_->ready()) return true;
    if (fallback() || waitedForOpen_) return false;
    waitedForOpen_ = true;
    for (int waited = 0; waited < kOpenWaitMs && !stopping_.load(); waited += kPollMs) {
        if (index_->ready()) return true;
        pause();
    }
    return index_->ready();
}

std::optional<std::vector<RunStopwatch>> WindowRunSource::ownStopwatches() {
    if (indexUsable()) {
        if (auto stopwatches = index_->registeredStopwatches()) {
            origin_.store(Origin::Index);
            return stopwatches;
        }
    }
    if (RunSource* scan = fallback()) {
        origin_.store(Origin::FolderScan);
        return scan->registeredStopwatches();
    }
    origin_.store(Origin::None);
    return std::nullopt;
}

RunListing WindowRunSource::ownRuns(const RunQuery& query) {
    if (indexUsable()) {
        RunListing listing = index_->listRuns(query);
        if (listing.answered) {
            origin_.store(Origin::Index);
            return listing;
        }
    }
    if (RunSource* scan = fallback()) {
        origin_.store(Origin::FolderScan);
        return scan->listRuns(query);
    }
    origin_.store(Origin::None);
    return {};
}

RunRead WindowRunSource::ownRun(const std::string& folderName, const std::string& fileName) {
    if (indexUsable()) {
        RunRead read = index_->readRun(folderName, fileName);
        if (read.outcome != RunRead::Outcome::Unavailable) {
            origin_.store(Origin::Index);
            return read;
        }
    }
    if (RunSource* scan = fallback()) {
        origin_.store(Origin::FolderScan);
        return scan->readRun(folderName, fileName);
    }
    origin_.store(Origin::None);
    return {};
}

std::optional<std::vector<RunStopwatch>> WindowRunSource::registeredStopwatches() {
    return club_ ? club_->registeredStopwatches() : ownStopwatches();
}

RunListing WindowRunSource::listRuns(const RunQuery& query) {
    if (club_) return club_->listRuns(query);
    // Without club folders only the own folder ("") can be chosen.
    const bool ownChosen =
        query.pcs.empty() || std::find(query.pcs.begin(), query.pcs.end(), "") != query.pcs.end();
    if (!ownChosen) return {true, {}, {}, false};
    return ownRuns(query);
}

RunRead WindowRunSource::readRun(const std::string& folderName, const std::string& fileName) {
    return ownRun(folderName, fileName);
}

RunRead WindowRunSource::readRunOf(const RunRow& row) {
    if (club_) return club_->readRunOf(row);
    if (!row.pc.empty()) return {RunRead::Outcome::Gone, {}, "no club folder of that name"};
    return ownRun(row.folderName, row.fileName);
}

void WindowRunSource::setClub(std::vector<std::unique_ptr<ClubFolderSource>> folders) {
    club_.reset();
    clubFolders_ = std::move(folders);
    if (clubFolders_.empty()) return;
    std::vector<ClubRunSource::Member> members;
    for (const auto& folder : clubFolders_)
        members.push_back({folder->folder().label, folder.get()});
    club_ = std::make_unique<ClubRunSource>(own_, std::move(members));
}

ClubFolderSource* WindowRunSource::clubFolder(const std::string& label) const {
    for (const auto& folder : clubFolders_)
        if (folder->folder().label == label) return folder.get();
    return nullptr;
}

bool WindowRunSource::indexFree() {
    // The blocking call waits while a refresh holds the index, and fails only when the index
    // cannot answer at all: then nothing is gained by asking again.
    return indexUsable() && index_->registeredStopwatches().has_value();
}

StopwatchGroups WindowRunSource::groups() {
    if (dataFolder_.empty()) return {};
    // An unreadable file leaves every stopwatch ungrouped; the runs themselves are unaffected.
    return readGroups(DataFolder(systemFileSystem(), dataFolder_)).groups;
}

FsStatus WindowRunSource::saveGroups(const StopwatchGroups& groups) {
    if (dataFolder_.empty()) return {FsError::NotFound, 0};
    return writeGroups(DataFolder(systemFileSystem(), dataFolder_), groups);
}

std::optional<Roster> WindowRunSource::clubRoster() {
    FileSystem& fs = systemFileSystem();
    SourceAnswer<Roster> answer = loadRoster(*club_, DataFolder(fs, dataFolder_));
    if (!answer.value) return std::nullopt;
    // An unreadable history of another PC leaves its stopwatches without contacts, no more.
    for (const auto& folder : clubFolders_)
        (void)takeContactsOf(*answer.value, folder->folder().label,
                             DataFolder(fs, withTrailingSlash(folder->folder().path)));
    return std::move(answer.value);
}

std::vector<RunProblem> WindowRunSource::syncConflicts() {
    std::vector<RunProblem> copies;
    FileSystem& fs = systemFileSystem();
    const auto add = [&](const std::string& folder, const std::string& pc) {
        for (std::string& path : syncConflictCopies(fs, withTrailingSlash(folder)))
            copies.push_back({std::move(path), "sync conflict copy", pc});
    };
    if (!dataFolder_.empty()) add(dataFolder_, "");
    for (const auto& folder : clubFolders_) add(folder->folder().path, folder->folder().label);
    return copies;
}

std::optional<Roster> WindowRunSource::roster() {
    if (club_ && !dataFolder_.empty()) return clubRoster();
    if (!indexUsable()) {
        RunSource* scan = fallback();
        if (!scan || dataFolder_.empty()) return std::nullopt;
        origin_.store(Origin::FolderScan);
        return rosterOfRuns(*scan, DataFolder(systemFileSystem(), dataFolder_));
    }
    // The index answers these window calls only when its lock is free at that moment: ask
    // right after it was free, a bounded number of times.
    origin_.store(Origin::Index);
    for (int attempt = 0; attempt < kAttempts && !stopping_.load() && indexFree(); ++attempt) {
        if (std::optional<Roster> roster = index_->roster()) return roster;
        pause();
    }
    return std::nullopt;
}

std::optional<std::set<std::string>> WindowRunSource::runsThatSetBests(
    const std::string& folderName) {
    for (int attempt = 0; attempt < kAttempts && !stopping_.load() && indexFree(); ++attempt) {
        if (auto setters = loadRunsThatSetBests(*index_, folderName)) return setters;
        pause();
    }
    return std::nullopt;
}

}  // namespace lapdex::ui
