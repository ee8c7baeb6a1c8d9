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

std::vector<lapdex::RunStopwatch> stopwatchesNamed(lapdex::RunSource& source,
                                                   const std::string& name) {
    std::vector<lapdex::RunStopwatch> named;
    for (const lapdex::RunStopwatch& s :
         source.registeredStopwatches().value_or(std::vector<lapdex::RunStopwatch>{})) {
        const bool found =
            std::any_of(named.begin(), named.end(), [&s](const auto& n) { return n.pc == s.pc; });
        if (!found && (s.tabName == name || s.serialText == name || s.folderName == name))
            named.push_back(s);
    }
    return named;
}

bool groupStopwatches(IndexSession& session, const std::string& group,
                      std::set<lapdex::StopwatchKey>& stopwatches, std::FILE* err) {
    stopwatches.clear();
    if (group.empty()) return true;
    const lapdex::GroupsRead read = lapdex::readGroups(session.data);
    if (!read.status.ok()) {
        std::fprintf(err, "k7x-tool: %s cannot be read: %s\n", lapdex::kGroupsFileName,
                     lapdex::fsStatusText(read.status).c_str());
        return false;
    }
    stopwatches = lapdex::stopwatchesOfGroup(
        read.groups,
        session.source().registeredStopwatches().value_or(std::vector<lapdex::RunStopwatch>{}),
        group);
    if (stopwatches.empty()) {
        std::fprintf(err, "k7x-tool: no registered stopwatch is in the group %s\n", group.c_str());
        return false;
    }
    return true;
}

bool inGroup(const std::set<lapdex::StopwatchKey>& group, const std::string& pc,
             const std::string& folder) {
    return group.empty() || group.count({pc, folder}) != 0;
}

bool keepGroup(IndexSession& session, const std::string& group, lapdex::TeamDay& day,
               std::FILE* err) {
    if (group.empty()) return true;
    std::set<lapdex::StopwatchKey> stopwatches;
    if (!groupStopwatches(session, group, stopwatches, err)) return false;
    std::erase_if(day.runs, [&stopwatches](const lapdex::TeamDayRun& run) {
        return !inGroup(stopwatches, run.pc, run.folderName);
    });
    return true;
}

namespace {

// Which stopwatches the filters leave: every one, those in `chosen`, or none at all.
enum class Chosen { Failed, Every, These };

// The group's stopwatches, narrowed to the named stopwatch's when both are given. Failed, said on
// `err`, when a name fits none.
Chosen filteredStopwatches(IndexSession& session, const RunFilters& filters,
                           std::set<lapdex::StopwatchKey>& chosen, std::FILE* err) {
    if (!groupStopwatches(session, filters.group, chosen, err)) return Chosen::Failed;
    if (filters.stopwatch.empty()) return chosen.empty() ? Chosen::Every : Chosen::These;
    const std::vector<lapdex::RunStopwatch> named =
        stopwatchesNamed(session.source(), filters.stopwatch);
    if (named.empty()) {
        std::fprintf(err, "k7x-tool: no stopwatch is registered as %s\n",
                     filters.stopwatch.c_str());
        return Chosen::Failed;
    }
    // Within the group, when one is named too: a stopwatch outside it gives no runs.
    std::set<lapdex::StopwatchKey> both;
    for (const lapdex::RunStopwatch& s : named) {
        if (inGroup(chosen, s.pc, s.folderName)) both.insert(lapdex::keyOf(s));
    }
    chosen = std::move(both);
    return Chosen::These;
}

}  // namespace

bool searchRuns(IndexSession& session, RunFilters filters, std::vector<lapdex::RunRow>& rows,
                std::FILE* err) {
    std::set<lapdex::StopwatchKey> chosen;
    const Chosen which = filteredStopwatches(session, filters, chosen, err);
    rows.clear();
    if (which == Chosen::Failed) return false;
    if (which == Chosen::These && chosen.empty()) return true;
    // Folder names apply within each data folder: the rows are narrowed to the chosen ones after.
    std::set<std::string> folders;
    for (const auto& [pc, folder] : chosen) folders.insert(folder);
    filters.query.folderNames.assign(folders.begin(), folders.end());
    lapdex::RunListing found = session.source().listRuns(filters.query);
    if (!found.answered) {
        std::fprintf(err, "k7x-tool: the runs of %s could not be listed\n", session.given.c_str());
        return false;
    }
    reportProblems(session, found.problems, err);
    rows = std::move(found.rows);
    std::erase_if(rows, [&chosen](const lapdex::RunRow& row) {
        return !inGroup(chosen, row.pc, row.folderName);
    });
    return true;
}

}  // namespace k7x
