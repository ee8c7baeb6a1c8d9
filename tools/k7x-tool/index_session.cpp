// Opening a data folder's run index for k7x-tool.
#include "index_session.h"

#include "data_folder.h"
#include "run_index_keeper.h"

namespace k7x {

std::unique_ptr<IndexSession> openIndexSession(const std::string& folder, std::FILE* err) {
    lapdex::FileSystem& fs = lapdex::systemFileSystem();
    const lapdex::DataFolder data(
        fs, fs.canonicalPath(folder).empty() ? folder : fs.canonicalPath(folder));
    if (fs.kindOf(lapdex::withoutTrailingSlash(data.path())) != lapdex::EntryKind::Folder ||
        fs.kindOf(data.configurationFile()) != lapdex::EntryKind::File) {
        std::fprintf(err, "k7x-tool: %s is not a data folder (it holds no Lapdex.dat)\n",
                     folder.c_str());
        return nullptr;
    }
    auto session = std::make_unique<IndexSession>();
    session->config = lapdex::loadConfiguration(data, "ENG");
    session->index = lapdex::makeRunIndex(data, lapdex::processEnvironment());
    if (!session->index || !session->index->open()) {
        std::fprintf(err, "k7x-tool: the run index of %s cannot be opened in the cache folder\n",
                     folder.c_str());
        return nullptr;
    }
    if (!session->index->refreshAll(lapdex::indexedStopwatches(session->config.registry))) {
        std::fprintf(err, "k7x-tool: the run index of %s could not be brought up to date\n",
                     folder.c_str());
        return nullptr;
    }
    return session;
}

std::string cellText(std::string text) {
    for (char& c : text) {
        if (c == '\t' || c == '\r' || c == '\n') c = ' ';
    }
    return text;
}

}  // namespace k7x
