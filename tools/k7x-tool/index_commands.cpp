// Dispatch of k7x-tool's commands over a data folder.
#include "index_commands.h"

#include "lap_commands.h"

namespace k7x {

std::optional<int> runIndexCommand(const Invocation& invocation, std::FILE* out, std::FILE* err) {
    switch (invocation.command) {
        case Command::Runs:
            return runRuns(invocation, out, err);
        case Command::Roster:
            return runRoster(invocation, out, err);
        case Command::Export:
            return runExport(invocation, out, err);
        case Command::Stats:
            return runStats(invocation, out, err);
        case Command::Day:
            return runDay(invocation, out, err);
        case Command::Bests:
            return runBests(invocation, out, err);
        case Command::Sessions:
            return runSessions(invocation, out, err);
        case Command::Progress:
            return runProgress(invocation, out, err);
        default:
            return std::nullopt;
    }
}

}  // namespace k7x
