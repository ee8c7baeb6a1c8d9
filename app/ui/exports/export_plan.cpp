// Counting what an export's files hold.
#include "export_plan.h"

namespace lapdex::ui {

ExportPlan planExport(const std::vector<ExportRun>& runs, ExportFormat format, TcxFiles tcxFiles,
                      const LocalToUtc& toUtc, texts::Language language,
                      const std::string& ownPcLabel) {
    ExportPlan plan;
    plan.files = exportFiles(runs, format, tcxFiles, toUtc, language, ownPcLabel);
    if (format != ExportFormat::Tcx) {
        plan.counts =
            countsOf(runs);  // a line for every run in runs.csv and runs.xlsx, laps or none
        return plan;
    }
    std::vector<ExportRun> written;
    for (const ExportRun& run : runs) {
        // The TCX writer leaves out what it cannot make an activity of: ask it, run by run.
        if (tcxDocument({run}, toUtc).find("<Activity") != std::string::npos)
            written.push_back(run);
        else
            plan.missed.push_back(
                {run.relativePath,
                 run.run.laps.empty() ? MissedRun::Why::NoLaps : MissedRun::Why::Unreadable,
                 run.run.laps.empty() ? "" : "start time"});
    }
    plan.counts = countsOf(written);
    return plan;
}

ExportPlan planSheet(ExportFile file, const std::vector<ExportRun>& runs) {
    ExportPlan plan;
    plan.files.push_back(std::move(file));
    plan.counts = countsOf(runs);
    return plan;
}

}  // namespace lapdex::ui
