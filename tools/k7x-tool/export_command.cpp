// k7x-tool export: the runs of a data folder as runs.xlsx, as runs.csv and laps.csv, or as TCX
// files, written into a folder outside it.
#include <cstring>

#include "count_words.h"
#include "data_folder.h"
#include "export_files.h"
#include "index_commands.h"
#include "index_session.h"
#include "interruption.h"
#include "output_file.h"
#include "run_filters.h"

namespace k7x {
namespace {

// Says on `err` why the files were not all written.
void reportFailure(const lapdex::ExportResult& result, const Invocation& args, std::FILE* err) {
    switch (result.error) {
        case lapdex::ExportError::NoFolder:
            std::fprintf(err, "k7x-tool: %s is no folder\n", result.file.c_str());
            break;
        case lapdex::ExportError::InsideDataFolder:
            std::fprintf(
                err, "k7x-tool: %s lies in the data folder %s; exports are never written there\n",
                result.file.c_str(), args.dataFolder.c_str());
            break;
        case lapdex::ExportError::FileExists:
            std::fprintf(err, "k7x-tool: %s exists; nothing was written (--force replaces it)\n",
                         result.file.c_str());
            break;
        case lapdex::ExportError::WriteFailed:
            std::fprintf(
                err, "k7x-tool: writing %s failed: %s\n", result.file.c_str(),
                result.status.sysErrno ? std::strerror(result.status.sysErrno) : "refused");
            for (const std::string& path : result.written)
                std::fprintf(err, "k7x-tool: %s was written before it\n", path.c_str());
            break;
        case lapdex::ExportError::None:
            break;
    }
}

}  // namespace

int runExport(const Invocation& invocation, std::FILE* out, std::FILE* err) {
    catchInterruptions();
    const std::unique_ptr<IndexSession> session =
        openIndexSession(invocation.dataFolder, err, invocation.also);
    if (!session) return kExitFailure;
    std::vector<lapdex::RunRow> rows;
    if (!searchRuns(*session, invocation.filters, rows, err)) return kExitFailure;
    const lapdex::SourceAnswer<std::vector<lapdex::ExportRun>> collected =
        lapdex::collectExportRuns(session->source(), rows);
    if (!collected.value) {
        std::fprintf(err, "k7x-tool: the runs of %s could not be read\n",
                     invocation.dataFolder.c_str());
        return kExitFailure;
    }
    std::vector<lapdex::RunProblem> leftOut = collected.problems;
    const std::vector<lapdex::ExportRun> runs = lapdex::exportableRuns(
        *collected.value, invocation.format, lapdex::systemLocalToUtc, leftOut);
    reportProblems(*session, leftOut, err);
    const auto files =
        lapdex::exportFiles(runs, invocation.format, invocation.tcxFiles, lapdex::systemLocalToUtc,
                            invocation.language, session->ownLabel);
    const std::string& outFolder = invocation.outFolder;
    OutputFolder folder;
    std::string problem;
    if (!folder.make(outFolder, problem)) {
        std::fprintf(err, "k7x-tool: cannot write in %s: %s\n", outFolder.c_str(), problem.c_str());
        return kExitFailure;
    }
    (void)removeDeadExportTemporaries(outFolder);
    const lapdex::ExportResult result =
        lapdex::writeExportFiles(lapdex::systemFileSystem(), invocation.dataFolder, outFolder,
                                 files, invocation.overwrite, interruptionRequested);
    if (result.stopped) return reportStoppedExport(result.written, outFolder, err);
    if (!result.ok()) {
        reportFailure(result, invocation, err);
        return kExitFailure;
    }
    for (const std::string& path : result.written) std::fprintf(out, "%s\n", path.c_str());
    const lapdex::ExportCounts counts = lapdex::countsOf(runs);
    std::fprintf(out, "%s and %s written in %s\n", counted(counts.runs, "run", "runs").c_str(),
                 counted(counts.laps, "lap", "laps").c_str(),
                 counted(static_cast<long long>(result.written.size()), "file", "files").c_str());
    if (interruptionRequested()) {
        std::fprintf(err, "Interrupted after the export was complete; nothing is left to do\n");
        return kInterruptedStatus;
    }
    return finishAnswer(*session, out);
}

}  // namespace k7x
