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

// The whole content of runs.csv for `runs`, in their order, its header row in `language`.
std::string runsCsv(const std::vector<ExportRun>& runs,
                    texts::Language language = texts::Language::Japanese);

// The whole content of laps.csv for `runs`: their laps in run order, then lap order.
std::string lapsCsv(const std::vector<ExportRun>& runs,
                    texts::Language language = texts::Language::Japanese);

}  // namespace lapdex
