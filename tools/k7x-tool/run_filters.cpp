// Parsing and applying the run filters of k7x-tool's index commands.
#include "run_filters.h"

#include <cstdlib>
#include <regex>

namespace k7x {
namespace {

bool isDate(const std::string& text) {
    static const std::regex kDate("[0-9]{4}-(0[1-9]|1[0-2])-(0[1-9]|[12][0-9]|3[01])");
    return std::regex_match(text, kDate);
}

// Words are separated by spaces, the ideographic space (U+3000) included.
std::vector<std::string> splitWords(const std::string& text) {
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

}  // namespace

FilterOption applyRunFilter(const std::string& option, const std::string& value,
                            RunFilters& filters, std::string& error) {
    if (option == "--stopwatch") {
        filters.stopwatch = value;
    } else if (option == "--from" || option == "--to") {
        if (!isDate(value)) {
            error = option + " takes a date as YYYY-MM-DD, not " + value;
            return FilterOption::Invalid;
        }
        (option == "--from" ? filters.query.fromDate : filters.query.toDate) = value;
    } else if (option == "--text") {
        filters.query.words = splitWords(value);
    } else if (option == "--laps") {
        char* end = nullptr;
        const long laps = std::strtol(value.c_str(), &end, 10);
        if (value.empty() || *end != '\0' || laps < 1 || laps > 100000) {
            error = "--laps takes a lap count of 1 or more, not " + value;
            return FilterOption::Invalid;
        }
        filters.query.lapCount = static_cast<int>(laps);
    } else {
        return FilterOption::NotAFilter;
    }
    return FilterOption::Taken;
}

std::string stopwatchFolderNamed(lapdex::RunSource& source, const std::string& name) {
    for (const lapdex::RunStopwatch& s :
         source.registeredStopwatches().value_or(std::vector<lapdex::RunStopwatch>{})) {
        if (s.tabName == name || s.serialText == name || s.folderName == name) return s.folderName;
    }
    return {};
}

bool searchRuns(IndexSession& session, RunFilters filters, std::vector<lapdex::RunRow>& rows,
                std::FILE* err) {
    if (!filters.stopwatch.empty()) {
        const std::string folder = stopwatchFolderNamed(session.source(), filters.stopwatch);
        if (folder.empty()) {
            std::fprintf(err, "k7x-tool: no stopwatch is registered as %s\n",
                         filters.stopwatch.c_str());
            return false;
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
