// The team day window: its table of laps with the fastest and slowest of each column, sorting,
// the lap/split switch, how it fills in as downloads end while it is open, and printing the day.
#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QDateEdit>
#include <QFile>
#include <QItemSelectionModel>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSortFilterProxyModel>
#include <QSpinBox>
#include <QTableView>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "bilingual_text.h"
#include "c_team_day_dlg.h"
#include "engine/message_ids.h"
#include "message_event.h"
#include "preview_to_pdf.h"
#include "run_file_writer.h"
#include "stopwatch_groups.h"

using namespace lapdex;
using namespace lapdex::ui;

namespace {

TeamDayRun dayRun(const char* tab, const char* start, std::vector<std::int64_t> laps) {
    TeamDayRun run;
    run.tabName = tab;
    run.start = start;
    std::int64_t split = 0;
    for (std::int64_t lap : laps) run.splitsCs.push_back(split += lap);
    run.lapsCs = std::move(laps);
    run.totalCs = split;
    return run;
}

// A: 60.00 62.00 61.00; B: 59.00 63.00 (two laps); C: 61.00 61.00 64.00.
TeamDay threeRuns() {
    TeamDay day;
    day.date = "2024-02-14";
    day.runs = {dayRun("A", "2024-02-14T09:00:00", {6000, 6200, 6100}),
                dayRun("B", "2024-02-14T09:05:00", {5900, 6300}),
                dayRun("C", "2024-02-14T09:10:00", {6100, 6100, 6400})};
    day.lapColumns = 3;
    return day;
}

// A Clock run of `laps` equal laps of `lapCs` hundredths started at `hour`:00 on 14 Feb 2024.
RunRecord evenRun(int hour, int laps, std::uint32_t lapCs) {
    RunRecord run;
    run.start = {2024, 2, 14, hour, 0, 0};
    for (int i = 1; i <= laps; ++i) {
        const std::uint32_t split = lapCs * static_cast<std::uint32_t>(i);
        run.laps.push_back({i,
                            {0, lapCs / 6000, lapCs / 100 % 60, lapCs % 100, 0},
                            {0, split / 6000, split / 100 % 60, split % 100, 0},
                            ""});
    }
    run.lapCount = laps;
    run.total = run.laps.back().split;
    run.bestLapNumber = 1;
    run.bestLap = run.averageLap = run.laps[0].lap;
    return run;
}

// Shows every session of `date` in `window` once its runs have come.
bool showWholeDate(CTeamDayDlg& window, QDate date) {
    window.showDate(date);
    if (!QTest::qWaitFor([&] { return !window.loading(); })) return false;
    window.sessionChoice()->setCurrentIndex(0);
    return true;
}

QStringList column(const QAbstractItemModel& model, int column) {
    QStringList texts;
    for (int row = 0; row < model.rowCount(); ++row)
        texts << model.index(row, column).data().toString();
    return texts;
}

// Two stopwatches' runs of 14 February 2024 in `data`; the path of the second in `last`.
bool writeTwoRuns(const std::string& data, std::string& last) {
    FileSystem& fs = systemFileSystem();
    for (int slot = 0; slot < 2; ++slot) {
        if (!fs.createFolder(data + "QTM-0" + std::to_string(slot + 1)).ok()) return false;
        const RunFileWriteResult written =
            writeRunFile(fs, data, slot, "00000000000" + std::to_string(slot),
                         evenRun(9 + slot, 3, 6000 + 100 * slot));
        if (written.status != RunFileWriteStatus::Written) return false;
        last = written.path;
    }
    return true;
}

// The team day window over an index of writeTwoRuns' runs, showing every session of their date.
struct TwoRunDay {
    QTemporaryDir root;
    std::string last;  // the second stopwatch's run file
    std::unique_ptr<RunIndex> index;
    std::unique_ptr<RunQueryWorker> queries;
    std::unique_ptr<CTeamDayDlg> window;

