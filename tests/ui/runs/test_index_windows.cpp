// The All runs and Roster windows over a real run index: filters as the user types them, sorting
// by a header click, Enter and double-click on a row.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QColor>
#include <QComboBox>
#include <QDateEdit>
#include <QHeaderView>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <set>

#include "bilingual_text.h"
#include "c_all_runs_dlg.h"
#include "c_roster_dlg.h"
#include "contact_history.h"
#include "folder_run_source.h"
#include "index_windows_support.h"
#include "run_texts.h"
#include "stopwatch_groups.h"

using namespace lapdex;
using namespace lapdex::ui;

class TestIndexWindows : public QObject {
    Q_OBJECT

    static QStringList column(const QAbstractItemModel& model, int column) {
        QStringList texts;
        for (int row = 0; row < model.rowCount(); ++row)
            texts << model.index(row, column).data().toString();
        return texts;
    }

    // 佐藤's stopwatch was last laid on with one bar of battery left.
    static bool addLowBatteryContact(const test::IndexedFolder& folder) {
        ContactRecord contact;
        contact.localTime = "2024-05-11 07:50:02";
        contact.serialText = "00000000beef";
        contact.batteryLevel = 1;
        contact.result = "ok";
        return appendContact(DataFolder(systemFileSystem(), folder.dataPath()), contact).ok();
    }

    static QStringList headers(const QAbstractItemModel& model) {
        QStringList texts;
        for (int section = 0; section < model.columnCount(); ++section)
            texts << model.headerData(section, Qt::Horizontal).toString();
        return texts;
    }

    // The labels of the window, sorted: their order in the layout is not the point.
    static QStringList labelTexts(const QWidget& window) {
        QStringList texts;
        for (const QLabel* label : window.findChildren<QLabel*>()) texts << label->text();
        texts.sort();
        return texts;
    }

    // What the program does when the user picks a language: set it, tell the open windows.
    static void switchLanguage(QWidget& window, texts::Language language) {
        texts::setCurrentLanguage(language);
        QEvent change(QEvent::LanguageChange);
        QCoreApplication::sendEvent(&window, &change);
    }

  private slots:
    void cleanup() { texts::setCurrentLanguage(texts::Language::Japanese); }

    void typingAMemoWordNarrowsTheRuns() {
        test::IndexedFolder folder;
        CAllRunsDlg window(*folder.queries);
        window.show();
        QTRY_COMPARE(window.model()->rowCount(), 4);
        QCOMPARE(column(*window.model(), RunTableModel::kStart),
                 QStringList({"2024/05/10 09:00:00", "2024/05/10 10:30:00", "2024/05/11 07:45:30",
                              "2024/06/02 08:15:00"}));
        window.memoWords()->setFocus();
        test::typeCommitted(window.memoWords(), QStringLiteral("向かい風"));
        QTRY_COMPARE(window.model()->rowCount(), 2);
        QCOMPARE(column(*window.model(), RunTableModel::kMemo),
                 QStringList({"向かい風で苦戦", "雨、向かい風"}));
        // A second word, after an ideographic space, must occur as well; a short one is found too.
        test::typeCommitted(window.memoWords(), QStringLiteral("\u3000雨"));
        QTRY_COMPARE(window.model()->rowCount(), 1);
        QCOMPARE(window.model()->index(0, RunTableModel::kTabName).data().toString(),
                 QStringLiteral("佐藤"));
        window.memoWords()->clear();
        QTRY_COMPARE(window.model()->rowCount(), 4);
    }

