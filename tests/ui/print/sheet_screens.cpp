// Pictures of the run sheet and the day sheet for review: OUTDIR/run_sheet.pdf, day_sheet.pdf and
// their first pages as PNG (pdftoppm).
//   sheet_screens [--data DATAFOLDER] OUTDIR
// With --data the sheets show that data folder's runs: the day with the most runs, as the team
// day, and its run with the most laps; without it, the export tests' runs.
#include <QApplication>
#include <QDir>
#include <QProcess>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>

#include "configuration.h"
#include "data_folder.h"
#include "export_fixture.h"
#include "print_texts.h"
#include "run_index_keeper.h"
#include "sheets.h"

namespace {

struct Sheets {
    lapdex::ExportRun run;
    QString dayTitle;
    lapdex::TeamDay day;
};

Sheets exampleSheets() {
    const std::vector<lapdex::ExportRun> runs = lapdex::testing::exampleRuns();
    std::vector<lapdex::ExportRun> day;
    for (int i = 0; i < 40; ++i) day.push_back(runs[static_cast<std::size_t>(i % 2)]);
    return {runs[0], QStringLiteral("2024/01/31"), lapdex::ui::teamDayOf(day)};
}

// The busiest day of the data folder and its run with the most laps; nullopt (with the reason on
// stderr) when the folder or its run index cannot be read or holds no run.
std::optional<Sheets> dataSheets(const std::string& folder) {
    lapdex::FileSystem& fs = lapdex::systemFileSystem();
    const lapdex::DataFolder data(fs, fs.canonicalPath(folder));
    if (fs.kindOf(data.configurationFile()) != lapdex::EntryKind::File) {
        std::fprintf(stderr, "sheet_screens: %s is no data folder (no Lapdex.dat)\n",
                     folder.c_str());
        return std::nullopt;
    }
    const lapdex::Configuration config = lapdex::loadConfiguration(data, "ENG");
    const auto index = lapdex::makeRunIndex(data, lapdex::processEnvironment());
    if (!index || !index->open() ||
        !index->refreshAll(lapdex::indexedStopwatches(config.registry))) {
        std::fprintf(stderr, "sheet_screens: the run index of %s cannot be read\n", folder.c_str());
        return std::nullopt;
    }
    const auto rows = index->search({});
    if (!rows || rows->empty()) {
        std::fprintf(stderr, "sheet_screens: %s holds no runs\n", folder.c_str());
        return std::nullopt;
    }
    std::map<std::string, int> runsOfDay;
    for (const lapdex::RunRow& row : *rows) ++runsOfDay[row.run.start.substr(0, 10)];
    const std::string date =
        std::max_element(runsOfDay.begin(), runsOfDay.end(), [](auto& a, auto& b) {
            return a.second < b.second;
        })->first;
    std::optional<lapdex::TeamDay> day = lapdex::loadTeamDay(*index, date);
    std::vector<lapdex::RunRow> ofDay;
    for (const lapdex::RunRow& row : *rows)
        if (row.run.start.rfind(date, 0) == 0) ofDay.push_back(row);
    const auto runs = lapdex::collectExportRuns(*index, ofDay);
    if (!day || !runs || runs->empty()) {
        std::fprintf(stderr, "sheet_screens: the runs of %s cannot be read\n", date.c_str());
        return std::nullopt;
    }
    const auto most = std::max_element(runs->begin(), runs->end(), [](auto& a, auto& b) {
        return a.run.laps.size() < b.run.laps.size();
    });
    return Sheets{*most, QString::fromStdString(date).replace(u'-', u'/'), std::move(*day)};
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const char* dataFolder = nullptr;
    const char* outFolder = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--data") == 0 && i + 1 < argc)
            dataFolder = argv[++i];
        else
            outFolder = argv[i];
    }
    if (!outFolder) {
        std::fprintf(stderr, "usage: sheet_screens [--data DATAFOLDER] OUTDIR\n");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(outFolder));
    if (!QDir().mkpath(out.path())) return 1;
    const std::optional<Sheets> chosen = dataFolder ? dataSheets(dataFolder) : exampleSheets();
    if (!chosen) return 1;
    const QString dayTitle =
        lapdex::ui::localized(lapdex::ui::print_text::kDayTitle).arg(chosen->dayTitle);
    const struct {
        QString name;
        lapdex::ui::Sheet sheet;
    } sheets[] = {
        {QStringLiteral("run_sheet"), lapdex::ui::runSheet(chosen->run)},
        {QStringLiteral("day_sheet"), lapdex::ui::daySheet(dayTitle, chosen->day)},
    };
    for (const auto& sheet : sheets) {
        const QString pdf = out.filePath(sheet.name + ".pdf");
        if (!lapdex::ui::writeSheetPdf(sheet.sheet, pdf)) return 1;
        // One picture of the first page, as a reviewer sees it.
        if (QProcess::execute(QStringLiteral("pdftoppm"),
                              {QStringLiteral("-png"), QStringLiteral("-r"), QStringLiteral("60"),
                               QStringLiteral("-singlefile"), pdf, out.filePath(sheet.name)}) != 0)
            return 1;
    }
    return 0;
}