    bool open(const std::string& first, const std::string& second) {
        const std::string data = root.path().toStdString() + "/";
        if (!writeTwoRuns(data, last)) return false;
        index = std::make_unique<RunIndex>(systemFileSystem(), data,
                                           root.path().toStdString() + "/index.sqlite");
        const std::vector<RunStopwatch> stopwatches = {{"QTM-01", "000000000000", first, {}},
                                                       {"QTM-02", "000000000001", second, {}}};
        if (!index->open()) return false;
        if (!index->refreshAll(stopwatches)) return false;
        queries = std::make_unique<RunQueryWorker>(index.get(), FallbackFactory{});
        window = std::make_unique<CTeamDayDlg>(*queries, nullptr);
        window->show();
        return showWholeDate(*window, QDate(2024, 2, 14)) && window->model()->rowCount() == 2;
    }
};

}  // namespace

class TeamDayWindow : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase();
    void cleanup() { texts::setCurrentLanguage(texts::Language::Japanese); }
    void lapColumnsKeepTheirNumbers();
    void marksCompareOneSessionAtATime();
    void fastestAndSlowestOfEachColumn();
    void marksCarryTextBesideTheColour();
    void splitsSwitchTimesAndMarks();
    void sortsByAnyLapWithGapsLast();
    void fillsInAsDownloadsEnd();
    void comparesTwoToEightSelectedRuns();
    void aComparisonNamesTheRunsItCannotDraw();
    void comparisonLinesShareTheLapAxis();
    void textsFollowTheLanguage();
    void comparisonFollowsTheLanguage();
    void ctrlPPrintsTheDayShown();
};

void TeamDayWindow::initTestCase() {
    // The session gap is a per-user setting: keep the tests' choices out of the user's.
    static QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
}

void TeamDayWindow::marksCompareOneSessionAtATime() {
    QTemporaryDir root;
    const std::string data = root.path().toStdString() + "/";
    FileSystem& fs = systemFileSystem();
    // A and B run 250 s and 240 s laps in the morning; C 65 s laps in the evening.
    const struct {
        int hour;
        std::uint32_t lapCs;
    } kRuns[] = {{7, 25000}, {7, 24000}, {18, 6500}};
    std::vector<RunStopwatch> stopwatches;
    for (int slot = 0; slot < 3; ++slot) {
        const std::string folder = "QTM-0" + std::to_string(slot + 1);
        const std::string serial = "00000000000" + std::to_string(slot);
        QVERIFY(fs.createFolder(data + folder).ok());
        QVERIFY(
            writeRunFile(fs, data, slot, serial, evenRun(kRuns[slot].hour, 4, kRuns[slot].lapCs))
                .ok());
        stopwatches.push_back({folder, serial, std::string(1, static_cast<char>('A' + slot)), {}});
    }
    RunIndex index(fs, data, root.path().toStdString() + "/index.sqlite");
    QVERIFY(index.open());
    QVERIFY(index.refreshAll(stopwatches));
    // A and C are in the group "U18".
    StopwatchGroups groups;
    groups.bySerial = {{"000000000000", {"U18"}}, {"000000000002", {"U18"}}};
    QVERIFY(writeGroups(DataFolder(fs, data), groups).ok());
    RunQueryWorker queries(&index, FallbackFactory{}, data);
    CTeamDayDlg window(queries, nullptr);
    window.show();
    window.showDate(QDate(2024, 2, 14));
    QTRY_VERIFY(!window.loading());
    QCOMPARE(window.groupChoice()->count(), 2);
    // Rows: the group (0: every stopwatch), the session chosen (0: all), the gap, the sessions
    // offered; then the names shown and lap 1's marks.
    const struct {
        int group, session, gap, offered;
        QStringList names;
        QList<int> ranks;
    } kCases[] = {{0, 2, 45, 3, {"C"}, {0}},
                  {0, 1, 45, 3, {"A", "B"}, {-1, 1}},
                  {0, 0, 45, 3, {"A", "B", "C"}, {-1, 0, 1}},
                  {0, 1, 720, 2, {"A", "B", "C"}, {-1, 0, 1}},
                  {1, 1, 45, 3, {"A"}, {0}},
                  {1, 0, 45, 3, {"A", "C"}, {-1, 1}}};
    for (const auto& c : kCases) {
        window.gapChoice()->setValue(c.gap);
        window.groupChoice()->setCurrentIndex(c.group);
        window.sessionChoice()->setCurrentIndex(c.session);
        QCOMPARE(window.sessionChoice()->count(), c.offered);
        QCOMPARE(column(*window.model(), TeamDayModel::kTabName), c.names);
        QList<int> ranks;
        for (int row = 0; row < window.model()->rowCount(); ++row)
            ranks << window.model()
                         ->index(row, TeamDayModel::kFirstLap)
                         .data(TeamDayModel::kRankRole)
                         .toInt();
        QCOMPARE(ranks, c.ranks);
    }
    window.groupChoice()->setCurrentIndex(0);
    window.gapChoice()->setValue(720);
    QCOMPARE(window.sessionChoice()->itemText(1), QStringLiteral("07:00～18:04（3 件）"));
    window.gapChoice()->setValue(45);
}

