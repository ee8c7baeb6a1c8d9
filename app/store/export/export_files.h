// Writing an export's files into a folder of the user's: never into the data folder, never over a
// file unless asked, and never a half-written file under a final name.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "bilingual_text.h"
#include "export_run.h"
#include "file_system.h"
#include "tcx_export.h"

namespace lapdex {

// Workbook: runs.xlsx for spreadsheets. Spreadsheet: runs.csv and laps.csv, for scripts and other
// programs. Tcx: for training logs.
enum class ExportFormat { Spreadsheet, Tcx, Workbook };
enum class TcxFiles { OnePerRun, OneForAll };
enum class Overwrite { Refuse, Replace };

// One file of an export: its name inside the output folder and its whole content.
struct ExportFile {
    std::string name;
    std::string bytes;
    // Not ok when the content could not be made (a workbook's temporary file failed): then no
    // file of the export is written, and the failure names this one.
    FsStatus made = FsStatus::success();
};

// The files of an export of `runs`: runs.xlsx, or runs.csv and laps.csv (their sheet names and
// header rows in `language`; this PC's runs named `ownPcLabel` where club runs are among them),
// or TCX files as `tcxFiles` says.
std::vector<ExportFile> exportFiles(const std::vector<ExportRun>& runs, ExportFormat format,
                                    TcxFiles tcxFiles, const LocalToUtc& toUtc,
                                    texts::Language language = texts::Language::Japanese,
                                    const std::string& ownPcLabel = {});

// The runs of `runs` that files of `format` can hold, in order; each other run goes to `leftOut`
// with the reason, so that an export's counts are those of the runs it writes.
std::vector<ExportRun> exportableRuns(const std::vector<ExportRun>& runs, ExportFormat format,
                                      const LocalToUtc& toUtc, std::vector<RunProblem>& leftOut);

enum class ExportError {
    None,
    NoFolder,          // the output folder does not exist or is no folder
    InsideDataFolder,  // the output folder is the data folder or lies inside it
    FileExists,        // `file` exists and overwriting was not asked for; nothing was written
    WriteFailed,       // `file` could not be written; the files before it were
};

struct [[nodiscard]] ExportResult {
    ExportError error = ExportError::None;
    std::string file;                  // full path of the file the error names
    FsStatus status;                   // the file system's answer for WriteFailed
    std::vector<std::string> written;  // full paths, in order
    bool stopped = false;  // the stop request ended the export: `written` lists what stays
    bool ok() const { return error == ExportError::None && !stopped; }
};

// Writes `files` into `outFolder`. Refuse: when any of them exists, writes none. When one could
// not be made, writes none (WriteFailed with its `made` status). Each file reaches its name
// through a flushed temporary file and one rename. `stop` is asked before each file: once it
// returns true the export ends as stopped, and the files it had created are removed again, so
// that no half set stays (files it replaced stay replaced, listed in `written`).
ExportResult writeExportFiles(FileSystem& fs, const std::string& dataFolder,
                              const std::string& outFolder, const std::vector<ExportFile>& files,
                              Overwrite overwrite, const std::function<bool()>& stop = {});

}  // namespace lapdex
