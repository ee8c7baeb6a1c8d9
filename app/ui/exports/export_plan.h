// What an export will write: its files, the runs and laps they hold, and the runs they leave out
// with the reason, so that what the user is told equals what was written.
#pragma once

#include <vector>

#include "bilingual_text.h"
#include "export_files.h"
#include "run_gathering.h"

namespace lapdex::ui {

struct ExportPlan {
    std::vector<ExportFile> files;
    ExportCounts counts;            // runs and laps the files hold
    std::vector<MissedRun> missed;  // runs asked for that the files do not hold
};

// The plan for `runs`. A TCX activity needs laps and a start time: a run without either is a
// missed run, not a written one. Where runs of club folders are among them, the spreadsheets name
// this PC's runs `ownPcLabel`.
ExportPlan planExport(const std::vector<ExportRun>& runs, ExportFormat format, TcxFiles tcxFiles,
                      const LocalToUtc& toUtc, texts::Language language,
                      const std::string& ownPcLabel = {});

// The plan of one file that holds every run of `runs` (a PDF sheet).
ExportPlan planSheet(ExportFile file, const std::vector<ExportRun>& runs);

}  // namespace lapdex::ui