void TeamDayWindow::lapColumnsKeepTheirNumbers() {
    TeamDayModel model;
    model.setDay(threeRuns());
    QCOMPARE(model.columnCount(), 8);
    QStringList headers;
    for (int c = 0; c < model.columnCount(); ++c)
        headers << model.headerData(c, Qt::Horizontal, Qt::DisplayRole).toString();
    QCOMPARE(headers, (QStringList{"名前", "開始", "1", "2", "3", "トータル", "ベスト", "平均"}));
    QCOMPARE(column(model, TeamDayModel::kStart),
             (QStringList{"09:00:00", "09:05:00", "09:10:00"}));
    // B ran two laps: its third lap cell is empty and its total stays in the total column.
    QCOMPARE(column(model, 4), (QStringList{"00:01'01\"00", "", "00:01'04\"00"}));
    QCOMPARE(column(model, model.totalColumn()),
             (QStringList{"00:03'03\"00", "00:02'02\"00", "00:03'06\"00"}));
}

void TeamDayWindow::fastestAndSlowestOfEachColumn() {
    TeamDayModel model;
    model.setDay(threeRuns());
    auto ranks = [&](int c) {
        QList<int> r;
        for (int row = 0; row < 3; ++row)
            r << model.index(row, c).data(TeamDayModel::kRankRole).toInt();
        return r;
    };
    // Runs compare only with runs of the same lap count: B's two laps stand alone.
    QCOMPARE(ranks(2), (QList<int>{1, 0, -1}));  // lap 1: A fastest, C slowest
    QCOMPARE(ranks(3), (QList<int>{-1, 0, 1}));  // lap 2: C fastest, A slowest
    QCOMPARE(ranks(4), (QList<int>{1, 0, -1}));  // lap 3: B has none
    QCOMPARE(ranks(model.totalColumn()), (QList<int>{1, 0, -1}));
    QVERIFY(model.index(0, 2).data(Qt::BackgroundRole).isValid());
    QVERIFY(!model.index(1, 2).data(Qt::BackgroundRole).isValid());
    QCOMPARE(model.index(2, 2).data(Qt::ToolTipRole).toString(), QStringLiteral("最遅"));
    // A run whose times cannot be read gets no marks.
    TeamDay unreadable = threeRuns();
    unreadable.runs[0].totalCs = -1;
    unreadable.runs[0].lapsCs[0] = -1;
    model.setDay(unreadable);
    QCOMPARE(model.index(0, model.totalColumn()).data(TeamDayModel::kRankRole).toInt(), 0);
    QCOMPARE(model.index(0, 2).data(TeamDayModel::kRankRole).toInt(), 0);
    QCOMPARE(model.index(0, 2).data().toString(), QString());
    // One run alone has nothing to be compared with.
    TeamDay alone;
    alone.runs = {dayRun("A", "2024-02-14T09:00:00", {6000})};
    alone.lapColumns = 1;
    model.setDay(alone);
    QCOMPARE(model.index(0, 2).data(TeamDayModel::kRankRole).toInt(), 0);
}

