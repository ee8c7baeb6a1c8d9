// The progress window over a real run index: what it shows equals what a folder scan gives, a
// run opens on Enter, and its texts follow the language.
#include <QComboBox>
#include <QLabel>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

#include "bilingual_text.h"
#include "c_progress_dlg.h"
#include "configuration.h"
#include "folder_run_source.h"
#include "progress_chart.h"
#include "run_file_fixture.h"
#include "run_file_writer.h"
#include "stopwatch_groups.h"

using namespace lapdex;
using namespace lapdex::ui;

namespace {

// Two stopwatches' runs over three months, mostly of four laps; a few of two.
bool writeSeason(FileSystem& fs, const std::string& data) {
    Configuration config;
    if (!saveConfiguration(DataFolder(fs, data), config).ok()) return false;
    const char* serials[] = {"a00000000001", "a00000000002"};
    for (const char* serial : serials)
        if (addStopwatch(config, DataFolder(fs, data), serial, nullptr) < 0) return false;
    const struct {
        int slot, month, day, laps;
        std::uint32_t lapCs;
    } kRuns[] = {{0, 10, 1, 4, 6500}, {0, 10, 8, 4, 6400},  {0, 10, 9, 2, 3000},
                 {0, 11, 2, 4, 6450}, {0, 11, 20, 4, 6300}, {0, 12, 1, 4, 6350},
                 {1, 10, 3, 4, 7000}, {1, 12, 2, 4, 6900}};
    for (const auto& r : kRuns)
        if (!writeRunFile(fs, data, r.slot, serials[r.slot],
                          testing::steadyRun({2026, r.month, r.day, 7, 0, 0}, r.laps, r.lapCs))
                 .ok())
            return false;
    return true;
}

}  // namespace

class ProgressWindow : public QObject {
    Q_OBJECT
  private slots:
    void showsWhatAScanGives();
};

void ProgressWindow::showsWhatAScanGives() {
    QTemporaryDir root;
    const std::string data = root.path().toStdString() + "/";
    FileSystem& fs = systemFileSystem();
    QVERIFY(writeSeason(fs, data));
    FolderRunSource scan(DataFolder(fs, data));
    const std::optional<std::vector<RunStopwatch>> stopwatches = scan.registeredStopwatches();
    QVERIFY(stopwatches && stopwatches->size() == 2);
    RunIndex index(fs, data, root.path().toStdString() + "/index.sqlite");
    QVERIFY(index.open());
    QVERIFY(index.refreshAll(*stopwatches));
    StopwatchGroups groups;
    groups.bySerial["a00000000002"] = {"U18"};
    QVERIFY(writeGroups(DataFolder(fs, data), groups).ok());
    RunQueryWorker queries(&index, FallbackFactory{}, data);
    CProgressDlg window(queries, nullptr);
    window.rangeChoice()->setCurrentIndex(static_cast<int>(ProgressRange::All));
    window.show();
    // Rows: the stopwatch asked for, the lap count chosen (0: its usual one).
    const struct {
        const char* folder;
        int laps;
    } kCases[] = {{"QTM-01", 0}, {"QTM-01", 2}, {"QTM-02", 0}, {"QTM-02", 2}};
    for (const auto& c : kCases) {
        window.showStopwatch(c.folder);
        window.lapChoice()->setValue(c.laps);
        QTRY_VERIFY(!window.loading());
        const SourceAnswer<Progress> expected = loadProgress(scan, {c.folder, c.laps, "", ""});
        QVERIFY(expected.complete());
        QCOMPARE(window.shown().progress, *expected.value);
        QCOMPARE(window.chart()->runs(), expected.value->runs);
        QCOMPARE(window.table()->rowCount(), static_cast<int>(expected.value->runs.size()));
        RunQuery squadQuery;
        squadQuery.lapCount = expected.value->lapCount;
        const RunListing squadRuns = scan.listRuns(squadQuery);
        QCOMPARE(window.shown().squad, squadOf(*stopwatches, squadRuns.rows, squadQuery.lapCount));
        QCOMPARE(window.squad()->columnCount(),
                 static_cast<int>(window.shown().squad.months.size()));
        QCOMPARE(window.stopwatchChoice()->currentData().toString(), QString(c.folder));
    }
    // The squad of one group: its stopwatches only.
    window.groupChoice()->setCurrentIndex(1);
    QTRY_VERIFY(!window.loading());
    RunQuery sameLaps;
    sameLaps.lapCount = window.shown().progress.lapCount;
    QCOMPARE(window.shown().squad,
             squadOf({(*stopwatches)[1]}, scan.listRuns(sameLaps).rows, sameLaps.lapCount));
    QCOMPARE(window.squad()->rowCount(), 1);
    window.groupChoice()->setCurrentIndex(0);
    // Enter on a row of the table opens that run; the chart follows the table's choice.
    window.showStopwatch("QTM-01");
    QTRY_VERIFY(!window.loading());
    QSignalSpy opened(&window, &CProgressDlg::runActivated);
    window.table()->setFocus();
    window.table()->selectRow(3);
    QCOMPARE(window.chart()->selected(), 3);
    QTest::keyClick(window.table(), Qt::Key_Return);
    QCOMPARE(opened.count(), 1);
    const RunRow run = opened.at(0).at(0).value<RunRow>();
    QCOMPARE(run.fileName, window.shown().progress.runs[3].fileName);
    QCOMPARE(run.folderName, std::string("QTM-01"));
    QVERIFY(window.chart()->describe(3).contains(QStringLiteral("2026/11/20")));
    // The texts follow the language.
    const struct {
        texts::Language language;
        const char* title;
        const char* tab;
        const char* status;
    } kTexts[] = {{texts::Language::English, "Progress", "Runs", "Runs: 5 (4 laps)"},
                  {texts::Language::Japanese, "記録の推移", "走行", "5 件（4 ラップ）"}};
    for (const auto& t : kTexts) {
        texts::setCurrentLanguage(t.language);
        QEvent change(QEvent::LanguageChange);
        QCoreApplication::sendEvent(&window, &change);
        QCOMPARE(window.windowTitle(), QString::fromUtf8(t.title));
        QCOMPARE(window.findChild<QTabWidget*>()->tabText(0), QString::fromUtf8(t.tab));
        QCOMPARE(window.status()->text(), QString::fromUtf8(t.status));
    }
}

QTEST_MAIN(ProgressWindow)
#include "test_progress_window.moc"
