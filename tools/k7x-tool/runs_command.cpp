// k7x-tool runs: the runs of a data folder, from its run index.
#include "answer_table.h"
#include "index_commands.h"
#include "index_session.h"
#include "run_filters.h"

namespace k7x {

int runRuns(const Invocation& invocation, std::FILE* out, std::FILE* err) {
    const std::unique_ptr<IndexSession> session =
        openIndexSession(invocation.dataFolder, err, invocation.also);
    if (!session) return kExitFailure;
    std::vector<lapdex::RunRow> rows;
    if (!searchRuns(*session, invocation.filters, rows, err)) return kExitFailure;
    AnswerTable table(
        Layout::Rows,
        withPcColumn(*session, {"tab name", "serial", "start", "lap count", "total", "best lap",
                                "best lap number", "average lap", "path", "run memo"}));
    for (const lapdex::RunRow& row : rows) {
        const lapdex::RunDetails& run = row.run;
        table.add(withPcCell(
            *session, row.pc,
            {Cell::textOf(row.tabName), Cell::textOf(row.serialText), Cell::dateTime(run.start),
             Cell::whole(run.lapCount), Cell::seconds(run.totalCs), Cell::seconds(run.bestLapCs),
             Cell::whole(run.bestLapNumber), Cell::seconds(run.averageLapCs),
             Cell::textOf(row.folderName + "/" + row.fileName), Cell::textOf(run.memo)}));
    }
    table.print(invocation.form, out);
    return finishAnswer(*session, out);
}

}  // namespace k7x