// Each mark is a colour, a symbol in the cell, a description a screen reader reads from the
// window's own table, and a legend, in the language shown.
void TeamDayWindow::marksCarryTextBesideTheColour() {
    const struct {
        texts::Language language;
        QString fastest, slowest;
    } kCases[] = {{texts::Language::Japanese, "最速", "最遅"},
                  {texts::Language::English, "fastest", "slowest"}};
    RunQueryWorker none(nullptr, FallbackFactory{});
    CTeamDayDlg window(none, nullptr);
    window.show();
    QTRY_VERIFY(!window.loading());
    window.model()->setDay(threeRuns());
    for (const auto& c : kCases) {
        texts::setCurrentLanguage(c.language);
        QEvent change(QEvent::LanguageChange);
        QCoreApplication::sendEvent(&window, &change);
        QAccessibleTableInterface* table =
            QAccessible::queryAccessibleInterface(window.table())->tableInterface();
        QVERIFY(table);
        QCOMPARE(table->rowCount(), 3);
        int marks = 0;
        for (int row = 0; row < 3; ++row) {
            for (int column = TeamDayModel::kFirstLap; column <= window.model()->totalColumn();
                 ++column) {
                const QModelIndex at = window.sortedModel()->index(row, column);
                const int rank = at.data(TeamDayModel::kRankRole).toInt();
                const QString text = at.data().toString();
                const QString read = table->cellAt(row, column)->text(QAccessible::Description);
                QCOMPARE(read, rank > 0 ? c.fastest : rank < 0 ? c.slowest : QString());
                QCOMPARE(text.startsWith(kFastestSymbol), rank > 0);
                QCOMPARE(text.startsWith(kSlowestSymbol), rank < 0);
                marks += rank != 0;
            }
        }
        QCOMPARE(marks, 8);  // two per column of three lap columns and the total
        const QString legend = window.legend()->text();
        for (const QString& part :
             {QString(kFastestSymbol) + " " + c.fastest, QString(kSlowestSymbol) + " " + c.slowest})
            QVERIFY2(legend.contains(part), qPrintable(legend));
    }
}

void TeamDayWindow::splitsSwitchTimesAndMarks() {
    RunQueryWorker none(nullptr, FallbackFactory{});
    CTeamDayDlg window(none, nullptr);
    // Neither an index nor a folder scan: the window says so rather than preparing for ever.
    QTRY_COMPARE(window.status()->text(), QStringLiteral("走行を読めません"));
    window.model()->setDay(threeRuns());
    window.splitsButton()->click();
    QCOMPARE(window.model()->times(), TeamDayModel::Times::Splits);
    QCOMPARE(column(*window.model(), 3),
             (QStringList{"00:02'02\"00", "00:02'02\"00", "00:02'02\"00"}));
    // Equal splits everywhere: no fastest, no slowest.
    QCOMPARE(window.model()->index(0, 3).data(TeamDayModel::kRankRole).toInt(), 0);
    QCOMPARE(window.model()->index(2, 4).data(TeamDayModel::kRankRole).toInt(), -1);
    window.lapsButton()->click();
    QCOMPARE(window.model()->index(0, 3).data().toString(), QStringLiteral("00:01'02\"00"));
}

void TeamDayWindow::sortsByAnyLapWithGapsLast() {
    RunQueryWorker none(nullptr, FallbackFactory{});
    CTeamDayDlg window(none, nullptr);
    QTRY_VERIFY(!window.loading());
    window.model()->setDay(threeRuns());
    QSortFilterProxyModel* sorted = window.sortedModel();
    QCOMPARE(column(*sorted, TeamDayModel::kTabName), (QStringList{"A", "B", "C"}));
    sorted->sort(3, Qt::AscendingOrder);
    QCOMPARE(column(*sorted, TeamDayModel::kTabName), (QStringList{"C", "A", "B"}));
    sorted->sort(4, Qt::AscendingOrder);
    QCOMPARE(column(*sorted, TeamDayModel::kTabName), (QStringList{"A", "C", "B"}));
    sorted->sort(4, Qt::DescendingOrder);
    QCOMPARE(column(*sorted, TeamDayModel::kTabName), (QStringList{"C", "A", "B"}));
    sorted->sort(window.model()->totalColumn(), Qt::DescendingOrder);
    QCOMPARE(column(*sorted, TeamDayModel::kTabName), (QStringList{"C", "A", "B"}));
    sorted->sort(TeamDayModel::kTabName, Qt::DescendingOrder);
    QCOMPARE(column(*sorted, TeamDayModel::kTabName), (QStringList{"C", "B", "A"}));
}

