// The spreadsheet export: runs.csv (one line per run) and laps.csv (one line per lap), UTF-8 with a
// byte-order mark, CR LF, a header line, times as seconds and again as the page shows them.
#pragma once

#include <string>
#include <vector>

#include "bilingual_text.h"
#include "export_run.h"

namespace lapdex {

inline constexpr const char* kRunsCsvName = "runs.csv";
inline constexpr const char* kLapsCsvName = "laps.csv";

// The whole content of runs.csv for `runs`, in their order, its header row in `language`. When
// some runs come from club folders (hasClubRuns), a last column "PC" names each run's PC, this
// PC's as `ownPcLabel` ("" gives "このPC" / "This PC").
std::string runsCsv(const std::vector<ExportRun>& runs,
                    texts::Language language = texts::Language::Japanese,
                    const std::string& ownPcLabel = {});

// The whole content of laps.csv for `runs`: their laps in run order, then lap order; the "PC"
// column as in runs.csv.
std::string lapsCsv(const std::vector<ExportRun>& runs,
                    texts::Language language = texts::Language::Japanese,
                    const std::string& ownPcLabel = {});

// The label of this PC's own runs in an export: `ownPcLabel`, else "このPC" / "This PC".
std::string exportOwnPcLabel(const std::string& ownPcLabel, texts::Language language);

}  // namespace lapdex
