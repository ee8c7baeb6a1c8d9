// The view menu in the real main window: its shortcuts open the All runs and Roster windows, and
// Enter on a found run brings its stopwatch's tab, day and run onto the real page.
#include <QApplication>
#include <QFile>
#include <QItemSelectionModel>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QTableView>
#include <QTableWidget>
#include <QTest>
#include <QTreeWidget>

#include "bilingual_text.h"
#include "c_all_runs_dlg.h"
#include "c_bests_dlg.h"
#include "c_compare_dlg.h"
#include "c_roster_dlg.h"
#include "c_user_dialog.h"
#include "fake_port.h"
#include "index_windows_support.h"
#include "lapdex_dlg.h"
#include "month_calendar.h"
#include "view_menu.h"

using namespace lapdex;
using namespace lapdex::ui;

namespace {

// The real main window, its page on the run index and its view menu, over an indexed data folder
// of two stopwatches; shown.
struct MenuWindow {
    test::IndexedFolder folder;
    test::FolderPort port{folder.dataPath(), {"山田", "佐藤"}};
    test::FakeDesktop desktop;
    CLapdexDlg window{port, desktop, [](QWidget* parent, PageHost& host) -> StopwatchPage* {
                          return new CUserDialog(parent, host);
                      }};
    ViewMenu views{window, *folder.queries};

    MenuWindow() {
        page()->setRunIndex(folder.index.get());
        window.show();
    }
    CUserDialog* page() { return static_cast<CUserDialog*>(window.page()); }
};

}  // namespace

class TestViewMenu : public QObject {
    Q_OBJECT
  private slots:
    void cleanup() { texts::setCurrentLanguage(texts::Language::Japanese); }

    void shortcutsOpenTheWindowsAndEnterShowsTheRun() {
        MenuWindow m;
        CLapdexDlg& window = m.window;
        ViewMenu& views = m.views;
        QVERIFY(QTest::qWaitForWindowActive(&window));
        const QList<QAction*> menus = window.menuBar()->actions();
        QCOMPARE(menus.last()->text(), QStringLiteral("表示(&W)"));

        QTest::keyClick(&window, Qt::Key_L, Qt::ControlModifier | Qt::ShiftModifier);
        QVERIFY(views.rosterWindow() && views.rosterWindow()->isVisible());
        QTRY_COMPARE(views.rosterWindow()->model()->rowCount(), 2);
        views.rosterWindow()->hide();

        // The roster was the active window while its answer came in: the main window takes
        // the keys again once it is active itself.
        window.activateWindow();
        QTRY_COMPARE(QApplication::activeWindow(), &window);
        QTest::keyClick(&window, Qt::Key_A, Qt::ControlModifier | Qt::ShiftModifier);
        CAllRunsDlg* runs = views.allRunsWindow();
        QVERIFY(runs && runs->isVisible());
        QTRY_COMPARE(runs->model()->rowCount(), 4);
        int row = 0;
        while (row < 4 && runs->model()->run(row).tabName != "佐藤") ++row;
        runs->table()->setFocus();
        runs->table()->setCurrentIndex(runs->model()->index(row, 0));
        QTest::keyClick(runs->table(), Qt::Key_Return);

        QCOMPARE(window.currentTab(), 1);
        auto* page = static_cast<CUserDialog*>(window.page());
        QCOMPARE(page->selectedDate(), QDate(2024, 5, 11));
        QVERIFY(page->runList()->currentItem());
        QCOMPARE(page->runList()->currentItem()->text(), QStringLiteral("2024/05/11   07:45:30"));
        QCOMPARE(page->content().texts[kMemo], QStringLiteral("雨、向かい風"));
        window.shutdown();
    }

    // Runs chosen in All runs and compared: one deleted meanwhile is named under the chart, and
    // the table holds the run that is left.
    void comparingARunDeletedMeanwhileNamesIt() {
        MenuWindow m;
        test::IndexedFolder& folder = m.folder;
        CLapdexDlg& window = m.window;
        ViewMenu& views = m.views;
        views.showAllRuns();
        CAllRunsDlg* runs = views.allRunsWindow();
        QTRY_COMPARE(runs->model()->rowCount(), 4);
        QString gone;
        for (int row = 0; row < 4; ++row) {
            const RunRow& run = runs->model()->run(row);
            if (run.run.start.rfind("2024-05-10", 0) != 0) continue;
            runs->table()->selectionModel()->select(
                runs->model()->index(row, 0),
                QItemSelectionModel::Select | QItemSelectionModel::Rows);
            gone = QString::fromStdString(run.folderName + "/" + run.fileName);
        }
        QVERIFY(views.compareAction()->isEnabled());
        QVERIFY(QFile::remove(QString::fromStdString(folder.dataPath()) + gone));
        views.compareAction()->trigger();
        QLabel* note = views.compareWindow()->missedNote();
        QTRY_VERIFY(!note->isHidden());
        QVERIFY2(note->text().contains(gone + QStringLiteral(": 消えていました")),
                 qPrintable(note->text()));
        QCOMPARE(views.compareWindow()->chart()->series().size(), std::size_t{1});
        QCOMPARE(views.compareWindow()->table()->columnCount(), 1);
        window.shutdown();
    }

