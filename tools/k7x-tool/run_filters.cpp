// Applying the run filters of k7x-tool's index commands.
#include "run_filters.h"

#include <algorithm>

#include "stopwatch_groups.h"

namespace k7x {

std::vector<std::string> searchWords(const std::string& text) {
    std::vector<std::string> words;
    std::string word;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool ideographicSpace = text.compare(i, 3, "\xE3\x80\x80") == 0;
        if (text[i] == ' ' || text[i] == '\t' || ideographicSpace) {
            if (!word.empty()) words.push_back(std::move(word));
            word.clear();
            if (ideographicSpace) i += 2;
        } else {
            word += text[i];
        }
    }
    if (!word.empty()) words.push_back(std::move(word));
    return words;
}

std::string stopwatchFolderNamed(lapdex::RunSource& source, const std::string& name) {
    for (const lapdex::RunStopwatch& s :
         source.registeredStopwatches().value_or(std::vector<lapdex::RunStopwatch>{})) {
        if (s.tabName == name || s.serialText == name || s.folderName == name) return s.folderName;
    }
    return {};
}

bool groupFolders(IndexSession& session, const std::string& group,
                  std::vector<std::string>& folders, std::FILE* err) {
    folders.clear();
    if (group.empty()) return true;
    const lapdex::GroupsRead read = lapdex::readGroups(session.data);
    if (!read.status.ok()) {
        std::fprintf(err, "k7x-tool: %s cannot be read: %s\n", lapdex::kGroupsFileName,
                     lapdex::fsStatusText(read.status).c_str());
        return false;
    }
    folders = lapdex::foldersOfGroup(
        read.groups,
        session.source().registeredStopwatches().value_or(std::vector<lapdex::RunStopwatch>{}),
        group);
    if (folders.empty()) {
        std::fprintf(err, "k7x-tool: no registered stopwatch is in the group %s\n", group.c_str());
        return false;
    }
    return true;
}

bool inGroup(const std::vector<std::string>& group, const std::string& folder) {
    return group.empty() || std::find(group.begin(), group.end(), folder) != group.end();
}

bool keepGroup(IndexSession& session, const std::string& group, lapdex::TeamDay& day,
               std::FILE* err) {
    if (group.empty()) return true;
    std::vector<std::string> folders;
    if (!groupFolders(session, group, folders, err)) return false;
    std::erase_if(day.runs, [&folders](const lapdex::TeamDayRun& run) {
        return !inGroup(folders, run.folderName);
    });
    return true;
}

bool searchRuns(IndexSession& session, RunFilters filters, std::vector<lapdex::RunRow>& rows,
                std::FILE* err) {
    if (!filters.group.empty()) {
        std::vector<std::string> folders;
        if (!groupFolders(session, filters.group, folders, err)) return false;
        filters.query.folderNames = std::move(folders);
    }
    if (!filters.stopwatch.empty()) {
        const std::string folder = stopwatchFolderNamed(session.source(), filters.stopwatch);
        if (folder.empty()) {
            std::fprintf(err, "k7x-tool: no stopwatch is registered as %s\n",
                         filters.stopwatch.c_str());
            return false;
        }
        // Within the group, when one is named too: a stopwatch outside it gives no runs.
        if (!filters.group.empty() && !inGroup(filters.query.folderNames, folder)) {
            rows.clear();
            return true;
        }
        filters.query.folderNames = {folder};
    }
    lapdex::RunListing found = session.source().listRuns(filters.query);
    if (!found.answered) {
        std::fprintf(err, "k7x-tool: the runs of %s could not be listed\n", session.given.c_str());
        return false;
    }
    reportProblems(session, found.problems, err);
    rows = std::move(found.rows);
    return true;
}

}  // namespace k7x
