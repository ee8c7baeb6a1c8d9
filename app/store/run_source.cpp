// What every run source shares: reading the runs of a listing with their laps.
#include "run_source.h"

namespace lapdex {

std::string placeText(const std::string& pc, const std::string& path) {
    if (pc.empty()) return path;
    return path.empty() ? pc : pc + ": " + path;
}

SourceAnswer<std::vector<RunRow>> readRunsWithLaps(RunSource& source,
                                                   const std::vector<RunRow>& rows) {
    SourceAnswer<std::vector<RunRow>> answer;
    std::vector<RunRow> read;
    read.reserve(rows.size());
    for (const RunRow& row : rows) {
        RunRead run = source.readRunOf(row);
        if (run.outcome == RunRead::Outcome::Unavailable) return {};
        if (!run.ok()) {
            answer.problems.push_back({row.folderName + "/" + row.fileName, run.reason, row.pc});
            continue;
        }
        read.push_back(row);
        read.back().run = std::move(run.run);
    }
    answer.value = std::move(read);
    return answer;
}

}  // namespace lapdex
