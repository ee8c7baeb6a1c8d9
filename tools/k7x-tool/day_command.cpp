// k7x-tool day: every run of one date across the stopwatches, lap by lap.
#include <regex>

#include "index_session.h"
#include "lap_commands.h"
#include "team_day.h"

namespace k7x {
namespace {

constexpr int kFailure = 1;
constexpr int kUsage = 2;

bool isDate(const std::string& text) {
    static const std::regex kDate("[0-9]{4}-(0[1-9]|1[0-2])-(0[1-9]|[12][0-9]|3[01])");
    return std::regex_match(text, kDate);
}

void printDay(const lapdex::TeamDay& day, std::FILE* out) {
    std::fputs("tab name\tstart", out);
    for (int lap = 1; lap <= day.lapColumns; ++lap) std::fprintf(out, "\tlap %d", lap);
    std::fputs("\ttotal\n", out);
    for (const lapdex::TeamDayRun& run : day.runs) {
        std::fprintf(out, "%s\t%s", cellText(run.tabName).c_str(), run.start.c_str());
        for (int lap = 0; lap < day.lapColumns; ++lap) {
            const bool has = static_cast<std::size_t>(lap) < run.lapsCs.size();
            std::fprintf(out, "\t%s", has ? lapdex::secondsText(run.lapsCs[lap]).c_str() : "");
        }
        std::fprintf(out, "\t%s\n", lapdex::secondsText(run.totalCs).c_str());
    }
}

}  // namespace

int runDay(const std::vector<std::string>& args, std::FILE* out, std::FILE* err) {
    if (args.size() != 2 || !isDate(args[1])) {
        std::fprintf(err, "k7x-tool: day needs a data folder and a date as YYYY-MM-DD\n\n%s",
                     lapUsageText());
        return kUsage;
    }
    const std::unique_ptr<IndexSession> session = openIndexSession(args[0], err);
    if (!session) return kFailure;
    const lapdex::SourceAnswer<lapdex::TeamDay> day =
        lapdex::loadTeamDay(session->source(), args[1]);
    if (!day.value) {
        std::fprintf(err, "k7x-tool: the runs of %s could not be listed\n", args[0].c_str());
        return kFailure;
    }
    reportProblems(*session, day.problems, err);
    printDay(*day.value, out);
    return finishAnswer(*session, out);
}

}  // namespace k7x
