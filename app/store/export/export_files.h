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

// Writes `files` into `outFolder`. Refuse: when any of them exists, writes none. Each file reaches
// its name through a flushed temporary file and one rename. `stop` is asked before each file: once
// it returns true the export ends as stopped, and the files it had created are removed again, so
// that no half set stays (files it replaced stay replaced, listed in `written`).
ExportResult writeExportFiles(FileSystem& fs, const std::string& dataFolder,
                              const std::string& outFolder, const std::vector<ExportFile>& files,
                              Overwrite overwrite, const std::function<bool()>& stop = {});

}  // namespace lapdex
