// Writes pictures of a team day (team_day.png), of the day printed with Ctrl+P into a PDF file
// (team_day_print.pdf and its first page, team_day_print.png) and of a comparison of its runs
// (compare.png) into the folder given as the first argument, after checking that the windows show
// what the run files hold. Without more arguments the day is three stopwatches' made-up session;
// with
// `--data DIR [--date YYYY-MM-DD]` it is a real data folder's day (by default the day of its newest
// run), read through a run index of its own so the program's index is left alone. A second
// argument "ja" or "en" shows that language and names them team_day_ja.png and so on.
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QItemSelectionModel>
#include <QProcess>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <cstdio>
#include <map>
#include <set>

#include "c_team_day_dlg.h"
#include "configuration.h"
#include "picture_language.h"
#include "preview_to_pdf.h"
#include "run_file_writer.h"
#include "run_index_keeper.h"

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

// Three stopwatches' runs of 18 May 2024 in `data`; their index entries.
std::vector<RunStopwatch> madeUpSession(FileSystem& fs, const std::string& data) {
    const char* names[3] = {"佐藤", "鈴木", "高橋"};
    std::vector<RunStopwatch> stopwatches;
    for (int slot = 0; slot < 3; ++slot) {
        const std::string folder = "QTM-0" + std::to_string(slot + 1);
        const std::string serial = "0a0b0c0d0e0" + std::to_string(slot);
        (void)fs.createFolder(data + folder);
        (void)writeRunFile(
            fs, data, slot, serial,
            repeats(9, 10 * slot, 7200 + slot * 150, 20 - slot * 15, slot == 2 ? 8 : 10));
        stopwatches.push_back({folder, serial, names[slot], {}});
    }
    return stopwatches;
}

// Prints the day shown with Ctrl+P into OUT/team_day_print<suffix>.pdf, and its first page as a
// picture beside it, as the day sheet pictures are made.
bool printedPicture(CTeamDayDlg& window, const QDir& out, const QString& suffix) {
    const QString name = QStringLiteral("team_day_print") + suffix;
    const QString pdf = out.filePath(name + QStringLiteral(".pdf"));
    (void)QTest::qWaitForWindowActive(&window);
    if (!test::printPreviewToPdf([&window] { QTest::keySequence(&window, QKeySequence::Print); },
                                 pdf))
        return false;
    return QProcess::execute(QStringLiteral("pdftoppm"),
                             {QStringLiteral("-png"), QStringLiteral("-r"), QStringLiteral("60"),
                              QStringLiteral("-singlefile"), pdf, out.filePath(name)}) == 0;
}