    // Enter on a personal best in the stopwatch list's bests window shows its run on the page.
    void enterOnAPersonalBestShowsItsRun() {
        MenuWindow m;
        CLapdexDlg& window = m.window;
        ViewMenu& views = m.views;
        CUserDialog* page = m.page();
        views.showRoster();
        CRosterDlg* roster = views.rosterWindow();
        QTRY_COMPARE(roster->model()->rowCount(), 2);
        roster->table()->selectRow(1);  // 佐藤, the second tab, whose best lap is of 11 May
        roster->showBests();
        CBestsDlg* bests = roster->bestsWindow();
        QTRY_VERIFY(bests && !bests->loading());
        QCOMPARE(bests->model()->rowCount(), 1);
        bests->table()->setFocus();
        bests->table()->setCurrentIndex(bests->model()->index(0, BestsModel::kBestLap));
        QTest::keyClick(bests->table(), Qt::Key_Return);
        QCOMPARE(window.currentTab(), 1);
        QCOMPARE(page->selectedDate(), QDate(2024, 5, 11));
        QVERIFY(page->runList()->currentItem());
        QCOMPARE(page->runList()->currentItem()->text(), QStringLiteral("2024/05/11   07:45:30"));
        window.shutdown();
    }

    // A language change sent to every top-level window, as the switch sends it, reaches the menu,
    // the open windows (windows of their own) and the page.
    void aLanguageChangeReachesTheMenuTheOpenWindowsAndThePage() {
        MenuWindow m;
        CLapdexDlg& window = m.window;
        ViewMenu& views = m.views;
        CUserDialog* page = m.page();
        views.showRoster();
        auto* calendar = page->findChild<MonthCalendar*>();
        auto* laps = page->findChild<QTreeWidget*>();
        QVERIFY(calendar && laps);
        calendar->setSelectedDate(QDate(2024, 5, 11));
        const QString japaneseTitle = calendar->monthTitle(0);
        QVERIFY2(japaneseTitle.startsWith(QStringLiteral("2024年")) &&
                     japaneseTitle.endsWith(QStringLiteral("月")),
                 qPrintable(japaneseTitle));
        const int month = japaneseTitle.mid(5).chopped(1).toInt();

        texts::setCurrentLanguage(texts::Language::English);
        QEvent change(QEvent::LanguageChange);
        // As the language switch sends it: to every top-level window.
        for (QWidget* top : QApplication::topLevelWidgets())
            QCoreApplication::sendEvent(top, &change);
        QCOMPARE(views.menu()->title(), QStringLiteral("Vie&w"));
        QCOMPARE(window.menuBar()->actions().last()->text(), QStringLiteral("Vie&w"));
        QCOMPARE(views.allRunsAction()->text(), QStringLiteral("&All runs..."));
        QCOMPARE(views.rosterAction()->text(), QStringLiteral("Stopwatch &list..."));
        QCOMPARE(views.teamDayAction()->text(), QStringLiteral("Team &day..."));
        QCOMPARE(views.rosterWindow()->windowTitle(), QStringLiteral("Stopwatches"));
        QCOMPARE(laps->headerItem()->text(1), QStringLiteral("Lap"));
        QCOMPARE(laps->headerItem()->text(3), QStringLiteral("Lap memo (up to 20 characters)"));
        QCOMPARE(calendar->monthTitle(0),
                 QLocale(QLocale::English).standaloneMonthName(month) + " 2024");

        texts::setCurrentLanguage(texts::Language::Japanese);
        // As the language switch sends it: to every top-level window.
        for (QWidget* top : QApplication::topLevelWidgets())
            QCoreApplication::sendEvent(top, &change);
        QCOMPARE(views.menu()->title(), QStringLiteral("表示(&W)"));
        QCOMPARE(views.rosterWindow()->windowTitle(), QStringLiteral("ストップウオッチ一覧"));
        QCOMPARE(laps->headerItem()->text(3), QStringLiteral("ラップメモ（20文字まで）"));
        QCOMPARE(calendar->monthTitle(0), japaneseTitle);
        window.shutdown();
    }
};

QTEST_MAIN(TestViewMenu)
#include "test_view_menu.moc"