void TeamDayWindow::fillsInAsDownloadsEnd() {
    QTemporaryDir root;
    const std::string data = root.path().toStdString() + "/";
    FileSystem& fs = systemFileSystem();
    QVERIFY(fs.createFolder(data + "QTM-01").ok());
    QVERIFY(fs.createFolder(data + "QTM-02").ok());
    RunIndex index(fs, data, root.path().toStdString() + "/index.sqlite");
    QVERIFY(index.open());
    QVERIFY(writeRunFile(fs, data, 0, "0123456789ab", evenRun(9, 4, 6000)).status ==
            RunFileWriteStatus::Written);
    QVERIFY(index.refreshAll(
        {{"QTM-01", "0123456789ab", "走者A", {}}, {"QTM-02", "00000000beef", "走者B", {}}}));
    QObject page;
    RunQueryWorker queries(&index, FallbackFactory{});
    CTeamDayDlg window(queries, nullptr);
    window.followPage(&page);
    window.show();
    window.showDate(QDate(2024, 2, 14));
    QTRY_COMPARE(window.status()->text(), QStringLiteral("1 件"));
    QCOMPARE(window.model()->rowCount(), 1);
    // The second stopwatch is laid on and downloaded: its run appears without a click.
    QVERIFY(writeRunFile(fs, data, 1, "00000000beef", evenRun(10, 6, 5900)).status ==
            RunFileWriteStatus::Written);
    index.folderWritten("QTM-02");
    MessageEvent downloaded(PAGE_DATA_CHANGED);
    QCoreApplication::sendEvent(&page, &downloaded);
    // Its run began an hour after the first ended: a session of its own, which the window follows.
    QTRY_COMPARE(window.sessions().size(), std::size_t{2});
    QCOMPARE(column(*window.model(), TeamDayModel::kTabName), (QStringList{"走者B"}));
    QCOMPARE(window.model()->columnCount(), 2 + 6 + 3);
    window.sessionChoice()->setCurrentIndex(0);
    QCOMPARE(column(*window.model(), TeamDayModel::kTabName), (QStringList{"走者A", "走者B"}));
    // Another day shows nothing of these.
    window.showDate(QDate(2024, 2, 15));
    QTRY_COMPARE(window.status()->text(), QStringLiteral("0 件"));
    QCOMPARE(window.model()->rowCount(), 0);
}

void TeamDayWindow::comparesTwoToEightSelectedRuns() {
    QTemporaryDir root;
    const std::string data = root.path().toStdString() + "/";
    FileSystem& fs = systemFileSystem();
    std::vector<RunStopwatch> stopwatches;
    for (int slot = 0; slot < 9; ++slot) {
        const std::string folder = "QTM-0" + std::to_string(slot + 1);
        const std::string serial = "00000000000" + std::to_string(slot);
        QVERIFY(fs.createFolder(data + folder).ok());
        QVERIFY(
            writeRunFile(fs, data, slot, serial, evenRun(9 + slot, 3 + slot, 6000 + slot)).status ==
            RunFileWriteStatus::Written);
        stopwatches.push_back({folder, serial, "走者" + std::to_string(slot + 1), {}});
    }
    RunIndex index(fs, data, root.path().toStdString() + "/index.sqlite");
    QVERIFY(index.open());
    QVERIFY(index.refreshAll(stopwatches));
    RunQueryWorker queries(&index, FallbackFactory{});
    CTeamDayDlg window(queries, nullptr);
    window.show();
    QVERIFY(showWholeDate(window, QDate(2024, 2, 14)));
    QCOMPARE(window.model()->rowCount(), 9);
    QItemSelectionModel* selection = window.table()->selectionModel();
    auto selectRows = [&](QList<int> rows) {
        selection->clearSelection();
        for (int row : rows)
            selection->select(window.sortedModel()->index(row, 0),
                              QItemSelectionModel::Select | QItemSelectionModel::Rows);
    };
    const struct {
        QList<int> rows;
        bool enabled;
    } kCases[] = {{{0}, false},
                  {{0, 2}, true},
                  {{0, 1, 2, 3, 4, 5, 6, 7}, true},
                  {{0, 1, 2, 3, 4, 5, 6, 7, 8}, false}};
    for (const auto& c : kCases) {
        selectRows(c.rows);
        QCOMPARE(window.compareButton()->isEnabled(), c.enabled);
    }
    selectRows({2, 0});
    window.compareButton()->click();
    QVERIFY(window.compareWindow());
    QVERIFY(window.compareWindow()->isVisible());
    const std::vector<CompareSeries>& series = window.compareWindow()->chart()->series();
    QTRY_COMPARE(series.size(), std::size_t{2});
    QVERIFY(window.compareWindow()->missedNote()->isHidden());
    QCOMPARE(series[0].name, QStringLiteral("走者1  2024/02/14 09:00:00"));
    QCOMPARE(series[1].name, QStringLiteral("走者3  2024/02/14 11:00:00"));
    QCOMPARE(series[0].lapsCs, (std::vector<std::int64_t>{6000, 6000, 6000}));
    QCOMPARE(series[1].lapsCs.size(), std::size_t{5});
    QCOMPARE(series[1].lapsCs[0], std::int64_t{6002});
    // The numbers beside the lines: a column per run, a row per lap, the totals last.
    QTableWidget* table = window.compareWindow()->table();
    QCOMPARE(table->columnCount(), 2);
    QCOMPARE(table->rowCount(), 6);
    QCOMPARE(table->horizontalHeaderItem(1)->text(), series[1].name);
    QCOMPARE(table->verticalHeaderItem(5)->text(), QStringLiteral("トータル"));
    QCOMPARE(table->item(0, 1)->text(), QStringLiteral("00:01'00\"02"));
    QVERIFY(!table->item(3, 0));  // the first run has three laps only
    QCOMPARE(table->item(5, 0)->text(), QStringLiteral("00:03'00\"00"));
}

