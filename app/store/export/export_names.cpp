// Naming an export's files after the dates and the stopwatch of its runs.
#include "export_names.h"

#include <algorithm>
#include <map>

#include "spreadsheet_export.h"
#include "tcx_export.h"
#include "xlsx_export.h"

namespace lapdex {
namespace {

std::string dateOf(const ExportRun& run) {
    return run.run.start.size() >= 10 ? run.run.start.substr(0, 10) : std::string();
}

std::string folderOf(const ExportRun& run) {
    return run.relativePath.substr(0, run.relativePath.find('/'));
}

// "093015" from "2026-12-09T09:30:15".
std::string timeOf(const ExportRun& run) {
    std::string time = run.run.start.size() >= 19 ? run.run.start.substr(11, 8) : std::string();
    std::erase(time, ':');
    return time;
}

std::string joined(const std::string& a, const std::string& b) {
    if (a.empty()) return b;
    return b.empty() ? a : a + "_" + b;
}

}  // namespace

std::string exportDates(const std::vector<ExportRun>& runs) {
    std::string first;
    std::string last;
    for (const ExportRun& run : runs) {
        const std::string date = dateOf(run);
        if (date.empty()) continue;
        if (first.empty() || date < first) first = date;
        if (last.empty() || date > last) last = date;
    }
    return first == last ? first : first + "_" + last;
}

std::string fileNamePart(const std::string& utf8) {
    std::string part;
    for (unsigned char c : utf8) {
        const bool refused =
            c < 0x20 || c == 0x7F ||
            std::string_view("/\\<>:\"|?*").find(char(c)) != std::string_view::npos;
        part += refused ? '_' : char(c);
    }
    const std::size_t start = part.find_first_not_of(". ");
    part.erase(0, std::min(start, part.size()));
    while (!part.empty() && (part.back() == ' ' || part.back() == '.')) part.pop_back();
    return part;
}

std::string exportStem(const std::vector<ExportRun>& runs) {
    const bool oneStopwatch =
        !runs.empty() && std::all_of(runs.begin(), runs.end(), [&](const ExportRun& r) {
            return folderOf(r) == folderOf(runs.front()) && r.pc == runs.front().pc;
        });
    const std::string name = oneStopwatch ? fileNamePart(runs.front().tabName) : std::string();
    const std::string stem = joined(exportDates(runs), name);
    return stem.empty() ? std::string("runs") : stem;
}

std::string runStem(const ExportRun& run, const std::vector<ExportRun>& runs) {
    // A club folder's run carries its PC, so two PCs' stopwatches of one name never share a file.
    const std::string name = joined(fileNamePart(run.tabName), fileNamePart(run.pc));
    const auto same = [&](const ExportRun& other) {
        return dateOf(other) == dateOf(run) && fileNamePart(other.tabName) == name;
    };
    const bool shared = std::count_if(runs.begin(), runs.end(), same) > 1;
    std::string stem = joined(dateOf(run), shared ? joined(timeOf(run), name) : name);
    // Two stopwatches of one name started in the same second: the run file's name tells them.
    if (shared && std::count_if(runs.begin(), runs.end(), [&](const ExportRun& other) {
                      return same(other) && timeOf(other) == timeOf(run);
                  }) > 1)
        stem = joined(stem, folderOf(run));
    return stem.empty() ? std::string("run") : stem;
}

std::vector<ExportFile> namedExportFiles(std::vector<ExportFile> files,
                                         const std::vector<ExportRun>& runs) {
    const std::string stem = exportStem(runs);
    std::map<std::string, std::string> perRun;
    for (const ExportRun& run : runs) perRun[tcxFileNameOf(run)] = runStem(run, runs) + ".tcx";
    for (ExportFile& file : files) {
        if (file.name == kRunsXlsxName)
            file.name = stem + ".xlsx";
        else if (file.name == kRunsCsvName)
            file.name = stem + "_runs.csv";
        else if (file.name == kLapsCsvName)
            file.name = stem + "_laps.csv";
        else if (file.name == kRunsTcxName)
            file.name = stem + ".tcx";
        else if (const auto named = perRun.find(file.name); named != perRun.end())
            file.name = named->second;
    }
    return files;
}

}  // namespace lapdex
