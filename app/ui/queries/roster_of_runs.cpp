// The roster as the store sums it up, for the windows' worker.
#include "roster_of_runs.h"

#include "roster.h"

namespace lapdex::ui {

std::optional<Roster> rosterOfRuns(RunSource& source, const DataFolder& data) {
    SourceAnswer<Roster> answer = loadRoster(source, data);
    return std::move(answer.value);
}

}  // namespace lapdex::ui
