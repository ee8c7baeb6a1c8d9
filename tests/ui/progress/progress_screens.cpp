// Pictures of the progress window and its squad view for review: build/screens/progress*.png and
// squad*.png, from a data folder (the demo's) or from a made-up season.
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>

#include "c_progress_dlg.h"
#include "configuration.h"
#include "folder_scan_source.h"
#include "picture_language.h"
#include "run_file_writer.h"

using namespace lapdex;
using namespace lapdex::ui;

namespace {

int fail(const char* what) {
    std::fprintf(stderr, "progress_screens: %s\n", what);
    return 1;
}

// Eight weeks of 4 × 400 m for two stopwatches, a little faster most weeks.
bool madeUpSeason(FileSystem& fs, const std::string& data) {
    Configuration config;
    if (!saveConfiguration(DataFolder(fs, data), config).ok()) return false;
    const char* serials[] = {"0a0b0c0d0e00", "0a0b0c0d0e01"};
    for (const char* serial : serials)
        if (addStopwatch(config, DataFolder(fs, data), serial, nullptr) < 0) return false;
    for (int slot = 0; slot < 2; ++slot) {
        for (int week = 0; week < 8; ++week) {
            RunRecord run;
            const QDate day = QDate(2024, 9, 2).addDays(7 * week + slot);
            run.start = {day.year(), day.month(), day.day(), 7, 0, 0};
            std::uint32_t split = 0;
            for (int i = 1; i <= 4; ++i) {
                const auto lap = static_cast<std::uint32_t>(7400 + slot * 300 - week * 40 +
                                                            (week * 53 + i * 37) % 160);
                split += lap;
                run.laps.push_back({i,
                                    {0, lap / 6000, lap / 100 % 60, lap % 100, 0},
                                    {0, split / 6000, split / 100 % 60, split % 100, 0},
                                    ""});
            }
            run.lapCount = 4;
            run.total = run.laps.back().split;
            run.bestLapNumber = 1;
            run.bestLap = run.averageLap = run.laps[0].lap;
            if (!writeRunFile(fs, data, slot, serials[slot], run).ok()) return false;
        }
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const bool languageGiven = argc > 2 && argv[2][0] != '-';
    const std::optional<QString> suffix =
        languageGiven ? test::pictureLanguage(argc, argv) : QString();
    const int options = languageGiven ? 3 : 2;
    const bool withData = argc == options + 2 && std::string(argv[options]) == "--data";
    if (argc < 2 || !suffix || (argc != options && !withData))
        return fail("usage: progress_screens <folder> [ja|en] [--data DIR]");
    QTemporaryDir root;
    FileSystem& fs = systemFileSystem();
    const std::string data =
        (withData ? QDir(QString::fromLocal8Bit(argv[options + 1])).absolutePath() : root.path())
            .toStdString() +
        "/";
    if (!withData && !madeUpSeason(fs, data)) return fail("the made-up season cannot be written");
    RunQueryWorker queries(nullptr, [&fs, data] { return makeFolderScanSource(fs, data); });
    CProgressDlg window(queries, nullptr);
    window.rangeChoice()->setCurrentIndex(static_cast<int>(ProgressRange::All));
    window.resize(1000, 560);
    window.show();
    window.showStopwatch("QTM-01");
    (void)QTest::qWaitFor([&window] { return !window.loading(); });
    if (window.shown().progress.runs.empty()) return fail("the stopwatch's runs are not shown");
    std::printf("progress of %s: %zu runs of %d laps\n",
                window.shown().progress.stopwatch.tabName.c_str(),
                window.shown().progress.runs.size(), window.shown().progress.lapCount);
    const QDir out(QString::fromLocal8Bit(argv[1]));
    QDir().mkpath(out.path());
    if (!window.grab().save(out.filePath(QStringLiteral("progress%1.png").arg(*suffix))))
        return fail("the progress picture could not be written");
    window.findChild<QTabWidget*>()->setCurrentIndex(1);
    if (!window.grab().save(out.filePath(QStringLiteral("squad%1.png").arg(*suffix))))
        return fail("the squad picture could not be written");
    return 0;
}
