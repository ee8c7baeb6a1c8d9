// k7x-tool roster: one line per registered stopwatch, from the data folder's run index.
#include "index_commands.h"
#include "index_session.h"
#include "roster.h"

namespace k7x {

int runRoster(const std::vector<std::string>& args, std::FILE* out, std::FILE* err) {
    if (args.size() != 1 || args[0].rfind("--", 0) == 0) {
        std::fprintf(err, "k7x-tool: roster takes one data folder\n\n%s", indexUsageText());
        return 2;
    }
    const std::unique_ptr<IndexSession> session = openIndexSession(args[0], err);
    if (!session) return 1;
    const lapdex::SourceAnswer<lapdex::Roster> answer =
        lapdex::loadRoster(session->source(), session->data);
    if (!answer.value) {
        std::fprintf(err, "k7x-tool: the runs of %s could not be listed\n", args[0].c_str());
        return 1;
    }
    reportProblems(*session, answer.problems, err);
    const lapdex::Roster* roster = &*answer.value;
    for (int line : roster->damagedHistoryLines)
        std::fprintf(err, "k7x-tool: History.csv line %d is damaged and was skipped\n", line);
    std::fputs(
        "tab name\tserial\truns\tfirst run\tlast run\tusual lap count\tbest lap\tbest total\t"
        "last contact\tbattery level\n",
        out);
    for (const lapdex::RosterEntry& entry : roster->entries) {
        const std::string battery =
            entry.batteryLevel == 0
                ? std::string()
                : std::to_string(entry.batteryLevel) + (entry.batteryLow() ? " (low)" : "");
        std::fprintf(out, "%s\t%s\t%d\t%s\t%s\t%d\t%s\t%s\t%s\t%s\n",
                     cellText(entry.stopwatch.tabName).c_str(), entry.stopwatch.serialText.c_str(),
                     entry.runs, entry.firstStart.c_str(), entry.lastStart.c_str(),
                     entry.usualLapCount, lapdex::secondsText(entry.bestLapCs).c_str(),
                     lapdex::secondsText(entry.bestTotalCs).c_str(), entry.lastContact.c_str(),
                     battery.c_str());
    }
    return finishAnswer(*session, out);
}

}  // namespace k7x