// A run deleted after it was listed is not drawn, and the window says which and why.
void TeamDayWindow::aComparisonNamesTheRunsItCannotDraw() {
    TwoRunDay day;
    QVERIFY(day.open("走者1", "走者2"));
    CTeamDayDlg& window = *day.window;
    const std::string& gone = day.last;
    for (int row = 0; row < 2; ++row)
        window.table()->selectionModel()->select(
            window.sortedModel()->index(row, 0),
            QItemSelectionModel::Select | QItemSelectionModel::Rows);
    QVERIFY(QFile::remove(QString::fromStdString(gone)));
    window.compareButton()->click();
    QLabel* note = window.compareWindow()->missedNote();
    QTRY_VERIFY(!note->isHidden());
    QCOMPARE(window.compareWindow()->chart()->series().size(), std::size_t{1});
    const QString name = QString::fromStdString(gone.substr(gone.rfind('/') + 1));
    QCOMPARE(note->text(), QStringLiteral("次の走行は読めないため比べていません:\nQTM-02/") + name +
                               QStringLiteral(": 消えていました (no such run)"));
}

void TeamDayWindow::comparisonLinesShareTheLapAxis() {
    CompareChart chart;
    chart.resize(720, 360);
    std::vector<CompareSeries> series;
    for (int i = 0; i < 9; ++i)
        series.push_back({QString::number(i), {6000 + i * 10, 6100, -1, 5900}});
    chart.setSeries(series);
    QCOMPARE(chart.series().size(), std::size_t{8});
    QCOMPARE(chart.lapColumns(), 4);
    QCOMPARE(chart.pointOf(0, 1).x(), chart.pointOf(7, 1).x());
    QVERIFY(chart.pointOf(0, 0).x() < chart.pointOf(0, 1).x());
    // Slower laps stand higher: a larger time, a smaller y.
    QVERIFY(chart.pointOf(0, 1).y() < chart.pointOf(0, 3).y());
    QVERIFY(chart.pointOf(7, 0).y() < chart.pointOf(0, 0).y());
    QVERIFY(chart.plotArea().contains(chart.pointOf(0, 3).toPoint()));
    QVERIFY(chart.plotArea().contains(chart.pointOf(0, 1).toPoint()));
    QImage image(chart.size(), QImage::Format_ARGB32);
    chart.render(&image);
    QVERIFY(CompareChart::colourOf(0) != CompareChart::colourOf(7));
}

