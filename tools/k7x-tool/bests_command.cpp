// k7x-tool bests: each stopwatch's personal bests, from the run index.
#include <algorithm>

#include "answer_table.h"
#include "index_session.h"
#include "lap_commands.h"
#include "personal_bests.h"
#include "run_filters.h"

namespace k7x {
namespace {

void addBest(AnswerTable& table, const IndexSession& session, const lapdex::RunStopwatch& stopwatch,
             const char* kind, Cell lapCount, const lapdex::BestTime& best) {
    table.add(withPcCell(
        session, stopwatch.pc,
        {Cell::textOf(stopwatch.tabName), Cell::textOf(kind), std::move(lapCount),
         Cell::seconds(best.cs), best.lapNumber > 0 ? Cell::whole(best.lapNumber) : Cell::missing(),
         Cell::dateTime(best.start), Cell::textOf(best.fileName)}));
}

}  // namespace

int runBests(const Invocation& invocation, std::FILE* out, std::FILE* err) {
    const std::unique_ptr<IndexSession> session =
        openIndexSession(invocation.dataFolder, err, invocation.also);
    if (!session) return kExitFailure;
    const std::string& named = invocation.filters.stopwatch;
    std::string folder;
    std::set<lapdex::StopwatchKey> chosen;
    if (!named.empty()) {
        for (const lapdex::RunStopwatch& s : stopwatchesNamed(session->source(), named)) {
            chosen.insert(lapdex::keyOf(s));
            folder = s.folderName;
        }
        if (chosen.empty()) {
            std::fprintf(err, "k7x-tool: no stopwatch is registered as %s\n", named.c_str());
            return kExitFailure;
        }
        // One folder name is asked of every data folder; the stopwatches named are kept after.
        if (chosen.size() > 1) folder.clear();
    }
    const lapdex::SourceAnswer<std::vector<lapdex::PersonalBests>> answer =
        lapdex::loadPersonalBests(session->source(), folder);
    if (!answer.value) {
        std::fprintf(err, "k7x-tool: the runs of %s could not be listed\n",
                     invocation.dataFolder.c_str());
        return kExitFailure;
    }
    std::set<lapdex::StopwatchKey> group;
    if (!groupStopwatches(*session, invocation.filters.group, group, err)) return kExitFailure;
    reportProblems(*session, answer.problems, err);
    AnswerTable table(Layout::Rows, withPcColumn(*session, {"tab name", "best", "lap count", "time",
                                                            "lap number", "start", "file"}));
    for (const lapdex::PersonalBests& b : *answer.value) {
        const lapdex::RunStopwatch& s = b.stopwatch;
        if (!inGroup(group, s.pc, s.folderName) || !inGroup(chosen, s.pc, s.folderName)) continue;
        if (b.fastestLap.cs >= 0)
            addBest(table, *session, s, "fastest lap", Cell::missing(), b.fastestLap);
        for (const auto& [laps, best] : b.fastestTotal)
            addBest(table, *session, s, "fastest total", Cell::whole(laps), best);
    }
    table.print(invocation.form, out);
    return finishAnswer(*session, out);
}

}  // namespace k7x
