// k7x-tool runs: the runs of a data folder as tab-separated lines, from its run index.
#include <cstring>
#include <regex>

#include "index_commands.h"
#include "index_session.h"

namespace k7x {
namespace {

constexpr int kFailure = 1;
constexpr int kUsage = 2;

struct RunsArguments {
    std::string folder;
    std::string stopwatch;
    lapdex::RunQuery query;
};

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

// Null with a message in `error` when the arguments do not form the command.
std::optional<RunsArguments> parseRuns(const std::vector<std::string>& args, std::string& error) {
    RunsArguments parsed;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg.rfind("--", 0) != 0) {
            if (!parsed.folder.empty())
                return error = "more than one data folder: " + arg, std::nullopt;
            parsed.folder = arg;
            continue;
        }
        if (i + 1 >= args.size()) return error = arg + " needs a value", std::nullopt;
        const std::string& value = args[++i];
        if (arg == "--stopwatch") {
            parsed.stopwatch = value;
        } else if (arg == "--from" || arg == "--to") {
            if (!isDate(value))
                return error = arg + " takes a date as YYYY-MM-DD, not " + value, std::nullopt;
            (arg == "--from" ? parsed.query.fromDate : parsed.query.toDate) = value;
        } else if (arg == "--text") {
            parsed.query.words = splitWords(value);
        } else if (arg == "--laps") {
            char* end = nullptr;
            const long laps = std::strtol(value.c_str(), &end, 10);
            if (value.empty() || *end != '\0' || laps < 1 || laps > 100000)
                return error = "--laps takes a lap count of 1 or more, not " + value, std::nullopt;
            parsed.query.lapCount = static_cast<int>(laps);
        } else {
            return error = "unknown option " + arg, std::nullopt;
        }
    }
    if (parsed.folder.empty()) return error = "runs needs a data folder", std::nullopt;
    return parsed;
}

// The folder of the stopwatch named by its tab name, serial or folder name; "" when none.
std::string stopwatchFolder(lapdex::RunIndex& index, const std::string& name) {
    for (const lapdex::IndexedStopwatch& s :
         index.stopwatches().value_or(std::vector<lapdex::IndexedStopwatch>{})) {
        if (s.tabName == name || s.serialText == name || s.folderName == name) return s.folderName;
    }
    return {};
}

}  // namespace

int runRuns(const std::vector<std::string>& args, std::FILE* out, std::FILE* err) {
    std::string error;
    std::optional<RunsArguments> parsed = parseRuns(args, error);
    if (!parsed) {
        std::fprintf(err, "k7x-tool: %s\n\n%s", error.c_str(), indexUsageText());
        return kUsage;
    }
    const std::unique_ptr<IndexSession> session = openIndexSession(parsed->folder, err);
    if (!session) return kFailure;
    if (!parsed->stopwatch.empty()) {
        const std::string folder = stopwatchFolder(*session->index, parsed->stopwatch);
        if (folder.empty()) {
            std::fprintf(err, "k7x-tool: no stopwatch is registered as %s\n",
                         parsed->stopwatch.c_str());
            return kFailure;
        }
        parsed->query.folderNames = {folder};
    }
    const auto rows = session->index->search(parsed->query);
    if (!rows) {
        std::fprintf(err, "k7x-tool: the run index could not be searched\n");
        return kFailure;
    }
    std::fputs(
        "tab name\tserial\tstart\tlap count\ttotal\tbest lap\tbest lap number\taverage "
        "lap\tpath\trun memo\n",
        out);
    for (const lapdex::IndexedRunRow& row : *rows) {
        const lapdex::IndexedRun& run = row.run;
        std::fprintf(out, "%s\t%s\t%s\t%d\t%s\t%s\t%d\t%s\t%s/%s\t%s\n",
                     cellText(row.tabName).c_str(), row.serialText.c_str(), run.start.c_str(),
                     run.lapCount, lapdex::secondsText(run.totalCs).c_str(),
                     lapdex::secondsText(run.bestLapCs).c_str(), run.bestLapNumber,
                     lapdex::secondsText(run.averageLapCs).c_str(), row.folderName.c_str(),
                     cellText(row.fileName).c_str(), cellText(run.memo).c_str());
    }
    return std::fflush(out) == 0 ? 0 : kFailure;
}

}  // namespace k7x
