// k7x-tool roster: one line per registered stopwatch, from the data folder's run index.
#include <algorithm>

#include "answer_table.h"
#include "export_times.h"
#include "index_commands.h"
#include "index_session.h"
#include "roster.h"
#include "run_filters.h"

namespace k7x {

int runRoster(const Invocation& invocation, std::FILE* out, std::FILE* err) {
    const std::unique_ptr<IndexSession> session =
        openIndexSession(invocation.dataFolder, err, invocation.also);
    if (!session) return kExitFailure;
    const lapdex::SourceAnswer<lapdex::Roster> answer =
        lapdex::loadRoster(session->source(), session->data);
    if (!answer.value) {
        std::fprintf(err, "k7x-tool: the runs of %s could not be listed\n",
                     invocation.dataFolder.c_str());
        return kExitFailure;
    }
    std::set<lapdex::StopwatchKey> group;
    if (!groupStopwatches(*session, invocation.filters.group, group, err)) return kExitFailure;
    reportProblems(*session, answer.problems, err);
    const lapdex::Roster* roster = &*answer.value;
    for (int line : roster->damagedHistoryLines)
        std::fprintf(err, "k7x-tool: History.csv line %d is damaged and was skipped\n", line);
    AnswerTable table(Layout::Rows,
                      withPcColumn(*session, {"tab name", "serial", "runs", "first run", "last run",
                                              "usual lap count", "best lap", "best total",
                                              "last contact", "battery level", "battery low"}));
    for (const lapdex::RosterEntry& entry : roster->entries) {
        if (!inGroup(group, entry.stopwatch.pc, entry.stopwatch.folderName)) continue;
        const bool battery = entry.batteryLevel != 0;
        table.add(withPcCell(
            *session, entry.stopwatch.pc,
            {Cell::textOf(entry.stopwatch.tabName), Cell::textOf(entry.stopwatch.serialText),
             Cell::whole(entry.runs), Cell::dateTime(entry.firstStart),
             Cell::dateTime(entry.lastStart), Cell::whole(entry.usualLapCount),
             Cell::seconds(entry.bestLapCs), Cell::seconds(entry.bestTotalCs),
             Cell::dateTime(lapdex::isoDateTimeText(entry.lastContact)),
             battery ? Cell::whole(entry.batteryLevel) : Cell::missing(),
             battery ? Cell::flag(entry.batteryLow()) : Cell::missing()}));
    }
    table.print(invocation.form, out);
    return finishAnswer(*session, out);
}

}  // namespace k7x
