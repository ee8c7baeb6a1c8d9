// k7x-tool bests: each stopwatch's personal bests, from the run index.
#include "index_session.h"
#include "lap_commands.h"
#include "personal_bests.h"
#include "run_filters.h"

namespace k7x {
namespace {

constexpr int kFailure = 1;
constexpr int kUsage = 2;

void printBest(const std::string& tab, const char* kind, const std::string& lapCount,
               const lapdex::BestTime& best, std::FILE* out) {
    std::fprintf(out, "%s\t%s\t%s\t%s\t%s\t%s\t%s\n", tab.c_str(), kind, lapCount.c_str(),
                 lapdex::secondsText(best.cs).c_str(),
                 best.lapNumber > 0 ? std::to_string(best.lapNumber).c_str() : "",
                 best.start.c_str(), cellText(best.fileName).c_str());
}

}  // namespace

int runBests(const std::vector<std::string>& args, std::FILE* out, std::FILE* err) {
    const bool named = args.size() == 3 && args[1] == "--stopwatch";
    if (args.size() != 1 && !named) {
        std::fprintf(err, "k7x-tool: bests needs a data folder and at most --stopwatch NAME\n\n%s",
                     lapUsageText());
        return kUsage;
    }
    const std::unique_ptr<IndexSession> session = openIndexSession(args[0], err);
    if (!session) return kFailure;
    std::string folder;
    if (named && (folder = stopwatchFolderNamed(session->source(), args[2])).empty()) {
        std::fprintf(err, "k7x-tool: no stopwatch is registered as %s\n", args[2].c_str());
        return kFailure;
    }
    const lapdex::SourceAnswer<std::vector<lapdex::PersonalBests>> answer =
        lapdex::loadPersonalBests(session->source(), folder);
    if (!answer.value) {
        std::fprintf(err, "k7x-tool: the runs of %s could not be listed\n", args[0].c_str());
        return kFailure;
    }
    reportProblems(*session, answer.problems, err);
    const std::vector<lapdex::PersonalBests>* bests = &*answer.value;
    std::fputs("tab name\tbest\tlap count\ttime\tlap number\tstart\tfile\n", out);
    for (const lapdex::PersonalBests& b : *bests) {
        const std::string tab = cellText(b.stopwatch.tabName);
        if (b.fastestLap.cs >= 0) printBest(tab, "fastest lap", "", b.fastestLap, out);
        for (const auto& [laps, best] : b.fastestTotal)
            printBest(tab, "fastest total", std::to_string(laps), best, out);
    }
    return finishAnswer(*session, out);
}

const char* lapUsageText() {
    return "  k7x-tool stats DATAFOLDER RUNFILE\n"
           "      every statistic of one run, one \"name<TAB>value\" line each, times in seconds\n"
           "  k7x-tool day DATAFOLDER YYYY-MM-DD\n"
           "      every run of that date: tab name, start, lap 1..n, total (tab-separated)\n"
           "  k7x-tool bests DATAFOLDER [--stopwatch NAME]\n"
           "      each stopwatch's fastest lap and fastest total for each lap count\n";
}

}  // namespace k7x