void TeamDayWindow::textsFollowTheLanguage() {
    TwoRunDay day;
    QVERIFY(day.open("走者1", "走者2"));
    CTeamDayDlg& window = *day.window;
    QCOMPARE(window.status()->text(), QStringLiteral("2 件"));
    for (int row = 0; row < 2; ++row)
        window.table()->selectionModel()->select(
            window.sortedModel()->index(row, 0),
            QItemSelectionModel::Select | QItemSelectionModel::Rows);
    window.compareButton()->click();
    QVERIFY(window.compareWindow());
    // What each window shows, read from its widgets and from the table's own header.
    auto shown = [&] {
        QString dateLabel;
        for (const QLabel* label : window.findChildren<QLabel*>())
            if (qobject_cast<QDateEdit*>(label->buddy())) dateLabel = label->text();
        QAbstractItemModel* table = window.table()->model();
        const TeamDayModel& model = *window.model();
        return QStringList{window.windowTitle(),
                           dateLabel,
                           window.status()->text(),
                           window.lapsButton()->text(),
                           window.splitsButton()->text(),
                           window.compareButton()->text(),
                           table->headerData(TeamDayModel::kTabName, Qt::Horizontal).toString(),
                           table->headerData(model.totalColumn(), Qt::Horizontal).toString(),
                           model.index(0, TeamDayModel::kFirstLap).data(Qt::ToolTipRole).toString(),
                           window.compareWindow()->windowTitle()};
    };
    const QStringList japanese{
        "チームの一日",           "日付(&D)", "2 件",     "ラップ(&L)", "スプリット(&S)",
        "選択した走行を比較(&C)", "名前",     "トータル", "最速",       "走行の比較"};
    const QStringList english{
        "Team day", "&Date", "Runs: 2", "&Laps",       "&Splits", "&Compare selected runs",
        "Name",     "Total", "fastest", "Compare runs"};
    QCOMPARE(shown(), japanese);
    QSignalSpy headers(window.model(), &QAbstractItemModel::headerDataChanged);
    for (texts::Language language : {texts::Language::English, texts::Language::Japanese}) {
        texts::setCurrentLanguage(language);
        QEvent change(QEvent::LanguageChange);
        // As the language switch sends it: to every top-level window, the comparison among them.
        for (QWidget* top : QApplication::topLevelWidgets())
            QCoreApplication::sendEvent(top, &change);
        QCOMPARE(shown(), language == texts::Language::English ? english : japanese);
    }
    QCOMPARE(headers.count(), 2);
    texts::setCurrentLanguage(texts::Language::Japanese);
}

void TeamDayWindow::comparisonFollowsTheLanguage() {
    CCompareDlg window(nullptr);
    window.setSeries({{QStringLiteral("A"), {6000, 6100}}, {QStringLiteral("B"), {5900, 6200}}});
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const struct {
        texts::Language language;
        const char* title;
    } kCases[] = {{texts::Language::English, "Compare runs"},
                  {texts::Language::Japanese, "走行の比較"}};
    for (const auto& c : kCases) {
        texts::setCurrentLanguage(c.language);
        QEvent change(QEvent::LanguageChange);
        QCoreApplication::sendEvent(&window, &change);
        QCOMPARE(window.windowTitle(), QString::fromUtf8(c.title));
    }
    texts::setCurrentLanguage(texts::Language::Japanese);
}

// Ctrl+P opens the print preview of the day shown; printed to a PDF file instead of a printer, the
// sheet holds every run's name and total as the window shows them, under the day's date.
void TeamDayWindow::ctrlPPrintsTheDayShown() {
    TwoRunDay day;
    QVERIFY(day.open("走者A", "Runner B"));
    CTeamDayDlg& window = *day.window;
    QTemporaryDir& root = day.root;
    QVERIFY(QTest::qWaitForWindowActive(&window));
    const QString pdf = root.filePath(QStringLiteral("day.pdf"));
    QVERIFY(test::printPreviewToPdf([&window] { QTest::keySequence(&window, QKeySequence::Print); },
                                    pdf));
    QProcess pdftotext;
    pdftotext.start(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
    QVERIFY(pdftotext.waitForFinished());
    const QString text = QString::fromUtf8(pdftotext.readAllStandardOutput());
    QVERIFY2(text.contains(QStringLiteral("2024/02/14")), qPrintable(text));
    const QStringList names = column(*window.model(), TeamDayModel::kTabName);
    const QStringList totals = column(*window.model(), window.model()->totalColumn());
    QCOMPARE(names, (QStringList{"走者A", "Runner B"}));
    for (const QString& shown : names + totals) QVERIFY2(text.contains(shown), qPrintable(shown));
}

QTEST_MAIN(TeamDayWindow)
#include "test_team_day.moc"
