// Writing the files of an export.
#include "export_files.h"

#include <algorithm>

#include "spreadsheet_export.h"
#include "xlsx_export.h"

namespace lapdex {
namespace {

// True when `path` is `folder` or lies inside it (both canonical, without trailing '/').
bool isWithin(const std::string& path, const std::string& folder) {
    if (folder.empty() || path.compare(0, folder.size(), folder) != 0) return false;
    return path.size() == folder.size() || path[folder.size()] == '/' || folder == "/";
}

// Ends a stopped export: the files it created go again, so that no half set stays behind.
void takeBack(FileSystem& fs, const std::vector<std::string>& created, ExportResult& result) {
    for (const std::string& made : created) (void)fs.deleteFile(made);
    std::erase_if(result.written, [&](const std::string& path) {
        return std::find(created.begin(), created.end(), path) != created.end();
    });
    result.stopped = true;
}

}  // namespace

std::vector<ExportFile> exportFiles(const std::vector<ExportRun>& runs, ExportFormat format,
                                    TcxFiles tcxFiles, const LocalToUtc& toUtc,
                                    texts::Language language, const std::string& ownPcLabel) {
    if (format == ExportFormat::Workbook) {
        WorkbookBytes book = runsWorkbook(runs, language, temporaryFolder(), ownPcLabel);
        return {{kRunsXlsxName, std::move(book.bytes), book.status}};
    }
    if (format == ExportFormat::Spreadsheet)
        return {{kRunsCsvName, runsCsv(runs, language, ownPcLabel)},
                {kLapsCsvName, lapsCsv(runs, language, ownPcLabel)}};
    if (tcxFiles == TcxFiles::OneForAll) return {{kRunsTcxName, tcxDocument(runs, toUtc)}};
    std::vector<ExportFile> files;
    for (const ExportRun& run : runs) {
        if (run.run.laps.empty()) continue;
        files.push_back({tcxFileNameOf(run), tcxDocument({run}, toUtc)});
    }
    return files;
}

std::vector<ExportRun> exportableRuns(const std::vector<ExportRun>& runs, ExportFormat format,
                                      const LocalToUtc& toUtc, std::vector<RunProblem>& leftOut) {
    if (format != ExportFormat::Tcx) return runs;
    std::vector<ExportRun> kept;
    for (const ExportRun& run : runs) {
        const std::string refusal = tcxRefusal(run, toUtc);
        if (refusal.empty())
            kept.push_back(run);
        else
            leftOut.push_back({run.relativePath, refusal, {}});
    }
    return kept;
}

ExportResult writeExportFiles(FileSystem& fs, const std::string& dataFolder,
                              const std::string& outFolder, const std::vector<ExportFile>& files,
                              Overwrite overwrite, const std::function<bool()>& stop) {
    ExportResult result;
    const std::string out = fs.canonicalPath(outFolder);
    if (out.empty() || fs.kindOf(out) != EntryKind::Folder) {
        result.error = ExportError::NoFolder;
        result.file = outFolder;
        return result;
    }
    const std::string data = fs.canonicalPath(withoutTrailingSlash(dataFolder));
    if (isWithin(out, data)) {
        result.error = ExportError::InsideDataFolder;
        result.file = outFolder;
        return result;
    }
    const std::string folder = withTrailingSlash(out);
    for (const ExportFile& f : files) {
        if (!f.made.ok()) {
            result.error = ExportError::WriteFailed;
            result.file = folder + f.name;
            result.status = f.made;
            return result;
        }
    }
    if (overwrite == Overwrite::Refuse) {
        for (const ExportFile& f : files) {
            if (fs.kindOf(folder + f.name) != EntryKind::None) {
                result.error = ExportError::FileExists;
                result.file = folder + f.name;
                return result;
            }
        }
    }
    std::vector<std::string> created;
    for (const ExportFile& f : files) {
        const std::string path = folder + f.name;
        if (stop && stop()) {
            takeBack(fs, created, result);
            return result;
        }
        const bool existed = fs.kindOf(path) != EntryKind::None;
        const Existing existing =
            overwrite == Overwrite::Replace ? Existing::Replace : Existing::Refuse;
        result.status = fs.writeFileAtomic(path, f.bytes, existing);
        if (!result.status.ok()) {
            result.error = result.status.error == FsError::AlreadyExists ? ExportError::FileExists
                                                                         : ExportError::WriteFailed;
            result.file = path;
            return result;
        }
        if (!existed) created.push_back(path);
        result.written.push_back(path);
    }
    return result;
}

}  // namespace lapdex
