// k7x-tool export: the runs of a data folder as runs.xlsx, as runs.csv and laps.csv, or as TCX
// files, written into a folder outside it.
#include <cstring>

#include "count_words.h"
#include "data_folder.h"
#include "export_files.h"
#include "index_commands.h"
#include "index_session.h"
#include "run_filters.h"

namespace k7x {
namespace {

constexpr int kFailure = 1;
constexpr int kUsage = 2;

struct ExportArguments {
    std::string dataFolder;
    std::string outFolder;
    lapdex::ExportFormat format = lapdex::ExportFormat::Spreadsheet;
    bool formatGiven = false;
    lapdex::TcxFiles tcxFiles = lapdex::TcxFiles::OnePerRun;
    lapdex::Overwrite overwrite = lapdex::Overwrite::Refuse;
    // The language of the spreadsheet's header rows; Japanese, as the program shows by default.
    lapdex::texts::Language language = lapdex::texts::Language::Japanese;
    RunFilters filters;
};

std::optional<lapdex::ExportFormat> exportFormatNamed(const std::string& name) {
    if (name == "xlsx") return lapdex::ExportFormat::Workbook;
    if (name == "csv") return lapdex::ExportFormat::Spreadsheet;
    if (name == "tcx") return lapdex::ExportFormat::Tcx;
    return std::nullopt;
}

// Takes one option of the command (with its value where it has one) at `args[i]`. False with a
// message in `error` when it is unknown or its value is wrong.
bool takeOption(const std::vector<std::string>& args, std::size_t& i, ExportArguments& parsed,
                std::string& error) {
    const std::string& arg = args[i];
    if (arg == "--force") return parsed.overwrite = lapdex::Overwrite::Replace, true;
    if (arg == "--one-file") return parsed.tcxFiles = lapdex::TcxFiles::OneForAll, true;
    if (i + 1 >= args.size()) return error = arg + " needs a value", false;
    const std::string& value = args[++i];
    if (arg == "--format") {
        const std::optional<lapdex::ExportFormat> format = exportFormatNamed(value);
        if (!format) return error = "--format takes xlsx, csv or tcx, not " + value, false;
        parsed.format = *format;
        parsed.formatGiven = true;
        return true;
    }
    if (arg == "--lang") {
        if (value != "ja" && value != "en")
            return error = "--lang takes ja or en, not " + value, false;
        parsed.language =
            value == "ja" ? lapdex::texts::Language::Japanese : lapdex::texts::Language::English;
        return true;
    }
    switch (applyRunFilter(arg, value, parsed.filters, error)) {
        case FilterOption::Taken:
            return true;
        case FilterOption::NotAFilter:
            error = "unknown option " + arg;
            return false;
        case FilterOption::Invalid:
            return false;
    }
    return false;
}

std::optional<ExportArguments> parseExport(const std::vector<std::string>& args,
                                           std::string& error) {
    ExportArguments parsed;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i].rfind("--", 0) == 0) {
            if (!takeOption(args, i, parsed, error)) return std::nullopt;
        } else if (parsed.dataFolder.empty()) {
            parsed.dataFolder = args[i];
        } else if (parsed.outFolder.empty()) {
            parsed.outFolder = args[i];
        } else {
            return error = "one data folder and one output folder, not also " + args[i],
                   std::nullopt;
        }
    }
    if (parsed.outFolder.empty())
        return error = "export needs a data folder and an output folder", std::nullopt;
    if (!parsed.formatGiven) return error = "export needs --format xlsx, csv or tcx", std::nullopt;
    return parsed;
}

// Says on `err` why the files were not all written.
void reportFailure(const lapdex::ExportResult& result, const ExportArguments& args,
                   std::FILE* err) {
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

int runExport(const std::vector<std::string>& args, std::FILE* out, std::FILE* err) {
    std::string error;
    const std::optional<ExportArguments> parsed = parseExport(args, error);
    if (!parsed) {
        std::fprintf(err, "k7x-tool: %s\n\n%s", error.c_str(), indexUsageText());
        return kUsage;
    }
    const std::unique_ptr<IndexSession> session = openIndexSession(parsed->dataFolder, err);
    if (!session) return kFailure;
    std::vector<lapdex::RunRow> rows;
    if (!searchRuns(*session->index, parsed->filters, rows, err)) return kFailure;
    const auto runs = lapdex::collectExportRuns(*session->index, rows);
    if (!runs) {
        std::fprintf(err, "k7x-tool: the runs could not be read from the run index\n");
        return kFailure;
    }
    const auto files = lapdex::exportFiles(*runs, parsed->format, parsed->tcxFiles,
                                           lapdex::systemLocalToUtc, parsed->language);
    const lapdex::ExportResult result =
        lapdex::writeExportFiles(lapdex::systemFileSystem(), parsed->dataFolder, parsed->outFolder,
                                 files, parsed->overwrite);
    if (!result.ok()) {
        reportFailure(result, *parsed, err);
        return kFailure;
    }
    for (const std::string& path : result.written) std::fprintf(out, "%s\n", path.c_str());
    const lapdex::ExportCounts counts = lapdex::countsOf(*runs);
    std::fprintf(out, "%s and %s written in %s\n", counted(counts.runs, "run", "runs").c_str(),
                 counted(counts.laps, "lap", "laps").c_str(),
                 counted(static_cast<long long>(result.written.size()), "file", "files").c_str());
    return std::fflush(out) == 0 ? 0 : kFailure;
}

}  // namespace k7x
