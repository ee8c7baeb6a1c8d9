// Gathering the runs of an export from the run index.
#include "export_run.h"

namespace lapdex {

std::optional<std::vector<ExportRun>> collectExportRuns(RunIndex& index,
                                                        const std::vector<RunRow>& rows) {
    std::vector<ExportRun> runs;
    runs.reserve(rows.size());
    for (const RunRow& row : rows) {
        if (!index.ready()) return std::nullopt;
        std::optional<RunDetails> run = index.runWithLaps(row.folderName, row.fileName);
        if (!run) continue;  // gone since the search, or the index is busy for a moment
        runs.push_back(
            {row.tabName, row.serialText, row.folderName + "/" + row.fileName, std::move(*run)});
    }
    return runs;
}

ExportCounts countsOf(const std::vector<ExportRun>& runs) {
    ExportCounts counts;
    for (const ExportRun& r : runs) {
        ++counts.runs;
        counts.laps += static_cast<int>(r.run.laps.size());
    }
    return counts;
}

}  // namespace lapdex
