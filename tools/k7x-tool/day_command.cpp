// k7x-tool day: every run of one date across the stopwatches, lap by lap.
#include "answer_table.h"
#include "index_session.h"
#include "lap_commands.h"
#include "run_filters.h"
#include "team_day.h"

namespace k7x {
namespace {

void printDay(const IndexSession& session, const lapdex::TeamDay& day, AnswerForm form,
              std::FILE* out) {
    std::vector<std::string> columns = withPcColumn(session, {"tab name", "start"});
    for (int lap = 1; lap <= day.lapColumns; ++lap) columns.push_back("lap " + std::to_string(lap));
    columns.emplace_back("total");
    AnswerTable table(Layout::Rows, std::move(columns));
    for (const lapdex::TeamDayRun& run : day.runs) {
        std::vector<Cell> cells =
            withPcCell(session, run.pc, {Cell::textOf(run.tabName), Cell::dateTime(run.start)});
        for (int lap = 0; lap < day.lapColumns; ++lap) {
            const bool has = static_cast<std::size_t>(lap) < run.lapsCs.size();
            cells.push_back(has ? Cell::seconds(run.lapsCs[lap]) : Cell::missing());
        }
        cells.push_back(Cell::seconds(run.totalCs));
        table.add(std::move(cells));
    }
    table.print(form, out);
}

}  // namespace

std::optional<lapdex::TeamDay> dayOfInvocation(IndexSession& session, const Invocation& invocation,
                                               std::FILE* err) {
    lapdex::SourceAnswer<lapdex::TeamDay> day =
        lapdex::loadTeamDay(session.source(), invocation.date);
    if (!day.value) {
        std::fprintf(err, "k7x-tool: the runs of %s could not be listed\n",
                     invocation.dataFolder.c_str());
        return std::nullopt;
    }
    if (!keepGroup(session, invocation.filters.group, *day.value, err)) return std::nullopt;
    reportProblems(session, day.problems, err);
    return std::move(day.value);
}

int runDay(const Invocation& invocation, std::FILE* out, std::FILE* err) {
    const std::unique_ptr<IndexSession> session =
        openIndexSession(invocation.dataFolder, err, invocation.also);
    if (!session) return kExitFailure;
    const std::optional<lapdex::TeamDay> day = dayOfInvocation(*session, invocation, err);
    if (!day) return kExitFailure;
    printDay(*session, *day, invocation.form, out);
    return finishAnswer(*session, out);
}

}  // namespace k7x
