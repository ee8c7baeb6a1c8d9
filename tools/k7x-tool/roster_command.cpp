// k7x-tool roster: one line per registered stopwatch, from the data folder's run index.
#include "index_commands.h"
#include "index_session.h"

namespace k7x {

int runRoster(const std::vector<std::string>& args, std::FILE* out, std::FILE* err) {
    if (args.size() != 1 || args[0].rfind("--", 0) == 0) {
        std::fprintf(err, "k7x-tool: roster takes one data folder\n\n%s", indexUsageText());
        return 2;
    }
    const std::unique_ptr<IndexSession> session = openIndexSession(args[0], err);
    if (!session) return 1;
    const auto roster = session->index->roster();
    if (!roster) {
        std::fprintf(err, "k7x-tool: the run index could not be read\n");
        return 1;
    }
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
    return std::fflush(out) == 0 ? 0 : 1;
}

}  // namespace k7x
