// The names the window gives an export's files: the dates the runs cover and, when they are all
// of one stopwatch, its name ("2026-12-09_佐藤.tcx", "day_2026-12-09.pdf").
#pragma once

#include <string>
#include <vector>

#include "export_files.h"

namespace lapdex {

// "2026-12-09" when every run starts that day, "2026-12-01_2026-12-09" for the first and last
// date of several; "" for no run with a start.
std::string exportDates(const std::vector<ExportRun>& runs);

// `utf8` fit to stand in a file name on any desktop: path separators, characters Windows refuses
// (<>:"|?*\) and control characters become '_', leading dots and spaces go.
std::string fileNamePart(const std::string& utf8);

// The dates and, for the runs of one stopwatch, "_" and its tab name: "2026-12-09_佐藤".
std::string exportStem(const std::vector<ExportRun>& runs);

// The stem of `run`'s own file within an export of `runs`: its date and tab name, with its start
// time ("2026-12-09_093015_佐藤") when another run of `runs` would take the same name. A club
// folder's run adds its PC after the name ("2026-12-09_佐藤_PC-B").
std::string runStem(const ExportRun& run, const std::vector<ExportRun>& runs);

// `files` (as exportFiles made them from `runs`) under the window's names: STEM.xlsx,
// STEM_runs.csv and STEM_laps.csv, STEM.tcx for one TCX file, and each run's stem for TCX files
// of one run each.
std::vector<ExportFile> namedExportFiles(std::vector<ExportFile> files,
                                         const std::vector<ExportRun>& runs);

}  // namespace lapdex
