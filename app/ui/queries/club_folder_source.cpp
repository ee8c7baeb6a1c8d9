// A club folder's index, and its folder scan while the index cannot answer.
#include "club_folder_source.h"

namespace lapdex::ui {

ClubFolderSource::ClubFolderSource(FileSystem& fs, ClubFolder folder,
                                   const EnvironmentLookup& environment,
                                   std::function<void()> changed)
    : folder_(std::move(folder)),
      data_(fs, folder_.path),
      scan_(data_, FolderOwner::Club),
      keeper_(std::make_unique<RunIndexKeeper>(data_, environment, FolderOwner::Club)) {
    // The index learns the registry from Lapdex.dat, as the own folder's learns it from the
    // engine; a folder not synchronised yet has no stopwatch and comes later.
    keeper_->whenChanged(std::move(changed));
    const RegistryRead registry = readRegistry(data_);
    if (registry.ok()) keeper_->refreshInBackground(registry.stopwatches);
}

ClubFolderSource::~ClubFolderSource() = default;

bool ClubFolderSource::indexAnswers() const {
    return keeper_->index() && keeper_->index()->ready();
}

std::optional<std::vector<RunStopwatch>> ClubFolderSource::registeredStopwatches() {
    // Lapdex.dat is one small file: reading it is as quick as asking the index, and never older.
    return scan_.registeredStopwatches();
}

RunListing ClubFolderSource::listRuns(const RunQuery& query) {
    if (indexAnswers()) {
        RunListing listing = keeper_->index()->listRuns(query);
        if (listing.answered) return listing;
    }
    return scan_.listRuns(query);
}

RunRead ClubFolderSource::readRun(const std::string& folderName, const std::string& fileName) {
    if (indexAnswers()) {
        RunRead read = keeper_->index()->readRun(folderName, fileName);
        if (read.outcome != RunRead::Outcome::Unavailable) return read;
    }
    return scan_.readRun(folderName, fileName);
}

void ClubFolderSource::compareNow() {
    RunIndex* index = keeper_->index();
    const RegistryRead registry = readRegistry(data_);
    if (!index || !registry.ok()) return;
    if (!index->ready()) {
        // Still being opened or built: the keeper compares everything once that is done.
        keeper_->refreshInBackground(registry.stopwatches);
        return;
    }
    index->registryChanged(registry.stopwatches);
    (void)index->refreshRegistered(RunIndex::Scope::ChangedFolders);
}

}  // namespace lapdex::ui
