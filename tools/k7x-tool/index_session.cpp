// Opening a data folder's runs for k7x-tool: its run index, or its folders.
#include "index_session.h"

#include "data_folder.h"
#include "profile_file.h"
#include "run_index_keeper.h"

namespace k7x {
namespace {

// Checks that `folder` is a data folder whose Lapdex.dat can be read, saying why not on `err`.
bool readableDataFolder(const std::string& folder, const lapdex::DataFolder& data, std::FILE* err) {
    lapdex::FileSystem& fs = data.fs();
    if (fs.kindOf(lapdex::withoutTrailingSlash(data.path())) != lapdex::EntryKind::Folder) {
        std::fprintf(err, "k7x-tool: %s is not a data folder (no such folder)\n", folder.c_str());
        return false;
    }
    const lapdex::ProfileLoad profile = lapdex::loadProfile(fs, data.configurationFile());
    if (profile.ok() && fs.kindOf(data.configurationFile()) == lapdex::EntryKind::File) return true;
    const lapdex::FolderListing listing = fs.listFolder(data.path());
    if (!listing.ok()) {
        std::fprintf(err, "k7x-tool: %s cannot be read: %s\n", folder.c_str(),
                     lapdex::problemReason(listing.status).c_str());
    } else if (profile.ok() || profile.status.error == lapdex::FsError::NotFound) {
        std::fprintf(err, "k7x-tool: %s is not a data folder (it holds no Lapdex.dat)\n",
                     folder.c_str());
    } else {
        std::fprintf(err, "k7x-tool: %s cannot be read: %s\n",
                     (lapdex::withTrailingSlash(folder) + "Lapdex.dat").c_str(),
                     lapdex::problemReason(profile.status).c_str());
    }
    return false;
}

// Opens and refreshes the index; on failure, the line that tells where it could not be kept.
std::unique_ptr<lapdex::RunIndex> keptIndex(IndexSession& session, std::string& failure) {
    std::unique_ptr<lapdex::RunIndex> index =
        lapdex::makeRunIndex(session.data, lapdex::processEnvironment());
    if (!index) {
        failure = "no cache folder can be named for the run index (set XDG_CACHE_HOME or HOME)";
        return nullptr;
    }
    if (!index->open()) {
        failure = "the run index cannot be kept in " + index->databasePath();
        return nullptr;
    }
    if (!index->refreshAll(lapdex::indexedStopwatches(session.config.registry))) {
        failure = "the run index in " + index->databasePath() + " could not be brought up to date";
        return nullptr;
    }
    return index;
}

}  // namespace

std::unique_ptr<IndexSession> openIndexSession(const std::string& folder, std::FILE* err) {
    lapdex::FileSystem& fs = lapdex::systemFileSystem();
    const std::string canonical = fs.canonicalPath(folder);
    const lapdex::DataFolder data(fs, canonical.empty() ? folder : canonical);
    if (!readableDataFolder(folder, data, err)) return nullptr;
    auto session = std::make_unique<IndexSession>(data);
    session->given = folder;
    session->config = lapdex::loadConfiguration(data, "ENG");
    std::string failure;
    session->index = keptIndex(*session, failure);
    // The folders give the same answer, only more slowly.
    if (!session->index)
        std::fprintf(err, "k7x-tool: %s; reading the folders of %s instead\n", failure.c_str(),
                     folder.c_str());
    return session;
}

void reportProblems(IndexSession& session, const std::vector<lapdex::RunProblem>& problems,
                    std::FILE* err) {
    for (const lapdex::RunProblem& problem : problems) {
        std::fprintf(err, "k7x-tool: warning: %s%s: %s; left out\n",
                     lapdex::withTrailingSlash(session.given).c_str(), problem.path.c_str(),
                     problem.reason.c_str());
        session.partial = true;
    }
}

int finishAnswer(const IndexSession& session, std::FILE* out) {
    if (std::fflush(out) != 0) return kExitFailure;
    return session.partial ? kExitPartial : 0;
}

std::string cellText(std::string text) {
    for (char& c : text) {
        if (c == '\t' || c == '\r' || c == '\n') c = ' ';
    }
    return text;
}

}  // namespace k7x
