// Writes pictures of the team day of three stopwatches (team_day.png) and of a comparison of
// their runs (compare.png) into the folder given as the first argument, after checking that the
// windows show what the run files hold; a second argument "ja" or "en" shows that language and
// names them team_day_ja.png and so on.
#include <QApplication>
#include <QDir>
#include <QItemSelectionModel>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QTemporaryDir>
#include <cstdio>

#include "c_team_day_dlg.h"
#include "picture_language.h"
#include "run_file_writer.h"

using namespace lapdex;
using namespace lapdex::ui;

namespace {

int fail(const char* what) {
    std::fprintf(stderr, "team_day_screens: %s\n", what);
    return 1;
}

// A run of 10 × 400 m whose laps drift by `drift` hundredths per lap from `firstCs`.
RunRecord repeats(int hour, int minute, std::uint32_t firstCs, int drift, int laps) {
    RunRecord run;
    run.start = {2024, 5, 18, hour, minute, 0};
    std::uint32_t split = 0;
    for (int i = 1; i <= laps; ++i) {
        const std::uint32_t lap =
            firstCs + static_cast<std::uint32_t>(drift * (i - 1) + (i * 37) % 90);
        split += lap;
        run.laps.push_back({i,
                            {0, lap / 6000, lap / 100 % 60, lap % 100, 0},
                            {0, split / 6000 % 60, split / 100 % 60, split % 100, 0},
                            ""});
    }
    run.lapCount = laps;
    run.total = run.laps.back().split;
    run.bestLapNumber = 1;
    run.bestLap = run.averageLap = run.laps[0].lap;
    return run;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const std::optional<QString> suffix = test::pictureLanguage(argc, argv);
    if (argc < 2 || !suffix) return fail("usage: team_day_screens <folder> [ja|en]");
    QTemporaryDir root;
    const std::string data = root.path().toStdString() + "/";
    FileSystem& fs = systemFileSystem();
    const char* names[3] = {"佐藤", "鈴木", "高橋"};
    std::vector<IndexedStopwatch> stopwatches;
    for (int slot = 0; slot < 3; ++slot) {
        const std::string folder = "QTM-0" + std::to_string(slot + 1);
        const std::string serial = "0a0b0c0d0e0" + std::to_string(slot);
        (void)fs.createFolder(data + folder);
        (void)writeRunFile(
            fs, data, slot, serial,
            repeats(9, 10 * slot, 7200 + slot * 150, 20 - slot * 15, slot == 2 ? 8 : 10));
        stopwatches.push_back({folder, serial, names[slot]});
    }
    RunIndex index(fs, data, root.path().toStdString() + "/index.sqlite");
    if (!index.open() || !index.refreshAll(stopwatches))
        return fail("the run index cannot be built");
    CTeamDayDlg window(&index, nullptr);
    window.resize(1250, 240);
    window.show();
    window.showDate(QDate(2024, 5, 18));
    if (window.model()->rowCount() != 3) return fail("the day's three runs are not shown");
    const QDir out(QString::fromLocal8Bit(argv[1]));
    QDir().mkpath(out.path());
    if (!window.grab().save(out.filePath(QStringLiteral("team_day%1.png").arg(*suffix))))
        return fail("the team day picture could not be written");
    for (int row = 0; row < 3; ++row)
        window.table()->selectionModel()->select(
            window.sortedModel()->index(row, 0),
            QItemSelectionModel::Select | QItemSelectionModel::Rows);
    window.compareButton()->click();
    if (!window.compareWindow() || window.compareWindow()->chart()->series().size() != 3)
        return fail("the comparison does not show the three runs");
    if (!window.compareWindow()->grab().save(
            out.filePath(QStringLiteral("compare%1.png").arg(*suffix))))
        return fail("the comparison picture could not be written");
    return 0;
}
