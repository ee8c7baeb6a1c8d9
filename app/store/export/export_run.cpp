// Gathering the runs of an export from a run source.
#include "export_run.h"

namespace lapdex {

SourceAnswer<std::vector<ExportRun>> collectExportRuns(RunSource& source,
                                                       const std::vector<RunRow>& rows) {
    SourceAnswer<std::vector<RunRow>> read = readRunsWithLaps(source, rows);
    SourceAnswer<std::vector<ExportRun>> answer;
    if (!read.value) return answer;
    answer.problems = std::move(read.problems);
    answer.value.emplace();
    answer.value->reserve(read.value->size());
    for (RunRow& row : *read.value) {
        answer.value->push_back({row.tabName, row.serialText, row.folderName + "/" + row.fileName,
                                 std::move(row.run), row.pc});
    }
    return answer;
}

std::optional<std::vector<ExportRun>> collectExportRuns(RunIndex& index,
                                                        const std::vector<RunRow>& rows) {
    std::vector<ExportRun> runs;
    runs.reserve(rows.size());
    for (const RunRow& row : rows) {
        if (!index.ready()) return std::nullopt;
        std::optional<RunDetails> run = index.runWithLaps(row.folderName, row.fileName);
        if (!run) return std::nullopt;  // gone since the search, or the index is busy
        runs.push_back({row.tabName, row.serialText, row.folderName + "/" + row.fileName,
                        std::move(*run), row.pc});
    }
    return runs;
}

bool hasClubRuns(const std::vector<ExportRun>& runs) {
    for (const ExportRun& r : runs)
        if (!r.pc.empty()) return true;
    return false;
}

std::string exportPcText(const ExportRun& run, const std::string& ownLabel) {
    return run.pc.empty() ? ownLabel : run.pc;
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
