// k7x-tool runs: the runs of a data folder as tab-separated lines, from its run index.
#include "index_commands.h"
#include "index_session.h"
#include "run_filters.h"

namespace k7x {
namespace {

constexpr int kFailure = kExitFailure;
constexpr int kUsage = kExitUsage;

struct RunsArguments {
    std::string folder;
    RunFilters filters;
};

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
        switch (applyRunFilter(arg, args[++i], parsed.filters, error)) {
            case FilterOption::Taken:
                break;
            case FilterOption::NotAFilter:
                return error = "unknown option " + arg, std::nullopt;
            case FilterOption::Invalid:
                return std::nullopt;
        }
    }
    if (parsed.folder.empty()) return error = "runs needs a data folder", std::nullopt;
    return parsed;
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
    std::vector<lapdex::RunRow> rows;
    if (!searchRuns(*session, parsed->filters, rows, err)) return kFailure;
    std::fputs(
        "tab name\tserial\tstart\tlap count\ttotal\tbest lap\tbest lap number\taverage "
        "lap\tpath\trun memo\n",
        out);
    for (const lapdex::RunRow& row : rows) {
        const lapdex::RunDetails& run = row.run;
        std::fprintf(out, "%s\t%s\t%s\t%d\t%s\t%s\t%d\t%s\t%s/%s\t%s\n",
                     cellText(row.tabName).c_str(), row.serialText.c_str(), run.start.c_str(),
                     run.lapCount, lapdex::secondsText(run.totalCs).c_str(),
                     lapdex::secondsText(run.bestLapCs).c_str(), run.bestLapNumber,
                     lapdex::secondsText(run.averageLapCs).c_str(), row.folderName.c_str(),
                     cellText(row.fileName).c_str(), cellText(run.memo).c_str());
    }
    return finishAnswer(*session, out);
}

}  // namespace k7x
