// The workbook export: runs.xlsx with a sheet of runs and a sheet of laps, the columns of runs.csv
// and laps.csv in typed cells, so a spreadsheet shows exactly what the stopwatch recorded.
#pragma once

#include <string>
#include <vector>

#include "bilingual_text.h"
#include "export_run.h"
#include "file_system.h"

namespace lapdex {

inline constexpr const char* kRunsXlsxName = "runs.xlsx";

// Writes the workbook of `runs` to `path` (replacing any file there): sheet "Runs" (one row per
// run) and sheet "Laps" (one per lap, in run order, then lap order), their names and header rows
// in `language`. Serials, names, memos and paths are text cells; starts are date-time cells;
// times are both seconds (where runs.csv has them) and durations in days; counts are integers.
// Each fastest lap's row is bold. With runs of club folders, both sheets end in a "PC" column as
// runs.csv does. Rows stream through temporary files in `tempFolder`. On failure (Io with the
// errno; EFBIG for more laps than a sheet holds) `path` may hold a partial file.
FsStatus writeRunsWorkbook(const std::string& path, const std::vector<ExportRun>& runs,
                           texts::Language language, const std::string& tempFolder,
                           const std::string& ownPcLabel = {});

// The bytes of that workbook, made in a temporary file of `tempFolder` that is removed again.
struct [[nodiscard]] WorkbookBytes {
    FsStatus status;
    std::string bytes;
    bool ok() const { return status.ok(); }
};
WorkbookBytes runsWorkbook(const std::vector<ExportRun>& runs, texts::Language language,
                           const std::string& tempFolder, const std::string& ownPcLabel = {});

// The folder for temporary files: $TMPDIR, else /tmp.
std::string temporaryFolder();

}  // namespace lapdex