// The day of the newest run in the index, "" without runs.
QDate newestDay(RunIndex& index) {
    const std::optional<std::vector<RunRow>> rows = index.search({});
    if (!rows || rows->empty()) return {};
    return QDate::fromString(QString::fromStdString(rows->back().run.start.substr(0, 10)),
                             Qt::ISODate);
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QString dataArgument, dateArgument;
    const bool languageGiven = argc > 2 && argv[2][0] != '-';
    const std::optional<QString> suffix =
        languageGiven ? test::pictureLanguage(argc, argv) : QString();
    bool usage = argc < 2 || !suffix;
    for (int i = languageGiven ? 3 : 2; i < argc && !usage; i += 2) {
        const std::string option = argv[i];
        if (i + 1 >= argc)
            usage = true;
        else if (option == "--data")
            dataArgument = QString::fromLocal8Bit(argv[i + 1]);
        else if (option == "--date")
            dateArgument = QString::fromLocal8Bit(argv[i + 1]);
        else
            usage = true;
    }
    if (usage || (!dateArgument.isEmpty() && dataArgument.isEmpty()))
        return fail("usage: team_day_screens <folder> [ja|en] [--data DIR [--date YYYY-MM-DD]]");
    QTemporaryDir root;
    FileSystem& fs = systemFileSystem();
    const bool ownData = !dataArgument.isEmpty();
    const std::string data =
        (ownData ? QDir(dataArgument).absolutePath() : root.path()).toStdString() + "/";
    const std::vector<RunStopwatch> stopwatches =
        ownData ? indexedStopwatches(loadConfiguration(DataFolder(fs, data), "JPN").registry)
                : madeUpSession(fs, data);
    RunIndex index(fs, data, root.path().toStdString() + "/index.sqlite");
    if (!index.open() || !index.refreshAll(stopwatches))
        return fail("the run index cannot be built");
    const QDate date = !dateArgument.isEmpty() ? QDate::fromString(dateArgument, Qt::ISODate)
                       : ownData               ? newestDay(index)
                                               : QDate(2024, 5, 18);
    if (!date.isValid()) return fail("no day with runs to show");
    RunQueryWorker queries(&index, FallbackFactory{});
    CTeamDayDlg window(queries, nullptr);
    window.show();
    window.showDate(date);
    // The day is read on the query worker: the picture waits for it.
    (void)QTest::qWaitFor([&window] { return !window.loading(); });
    const QDir out(QString::fromLocal8Bit(argv[1]));
    QDir().mkpath(out.path());
    // Each session of the day on its own (the window opens on the newest), then all of them.
    for (int session = 1; session <= static_cast<int>(window.sessions().size()); ++session) {
        window.sessionChoice()->setCurrentIndex(session);
        window.resize(1250, std::clamp(120 + 31 * window.model()->rowCount(), 240, 760));
        if (!window.grab().save(
                out.filePath(QStringLiteral("team_session_%1%2.png").arg(session).arg(*suffix))))
            return fail("the team session picture could not be written");
    }
    window.sessionChoice()->setCurrentIndex(0);
    const int rows = window.model()->rowCount();
    // Every run in the picture.
    window.resize(1250, std::clamp(120 + 31 * rows, 240, 760));
    std::set<std::string> shownStopwatches;
    for (const TeamDayRun& run : window.model()->day().runs)
        shownStopwatches.insert(run.folderName);
    if (rows < 2 || (!ownData && rows != 3)) return fail("the day's runs are not shown");
    std::printf("team day %s: %d runs of %zu stopwatches in %zu sessions\n",
                date.toString(Qt::ISODate).toUtf8().constData(), rows, shownStopwatches.size(),
                window.sessions().size());
    if (!window.grab().save(out.filePath(QStringLiteral("team_day%1.png").arg(*suffix))))
        return fail("the team day picture could not be written");
    if (!printedPicture(window, out, *suffix))
        return fail("the printed team day could not be made");
    // Like runs side by side: the lap count most runs share (the longer of equally common ones).
    std::map<std::size_t, int> runsOfLapCount;
    for (const TeamDayRun& run : window.model()->day().runs) ++runsOfLapCount[run.lapsCs.size()];
    std::size_t lapCount = 0;
    for (const auto& [laps, count] : runsOfLapCount)
        if (count >= runsOfLapCount[lapCount]) lapCount = laps;
    int compared = 0;
    for (int row = 0; row < rows && compared < CompareChart::kMaxSeries; ++row) {
        const QModelIndex index = window.sortedModel()->index(row, 0);
        const std::size_t source =
            static_cast<std::size_t>(window.sortedModel()->mapToSource(index).row());
        if (runsOfLapCount[lapCount] >= 2 &&
            window.model()->day().runs[source].lapsCs.size() != lapCount)
            continue;
        window.table()->selectionModel()->select(
            index, QItemSelectionModel::Select | QItemSelectionModel::Rows);
        ++compared;
    }
    window.compareButton()->click();
    (void)QTest::qWaitFor([&window, compared] {
        return window.compareWindow() && window.compareWindow()->chart()->series().size() ==
                                             static_cast<std::size_t>(compared);
    });
    if (!window.compareWindow() ||
        window.compareWindow()->chart()->series().size() != static_cast<std::size_t>(compared))
        return fail("the comparison does not show the selected runs");
    if (!window.compareWindow()->grab().save(
            out.filePath(QStringLiteral("compare%1.png").arg(*suffix))))
        return fail("the comparison picture could not be written");
    return 0;
}
