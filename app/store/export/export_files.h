// Writing an export's files into a folder of the user's: never into the data folder, never over a
// file unless asked, and never a half-written file under a final name.
#pragma once

#include <string>
#include <vector>

#include "bilingual_text.h"
#include "export_run.h"
#include "file_system.h"
#include "tcx_export.h"

namespace lapdex {

enum class ExportFormat { Spreadsheet, Tcx };
enum class TcxFiles { OnePerRun, OneForAll };
enum class Overwrite { Refuse, Replace };

// One file of an export: its name inside the output folder and its whole content.
struct ExportFile {
    std::string name;
    std::string bytes;
};

// The files of an export of `runs`: runs.csv and laps.csv (their header rows in `language`), or
// TCX files as `tcxFiles` says.
std::vector<ExportFile> exportFiles(const std::vector<ExportRun>& runs, ExportFormat format,
                                    TcxFiles tcxFiles, const LocalToUtc& toUtc,
                                    texts::Language language = texts::Language::Japanese);

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
    bool ok() const { return error == ExportError::None; }
};

// Writes `files` into `outFolder`. Refuse: when any of them exists, writes none. Each file reaches
// its name through a flushed temporary file and one rename.
ExportResult writeExportFiles(FileSystem& fs, const std::string& dataFolder,
                              const std::string& outFolder, const std::vector<ExportFile>& files,
                              Overwrite overwrite);

}  // namespace lapdex
