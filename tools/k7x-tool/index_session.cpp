// Opening a data folder's runs for k7x-tool: its run index, or its folders.
#include "index_session.h"

#include <algorithm>

#include "answer_table.h"
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
std::unique_ptr<lapdex::RunIndex> keptIndex(IndexSession& session, lapdex::FolderOwner owner,
                                            std::string& failure) {
    std::unique_ptr<lapdex::RunIndex> index =
        lapdex::makeRunIndex(session.data, lapdex::processEnvironment(), owner);
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

// One data folder opened: its index kept, or its folders read when the index cannot be.
std::unique_ptr<IndexSession> openOne(const std::string& folder, lapdex::FolderOwner owner,
                                      std::FILE* err) {
    lapdex::FileSystem& fs = lapdex::systemFileSystem();
    const std::string canonical = fs.canonicalPath(folder);
    const lapdex::DataFolder data(fs, canonical.empty() ? folder : canonical);
    if (!readableDataFolder(folder, data, err)) return nullptr;
    auto session = std::make_unique<IndexSession>(data, owner);
    session->given = folder;
    session->config = lapdex::loadConfiguration(data, "ENG");
    std::string failure;
    session->index = keptIndex(*session, owner, failure);
    // The folders give the same answer, only more slowly.
    if (!session->index)
        std::fprintf(err, "k7x-tool: %s; reading the folders of %s instead\n", failure.c_str(),
                     folder.c_str());
    return session;
}

// `label`, or the first of "label (2)", "label (3)" ... that `taken` does not hold yet.
std::string uniqueLabel(const std::string& label, std::vector<std::string>& taken) {
    std::string unique = label;
    for (int n = 2; std::find(taken.begin(), taken.end(), unique) != taken.end(); ++n)
        unique = label + " (" + std::to_string(n) + ")";
    taken.push_back(unique);
    return unique;
}

}  // namespace

std::unique_ptr<IndexSession> openIndexSession(const std::string& folder, std::FILE* err,
                                               const std::vector<std::string>& also) {
    std::unique_ptr<IndexSession> session = openOne(folder, lapdex::FolderOwner::Own, err);
    if (!session || also.empty()) return session;
    session->ownLabel = lapdex::defaultClubLabel(session->data.path());
    std::vector<std::string> taken{session->ownLabel};
    std::vector<lapdex::ClubRunSource::Member> members;
    for (const std::string& other : also) {
        session->others.push_back(openOne(other, lapdex::FolderOwner::Club, err));
        if (!session->others.back()) return nullptr;
        const lapdex::DataFolder& data = session->others.back()->data;
        session->labels.push_back(uniqueLabel(lapdex::defaultClubLabel(data.path()), taken));
        members.push_back({session->labels.back(), &session->others.back()->ownSource()});
    }
    session->club = std::make_unique<lapdex::ClubRunSource>(session->ownSource(), members);
    return session;
}

std::vector<std::string> withPcColumn(const IndexSession& session,
                                      std::vector<std::string> columns) {
    if (session.clubbed()) columns.insert(columns.begin(), "pc");
    return columns;
}

std::vector<Cell> withPcCell(const IndexSession& session, const std::string& pc,
                             std::vector<Cell> cells) {
    if (session.clubbed()) cells.insert(cells.begin(), Cell::textOf(session.pcText(pc)));
    return cells;
}

void reportProblems(IndexSession& session, const std::vector<lapdex::RunProblem>& problems,
                    std::FILE* err) {
    for (const lapdex::RunProblem& problem : problems) {
        // A club folder's problem is told with that folder as it was named.
        std::string given = session.given;
        for (std::size_t i = 0; i < session.labels.size(); ++i) {
            if (session.labels[i] == problem.pc && !problem.pc.empty())
                given = session.others[i]->given;
        }
        std::fprintf(err, "k7x-tool: warning: %s%s: %s; left out\n",
                     lapdex::withTrailingSlash(given).c_str(), problem.path.c_str(),
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