    void otherFiltersCombine() {
        test::IndexedFolder folder;
        CAllRunsDlg window(*folder.queries);
        window.show();
        QTRY_COMPARE(window.stopwatchChoice()->count(), 3);
        window.stopwatchChoice()->setCurrentIndex(
            window.stopwatchChoice()->findText(QStringLiteral("山田")));
        QTRY_COMPARE(window.model()->rowCount(), 3);
        window.lapCount()->setValue(4);
        QTRY_COMPARE(window.model()->rowCount(), 2);
        window.minTotal()->setText(QStringLiteral("276"));  // 4 x 69.00 s = 276.00 s
        window.maxTotal()->setText(QStringLiteral("276"));
        QTRY_COMPARE(window.model()->rowCount(), 1);
        QCOMPARE(window.model()->index(0, RunTableModel::kTotal).data().toString(),
                 QStringLiteral("00:04'36\"00"));
        window.minTotal()->clear();
        window.maxTotal()->clear();
        window.lapCount()->setValue(0);
        window.fromDate()->setDate(QDate(2024, 6, 1));
        window.toDate()->setDate(QDate(2024, 6, 30));
        window.dateRangeOn()->setChecked(true);
        QTRY_COMPARE(column(*window.model(), RunTableModel::kStart),
                     QStringList({"2024/06/02 08:15:00"}));
    }

    // Totals 272, 276, 280 and 426 s. A bound is read in any form the window shows; one that
    // cannot be read is marked and left out, and a reversed range says so.
    void totalFilterReadsEveryFormAndSaysWhatItCannot() {
        const struct {
            const char* min;
            const char* max;
            int rows;
            bool minMarked;
            bool maxMarked;
            QString status;
        } kRows[] = {
            {"4:36", "00:04'36\"00", 1, false, false, QStringLiteral("1 件")},
            {"4:36.01", "", 2, false, false, QStringLiteral("2 件")},
            {"", "276", 2, false, false, QStringLiteral("2 件")},
            {"0:07:06", "426", 1, false, false, QStringLiteral("1 件")},
            {"8:00", "", 0, false, false, QStringLiteral("0 件")},
            {"4:6O", "", 4, true, false, QStringLiteral("4 件")},
            {"", "1:2:3:4", 4, false, true, QStringLiteral("4 件")},
            {"300", "4:00", 0, false, false,
             QStringLiteral("トータルの下限が上限より大きいため、当てはまる走行はありません。")},
        };
        test::IndexedFolder folder;
        CAllRunsDlg window(*folder.queries);
        window.show();
        QTRY_COMPARE(window.model()->rowCount(), 4);
        for (const auto& row : kRows) {
            window.minTotal()->setText(QString::fromUtf8(row.min));
            window.maxTotal()->setText(QString::fromUtf8(row.max));
            QTRY_COMPARE_WITH_TIMEOUT(window.status()->text(), row.status, 3000);
            QCOMPARE(window.model()->rowCount(), row.rows);
            for (auto [field, marked] : {std::pair{window.minTotal(), row.minMarked},
                                         {window.maxTotal(), row.maxMarked}}) {
                QCOMPARE(field->property("unreadable").toBool(), marked);
                QCOMPARE(field->toolTip().startsWith(QStringLiteral("この時間は読めません")),
                         marked);
            }
        }
    }

    // A stopwatch renamed while the window is open shows its new name once the window is
    // active again, in the filter and in the rows.
    void stopwatchFilterFollowsARename() {
        test::IndexedFolder folder;
        CAllRunsDlg window(*folder.queries);
        window.show();
        QTRY_COMPARE(window.stopwatchChoice()->count(), 3);
        QCOMPARE(window.stopwatchChoice()->itemText(1), QStringLiteral("山田"));
        QVERIFY(folder.index->refreshAll(
            {{"QTM-01", "0123456789ab", "山田太郎", {}}, {"QTM-02", "00000000beef", "佐藤", {}}}));
        QEvent activated(QEvent::ActivationChange);
        window.activateWindow();
        QTRY_VERIFY(window.isActiveWindow());
        QCoreApplication::sendEvent(&window, &activated);
        QTRY_COMPARE(window.stopwatchChoice()->itemText(1), QStringLiteral("山田太郎"));
        QTRY_VERIFY(column(*window.model(), RunTableModel::kTabName).contains("山田太郎"));
        QVERIFY(!column(*window.model(), RunTableModel::kTabName).contains("山田"));
    }

