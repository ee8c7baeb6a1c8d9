// Writing the files of an export.
#include "export_files.h"

#include "spreadsheet_export.h"
#include "xlsx_export.h"

namespace lapdex {
namespace {

// True when `path` is `folder` or lies inside it (both canonical, without trailing '/').
bool isWithin(const std::string& path, const std::string& folder) {
    if (folder.empty() || path.compare(0, folder.size(), folder) != 0) return false;
    return path.size() == folder.size() || path[folder.size()] == '/' || folder == "/";
}

}  // namespace

std::vector<ExportFile> exportFiles(const std::vector<ExportRun>& runs, ExportFormat format,
                                    TcxFiles tcxFiles, const LocalToUtc& toUtc,
                                    texts::Language language) {
    if (format == ExportFormat::Workbook) {
        WorkbookBytes book = runsWorkbook(runs, language, temporaryFolder());
        return {{kRunsXlsxName, std::move(book.bytes), book.status}};
    }
    if (format == ExportFormat::Spreadsheet)
        return {{kRunsCsvName, runsCsv(runs, language)}, {kLapsCsvName, lapsCsv(runs, language)}};
    if (tcxFiles == TcxFiles::OneForAll) return {{kRunsTcxName, tcxDocument(runs, toUtc)}};
    std::vector<ExportFile> files;
    for (const ExportRun& run : runs) {
        if (run.run.laps.empty()) continue;
        files.push_back({tcxFileNameOf(run), tcxDocument({run}, toUtc)});
    }
    return files;
}

ExportResult writeExportFiles(FileSystem& fs, const std::string& dataFolder,
                              const std::string& outFolder, const std::vector<ExportFile>& files,
                              Overwrite overwrite) {
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
    for (const ExportFile& f : files) {
        const std::string path = folder + f.name;
        const Existing existing =
            overwrite == Overwrite::Replace ? Existing::Replace : Existing::Refuse;
        result.status = fs.writeFileAtomic(path, f.bytes, existing);
        if (!result.status.ok()) {
            result.error = result.status.error == FsError::AlreadyExists ? ExportError::FileExists
                                                                         : ExportError::WriteFailed;
            result.file = path;
            return result;
        }
        result.written.push_back(path);
    }
    return result;
}

}  // namespace lapdex
