// How long the team day window takes to fill for 100 stopwatches that each ran one 20-lap run
// that day (and nine on other days): the index query, the table and its first paint. Prints
// milliseconds; not a test.
#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <cstdio>

#include "c_team_day_dlg.h"
#include "run_file_writer.h"

using namespace lapdex;
using namespace lapdex::ui;

namespace {

constexpr int kStopwatches = 100;
constexpr int kLaps = 20;

RunRecord run(int day, int slot) {
    RunRecord r;
    r.start = {2024, 2, day, 9, slot % 60, 0};
    std::uint32_t split = 0;
    for (int i = 1; i <= kLaps; ++i) {
        const std::uint32_t lap = 6000 + static_cast<std::uint32_t>((slot * 7 + i * 13) % 500);
        split += lap;
        r.laps.push_back({i,
                          {0, lap / 6000, lap / 100 % 60, lap % 100, 0},
                          {0, split / 6000, split / 100 % 60, split % 100, 0},
                          ""});
    }
    r.lapCount = kLaps;
    r.total = r.laps.back().split;
    r.bestLapNumber = 1;
    r.bestLap = r.averageLap = r.laps[0].lap;
    return r;
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir root;
    const std::string data = root.path().toStdString() + "/";
    FileSystem& fs = systemFileSystem();
    std::vector<RunStopwatch> stopwatches;
    for (int slot = 0; slot < kStopwatches; ++slot) {
        char folder[16], serial[16];
        std::snprintf(folder, sizeof folder, "QTM-%02d", slot + 1);
        std::snprintf(serial, sizeof serial, "0000000000%02x", slot);
        (void)fs.createFolder(data + folder);
        for (int day = 10; day < 20; ++day)
            (void)writeRunFile(fs, data, slot, serial, run(day, slot));
        stopwatches.push_back({folder, serial, "走者" + std::to_string(slot + 1), {}});
    }
    RunIndex index(fs, data, root.path().toStdString() + "/index.sqlite");
    if (!index.open() || !index.refreshAll(stopwatches)) return 1;
    RunQueryWorker queries(&index, FallbackFactory{});
    CTeamDayDlg window(queries, nullptr);
    window.show();
    constexpr int kRounds = 20;
    QElapsedTimer timer;
    timer.start();
    // Each fill is read on the query worker: a round ends when the day is shown.
    for (int i = 0; i < kRounds; ++i) {
        window.showDate(QDate(2024, 2, 14 + i % 2));
        while (window.loading()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        window.repaint();
    }
    std::printf("team day, %d stopwatches x %d laps: %.1f ms per fill (%d rows)\n", kStopwatches,
                kLaps, static_cast<double>(timer.nsecsElapsed()) / 1e6 / kRounds,
                window.model()->rowCount());
    return 0;
}