    void headerClickSortsAndEnterOpensTheRun() {
        test::IndexedFolder folder;
        CAllRunsDlg window(*folder.queries);
        window.show();
        QTRY_COMPARE(window.model()->rowCount(), 4);
        QHeaderView* header = window.table()->horizontalHeader();
        const QPoint totalHeader(header->sectionViewportPosition(RunTableModel::kBestLap) + 5,
                                 header->height() / 2);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, totalHeader);
        QCOMPARE(column(*window.model(), RunTableModel::kBestLap),
                 QStringList({"00:01'08\"00", "00:01'09\"00", "00:01'10\"00", "00:01'11\"00"}));
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, totalHeader);
        QCOMPARE(window.model()->index(0, RunTableModel::kBestLap).data().toString(),
                 QStringLiteral("00:01'11\"00"));
        QSignalSpy opened(&window, &CAllRunsDlg::runActivated);
        window.table()->setFocus();
        window.table()->setCurrentIndex(window.model()->index(1, 0));
        QTest::keyClick(window.table(), Qt::Key_Return);
        QCOMPARE(opened.count(), 1);
        const auto run = opened.front().front().value<RunRow>();
        QCOMPARE(run.fileName, std::string("QTM240510_090000_0123456789ab.csv"));
        QCOMPARE(run.tabName, std::string("山田"));
    }

    void rosterSummarisesAndOpensAStopwatch() {
        test::IndexedFolder folder;
        QVERIFY(addLowBatteryContact(folder));
        CRosterDlg window(*folder.queries);
        window.show();
        QTRY_COMPARE(window.model()->rowCount(), 2);
        QCOMPARE(column(*window.model(), RosterModel::kTabName), QStringList({"山田", "佐藤"}));
        QCOMPARE(column(*window.model(), RosterModel::kRuns), QStringList({"3", "1"}));
        QCOMPARE(column(*window.model(), RosterModel::kUsualLaps), QStringList({"4", "4"}));
        // The best of its usual lap count (4): the 6-lap run's slower laps do not count.
        QCOMPARE(column(*window.model(), RosterModel::kBestLap),
                 QStringList({"00:01'09\"00", "00:01'08\"00"}));
        QCOMPARE(column(*window.model(), RosterModel::kLastRun),
                 QStringList({"2024/06/02 08:15:00", "2024/05/11 07:45:30"}));
        QCOMPARE(column(*window.model(), RosterModel::kBattery),
                 QStringList({"", "1/5 低（2024/05/11）"}));
        QCOMPARE(window.model()
                     ->index(1, RosterModel::kBattery)
                     .data(Qt::ForegroundRole)
                     .value<QColor>(),
                 QColor(Qt::red));
        QCOMPARE(column(*window.model(), RosterModel::kLastContact),
                 QStringList({"", "2024/05/11 07:50:02"}));
        QSignalSpy opened(&window, &CRosterDlg::stopwatchActivated);
        const QRect cell = window.table()->visualRect(window.model()->index(1, 0));
        // A double-click: the press of its first click, then the double-click itself.
        QTest::mouseClick(window.table()->viewport(), Qt::LeftButton, {}, cell.center());
        QTest::mouseDClick(window.table()->viewport(), Qt::LeftButton, {}, cell.center());
        QCOMPARE(opened.count(), 1);
        QCOMPARE(opened.front().front().toString(), QStringLiteral("佐藤"));
    }

    // Neither an index nor a folder scan: the window says so instead of preparing for ever.
    void withoutAnySourceTheWindowSaysSo() {
        RunQueryWorker queries(nullptr, FallbackFactory{});
        CAllRunsDlg window(queries);
        window.show();
        QTRY_COMPARE(window.status()->text(), QStringLiteral("走行を読めません"));
        QCOMPARE(window.model()->rowCount(), 0);
        switchLanguage(window, texts::Language::English);
        QCOMPARE(window.status()->text(), QStringLiteral("The runs cannot be read"));
        switchLanguage(window, texts::Language::Japanese);
    }

    // Switched to English while open, the window re-applies every text; back in Japanese, the
    // Japanese texts return.
    void allRunsFollowsTheLanguage() {
        test::IndexedFolder folder;
        CAllRunsDlg window(*folder.queries);
        window.show();
        QTRY_COMPARE(window.model()->rowCount(), 4);
        QCOMPARE(window.windowTitle(), QStringLiteral("すべての走行"));
        // The context menu lists the copy command by its name, not by its key alone.
        QAction* copy = window.table()->actions().value(0);
        QVERIFY(copy);
        QCOMPARE(copy->shortcut(), QKeySequence(QKeySequence::Copy));
        QCOMPARE(copy->text(), QStringLiteral("コピー(&C)"));
        switchLanguage(window, texts::Language::English);
        QCOMPARE(copy->text(), QStringLiteral("&Copy"));
        QCOMPARE(window.windowTitle(), QStringLiteral("All runs"));
        QCOMPARE(headers(*window.model()),
                 QStringList({"PC", "Stopwatch", "Start", "Laps", "Total time", "Best lap",
                              "Average lap", "Memo"}));
        QCOMPARE(window.table()
                     ->horizontalHeader()
                     ->model()
                     ->headerData(RunTableModel::kTabName, Qt::Horizontal)
                     .toString(),
                 QStringLiteral("Stopwatch"));
        QCOMPARE(window.dateRangeOn()->text(), QStringLiteral("&Dates"));
        QCOMPARE(labelTexts(window), QStringList({"&Laps", "&Memo", "&PC", "&Stopwatch", "&Total",
                                                  "Runs found: 4", "to", "to"}));
        QCOMPARE(window.memoWords()->placeholderText(),
                 QStringLiteral("Words in run or lap memos"));
        QCOMPARE(window.minTotal()->placeholderText(), QStringLiteral("seconds or m:ss"));
        QCOMPARE(window.lapCount()->specialValueText(), QStringLiteral("All"));
        QCOMPARE(window.stopwatchChoice()->itemText(0), QStringLiteral("All"));
        // The filters still work in English: the "All" entry still means every stopwatch.
        window.memoWords()->setText(QStringLiteral("向かい風"));
        QTRY_COMPARE(window.status()->text(), QStringLiteral("Runs found: 2"));
        switchLanguage(window, texts::Language::Japanese);
        QCOMPARE(window.windowTitle(), QStringLiteral("すべての走行"));
        QCOMPARE(window.status()->text(), QStringLiteral("2 件"));
        QCOMPARE(window.stopwatchChoice()->itemText(0), QStringLiteral("すべて"));
        QCOMPARE(headers(*window.model()).at(RunTableModel::kTabName),
                 QStringLiteral("ストップウオッチ"));
    }

    // The groups typed for a stopwatch in the real input dialog: shown in the table and kept in the
    // data folder; a name that cannot be one is refused and nothing is changed.
    void rosterEditsAStopwatchsGroups() {
        test::IndexedFolder folder;
        CRosterDlg window(*folder.queries);
        window.show();
        QTRY_COMPARE(window.model()->rowCount(), 2);
        const struct {
            QString typed;
            QString shown;
            std::set<std::string> saved;
        } kCases[] = {
            {QStringLiteral("U18、短距離 , U18"), QStringLiteral("U18, 短距離"), {"U18", "短距離"}},
            {QString(QChar(u'x')).repeated(41), QStringLiteral("U18, 短距離"), {"U18", "短距離"}},
            {QStringLiteral(" "), QString(), {}}};
        for (const auto& c : kCases) {
            bool asked = false;
            // Answers the dialog once it is up, then a message box that refuses a name.
            QTimer answer;
            QObject::connect(&answer, &QTimer::timeout, [&] {
                QWidget* modal = QApplication::activeModalWidget();
                if (auto* dialog = qobject_cast<QInputDialog*>(modal); dialog && !asked) {
                    asked = true;
                    dialog->setTextValue(c.typed);
                    dialog->accept();
                } else if (auto* box = qobject_cast<QMessageBox*>(modal)) {
                    box->accept();
                }
            });
            answer.start(10);
            window.table()->selectRow(0);
            QTRY_VERIFY(window.groupsButton()->isEnabled());
            window.groupsButton()->click();
            QVERIFY(asked);
            QTRY_COMPARE(window.model()->index(0, RosterModel::kGroups).data().toString(), c.shown);
            const GroupsRead read = readGroups(DataFolder(systemFileSystem(), folder.dataPath()));
            const auto saved = read.groups.bySerial.find("0123456789ab");
            QCOMPARE(saved == read.groups.bySerial.end() ? std::set<std::string>{} : saved->second,
                     c.saved);
        }
        // All runs offers the group among its stopwatches and searches the group's only; the list
        // shows the group's stopwatches when asked.
        StopwatchGroups groups;
        groups.bySerial["00000000beef"] = {"U18"};
        QVERIFY(writeGroups(DataFolder(systemFileSystem(), folder.dataPath()), groups).ok());
        window.refresh();
        QTRY_COMPARE(window.groupFilter()->count(), 2);
        window.groupFilter()->setCurrentIndex(1);
        QVERIFY(window.table()->isRowHidden(0));
        QVERIFY(!window.table()->isRowHidden(1));
        window.groupFilter()->setCurrentIndex(0);
        QVERIFY(!window.table()->isRowHidden(0));
        CAllRunsDlg runs(*folder.queries);
        runs.show();
        QTRY_VERIFY(runs.findChild<QComboBox*>()->findText(QStringLiteral("グループ: U18")) > 0);
        QComboBox* chooser = runs.findChild<QComboBox*>();
        chooser->setCurrentIndex(chooser->findText(QStringLiteral("グループ: U18")));
        QTRY_COMPARE(runs.model()->rowCount(), 1);
        QCOMPARE(runs.model()->run(0).folderName, std::string("QTM-02"));
    }

    void rosterFollowsTheLanguage() {
        test::IndexedFolder folder;
        QVERIFY(addLowBatteryContact(folder));
        CRosterDlg window(*folder.queries);
        window.show();
        QTRY_COMPARE(window.model()->rowCount(), 2);
        QSignalSpy headersChanged(window.model(), &QAbstractItemModel::headerDataChanged);
        switchLanguage(window, texts::Language::English);
        QCOMPARE(headersChanged.count(), 1);
        QCOMPARE(window.windowTitle(), QStringLiteral("Stopwatches"));
        QCOMPARE(headers(*window.model()),
                 QStringList({"Stopwatch", "Serial number", "Runs", "First run", "Last run",
                              "Usual laps", "Best lap (usual laps)", "Best total (usual laps)",
                              "Last read", "Battery", "Groups"}));
        QCOMPARE(window.model()->index(0, RosterModel::kBestTotal).data(Qt::ToolTipRole).toString(),
                 QStringLiteral("Best of the 4-lap runs. Other lap counts: Personal bests."));
        QCOMPARE(column(*window.model(), RosterModel::kBattery),
                 QStringList({"", "1/5 low (2024/05/11)"}));
        QCOMPARE(window.status()->text(), QStringLiteral("Stopwatches: 2"));
        switchLanguage(window, texts::Language::Japanese);
        QCOMPARE(window.windowTitle(), QStringLiteral("ストップウオッチ一覧"));
        QCOMPARE(window.status()->text(), QStringLiteral("2 台"));
        QCOMPARE(column(*window.model(), RosterModel::kBattery),
                 QStringList({"", "1/5 低（2024/05/11）"}));
    }

    // The personal bests window of the chosen stopwatch holds, for every lap count, the fastest
    // total and the fastest lap that a plain scan of its folder finds, with their runs; Enter on
    // a best lap opens the run that holds it.
    void bestsWindowAgreesWithAFolderScan() {
        test::IndexedFolder folder;
        // More lap counts, with laps that slow by a step, so each lap count has a best of its own.
        const std::uint32_t steps[] = {0, 35, 12, 80, 3, 40};
        for (int i = 0; i < 6; ++i) {
            folder.write(
                0, testing::steadyRun({2024, 7, 1 + i, 9, 0, 0}, 3 + i % 3,
                                      7050 - 20 * static_cast<std::uint32_t>(i), "", steps[i]));
        }
        QVERIFY(folder.index->refreshFolder("QTM-01"));
        const std::map<int, BestRows> scanned = bestsOfScan(folder.dataPath(), "QTM-01");
        QVERIFY(scanned.size() >= 3);
        CRosterDlg window(*folder.queries);
        window.show();
        QTRY_COMPARE(window.model()->rowCount(), 2);
        QVERIFY(!window.bestsButton()->isEnabled());
        window.table()->selectRow(0);
        QVERIFY(window.bestsButton()->isEnabled());
        QTest::mouseClick(window.bestsButton(), Qt::LeftButton);
        CBestsDlg* bests = window.bestsWindow();
        QVERIFY(bests && bests->isVisible());
        QTRY_VERIFY(!bests->loading());
        QCOMPARE(bests->windowTitle(), QStringLiteral("自己ベスト: 山田"));
        QCOMPARE(bests->model()->rowCount(), static_cast<int>(scanned.size()));
        for (int row = 0; row < bests->model()->rowCount(); ++row) {
            QStringList shown;
            for (int c = 0; c < BestsModel::kColumnCount; ++c)
                shown << bests->model()->index(row, c).data().toString();
            const auto expected = scanned.find(bests->model()->lapCount(row));
            QVERIFY(expected != scanned.end());
            QCOMPARE(shown, expected->second.texts);
        }
        QSignalSpy opened(&window, &CRosterDlg::runActivated);
        const int last = bests->model()->rowCount() - 1;
        bests->table()->setFocus();
        bests->table()->setCurrentIndex(bests->model()->index(last, BestsModel::kBestLap));
        QTest::keyClick(bests->table(), Qt::Key_Return);
        QCOMPARE(opened.count(), 1);
        const auto run = opened.front().front().value<RunRow>();
        QCOMPARE(run.fileName, scanned.at(bests->model()->lapCount(last)).lapFile);
        QCOMPARE(run.tabName, std::string("山田"));
    }

  private:
    // What the bests window must show for one lap count, and the run of its best lap.
    struct BestRows {
        QStringList texts;
        std::string lapFile;
    };

    // The bests of one stopwatch by lap count as a plain scan of its folder gives them: the
    // earliest of the fastest totals and laps.
    static std::map<int, BestRows> bestsOfScan(const std::string& data, const std::string& name) {
        FolderRunSource scan(DataFolder(systemFileSystem(), data));
        RunQuery query;
        query.folderNames = {name};
        const RunListing listing = scan.listRuns(query);
        std::map<int, std::pair<const RunRow*, const RunRow*>> fastest;
        for (const RunRow& row : listing.rows) {
            auto& [total, lap] = fastest[row.run.lapCount];
            if (!total || row.run.totalCs < total->run.totalCs) total = &row;
            if (!lap || row.run.bestLapCs < lap->run.bestLapCs) lap = &row;
        }
        std::map<int, BestRows> bests;
        for (const auto& [laps, rows] : fastest) {
            const RunDetails& total = rows.first->run;
            const RunDetails& lap = rows.second->run;
            bests[laps] = {{QString::number(laps), runTimeText(total.totalCs, total.timeFormat),
                            startText(total.start), runTimeText(lap.bestLapCs, lap.timeFormat),
                            QString::number(lap.bestLapNumber), startText(lap.start)},
                           rows.second->fileName};
        }
        return bests;
    }
};

QTEST_MAIN(TestIndexWindows)
#include "test_index_windows.moc"
