// The main window and its windows as a coach uses them every day: they fit screens from a laptop
// with a panel to scale factor 2 (each screen in a process of its own, as a scale factor is chosen
// at start), they come back where they were left, and the memos are edited from the keyboard.
#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTabBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>
#include <QWindow>
#include <cstdio>

#include "c_all_runs_dlg.h"
#include "c_roster_dlg.h"
#include "c_team_day_dlg.h"
#include "c_user_dialog.h"
#include "fake_port.h"
#include "index_windows_support.h"
#include "keyboard_user.h"
#include "lapdex_dlg.h"
#include "month_calendar.h"
#include "view_menu.h"
#include "window_place.h"

using namespace lapdex;
using namespace lapdex::ui;
using lapdex::ui::test::KeyboardUser;

namespace {

constexpr int kExit = 1009;

// The program's windows over the data folder of two stopwatches.
struct Program {
    Program()
        : port(folder.dataPath(), {"山田", "佐藤"}),
          window(port, desktop,
                 [](QWidget* parent, PageHost& host) -> StopwatchPage* {
                     return new CUserDialog(parent, host);
                 }),
          views(window, *folder.queries) {
        page()->setRunIndex(folder.index.get());
    }
    ~Program() { window.shutdown(); }
    CUserDialog* page() const { return static_cast<CUserDialog*>(window.page()); }

    test::IndexedFolder folder;
    test::FolderPort port;
    test::FakeDesktop desktop;
    CLapdexDlg window;
    ViewMenu views;
};

QString text(const QRect& r) {
    return QStringLiteral("%1,%2 %3x%4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
}

bool inside(const QRect& area, const QWidget& window) {
    return area.contains(window.frameGeometry());
}

// Whether `control` can be scrolled into view: then as much of it shows as the view can hold.
bool reachable(CLapdexDlg& window, QWidget* control) {
    QScrollArea* scroll = window.scrollArea();
    scroll->ensureWidgetVisible(control, 0, 0);
    const QRect view = scroll->viewport()->rect();
    const QRect shown =
        QRect(control->mapTo(scroll->viewport(), QPoint(0, 0)), control->size()).intersected(view);
    return control->isVisible() && shown.size() == control->size().boundedTo(view.size());
}

// One screen, in this process: prints one line per check, "name ok" or "name FAIL ...".
int fitOneScreen() {
    Program p;
    p.window.show();
    if (!QTest::qWaitForWindowExposed(&p.window)) return 2;
    QTest::qWait(50);
    const QRect area = p.window.screen()->availableGeometry();
    auto report = [](const char* name, bool ok, const QString& detail = {}) {
        std::printf("%s %s %s\n", name, ok ? "ok" : "FAIL", qPrintable(detail));
    };
    const QSize natural =
        p.window.layoutMinimum() + QSize(0, p.window.height() - p.window.scrollArea()->height());
    const bool roomy = area.width() >= natural.width() && area.height() >= natural.height();
    report("main-inside", inside(area, p.window),
           text(p.window.frameGeometry()) + " in " + text(area));
    report("no-scroll-bars-when-it-fits",
           !roomy || (!p.window.scrollArea()->verticalScrollBar()->isVisible() &&
                      !p.window.scrollArea()->horizontalScrollBar()->isVisible()));
    const std::pair<const char*, QWidget*> controls[] = {
        {"exit", p.window.control(kExit)}, {"memo-box", p.page()->memoBox()},
        {"chart", p.page()->lapChart()},   {"lap-list", p.page()->lapList()},
        {"run-list", p.page()->runList()}, {"calendar", p.page()->calendar()}};
    for (const auto& [name, control] : controls) report(name, reachable(p.window, control));
    // Where there is room, the lists, the memo box and the chart take it.
    if (area.width() > natural.width() + 200 && area.height() > natural.height() + 200) {
        const int memo = p.page()->memoBox()->width(), laps = p.page()->lapList()->height();
        const int chart = p.page()->lapChart()->height();
        p.window.resize(p.window.size() + QSize(200, 200));
        QTest::qWait(20);
        report("memo-box-grows", p.page()->memoBox()->width() > memo);
        report("lap-list-grows", p.page()->lapList()->height() > laps);
        report("chart-grows", p.page()->lapChart()->height() > chart);
        report("exit-stays-inside", reachable(p.window, p.window.control(kExit)));
    }
    p.views.showAllRuns();
    p.views.showTeamDay();
    p.views.showRoster();
    QTest::qWait(50);
    report("all-runs-inside", inside(area, *p.views.allRunsWindow()));
    report("team-day-inside", inside(area, *p.views.teamDayWindow()),
           text(p.views.teamDayWindow()->frameGeometry()));
    report("roster-inside", inside(area, *p.views.rosterWindow()));
    return 0;
}

// Types `text` over the focused field of a memo editor, then Enter.
KeyboardUser::Answer typeMemo(const QString& text) {
    return [text](QWidget* modal) {
        QWidget* field = modal->focusWidget();
        QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(field, text);
        QTest::keyClick(field, Qt::Key_Return);
    };
}

}  // namespace

class TestWindowUse : public QObject {
    Q_OBJECT
  private slots:
    void windowsFitEveryScreen_data();
    void windowsFitEveryScreen();
    void placesComeBackAfterARestart();
    void enterInAllRunsRaisesTheMainWindow();
    void memosAreEditedFromTheKeyboard();
};

void TestWindowUse::windowsFitEveryScreen_data() {
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<QString>("scale");
    QTest::newRow("laptop") << 1366 << 768 << "1";
    QTest::newRow("laptop with a panel") << 1366 << 740 << "1";
    QTest::newRow("laptop at 125 %") << 1366 << 768 << "1.25";
    QTest::newRow("laptop at 200 %") << 1366 << 740 << "2";
    QTest::newRow("full HD at 150 %") << 1920 << 1040 << "1.5";
    QTest::newRow("full HD at 200 %") << 1920 << 1080 << "2";
    QTest::newRow("large screen") << 2560 << 1440 << "1";
}

void TestWindowUse::windowsFitEveryScreen() {
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(QString, scale);
    QTemporaryDir dir;
    QFile config(dir.filePath("screen.json"));
    QVERIFY(config.open(QIODevice::WriteOnly));
    config.write(
        QStringLiteral(
            "{\"screens\": [{\"name\": \"s\", \"x\": 0, \"y\": 0, \"width\": %1, \"height\": %2, "
            "\"logicalDpi\": 96, \"logicalBaseDpi\": 96, \"dpr\": 1}]}")
            .arg(width)
            .arg(height)
            .toUtf8());
    config.close();
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen:configfile=" + config.fileName());
    env.insert("QT_SCALE_FACTOR", scale);
    env.insert("XDG_CACHE_HOME", dir.filePath("cache"));
    child.setProcessEnvironment(env);
    child.start(QCoreApplication::applicationFilePath(), {"--fit-one-screen"});
    QVERIFY(child.waitForFinished(60000));
    QCOMPARE(child.exitCode(), 0);
    const QStringList lines =
        QString::fromUtf8(child.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    QVERIFY2(lines.size() >= 11, qPrintable(lines.join('\n') + child.readAllStandardError()));
    for (const QString& line : lines) QVERIFY2(line.section(' ', 1, 1) == "ok", qPrintable(line));
}

void TestWindowUse::placesComeBackAfterARestart() {
    QTemporaryDir dir;
    keepWindowPlacesInFile(dir.filePath("places.ini"));
    QRect firstMain, mainPlace, runsPlace;
    {
        Program p;
        p.window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&p.window));
        const QRect area = availableArea(p.window);
        firstMain = p.window.geometry();
        // Where the user leaves them, as far as the screen allows.
        p.window.setGeometry(QRect(QPoint(area.left() + 8, firstMain.y()), firstMain.size()));
        p.views.showAllRuns();
        p.views.allRunsWindow()->setGeometry(
            QRect(area.topLeft() + QPoint(40, 30), QSize(500, 300)));
        QTest::qWait(20);
        mainPlace = p.window.geometry();
        runsPlace = p.views.allRunsWindow()->geometry();
        QTest::mouseClick(p.window.control(kExit), Qt::LeftButton);  // Exit hides the window
        QVERIFY(!p.window.isVisible());
    }
    QVERIFY(firstMain != mainPlace);
    Program again;
    again.window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&again.window));
    QCOMPARE(again.window.geometry(), mainPlace);
    again.views.showAllRuns();
    QCOMPARE(again.views.allRunsWindow()->geometry(), runsPlace);
    keepNoWindowPlaces();
}

void TestWindowUse::enterInAllRunsRaisesTheMainWindow() {
    Program p;
    p.window.show();
    QVERIFY(QTest::qWaitForWindowActive(&p.window));
    p.views.showRoster();
    p.views.showTeamDay();
    p.views.showAllRuns();
    // Ordinary top-level windows: no owner that keeps them above it.
    for (QWidget* w : std::initializer_list<QWidget*>{
             p.views.allRunsWindow(), p.views.teamDayWindow(), p.views.rosterWindow()}) {
        QVERIFY(QTest::qWaitForWindowExposed(w));
        QCOMPARE(w->parentWidget(), nullptr);
        QCOMPARE(w->windowType(), Qt::Window);
        QCOMPARE(w->windowHandle()->transientParent(), nullptr);
    }
    CAllRunsDlg* runs = p.views.allRunsWindow();
    QTRY_COMPARE(QApplication::activeWindow(), runs);
    QTRY_COMPARE(runs->model()->rowCount(), 4);
    int row = 0;
    while (row < 4 && runs->model()->run(row).tabName != "佐藤") ++row;
    runs->table()->setFocus();
    runs->table()->setCurrentIndex(runs->model()->index(row, 0));
    QTest::keyClick(runs->table(), Qt::Key_Return);
    QTRY_COMPARE(QApplication::activeWindow(), &p.window);
    QCOMPARE(p.window.currentTab(), 1);
    QCOMPARE(p.page()->content().texts[kMemo], QStringLiteral("雨、向かい風"));
}

void TestWindowUse::memosAreEditedFromTheKeyboard() {
    Program p;
    p.window.show();
    QVERIFY(QTest::qWaitForWindowActive(&p.window));
    CUserDialog* page = p.page();
    page->showRun(QDate(2024, 5, 10), "QTM240510_103000_0123456789ab.csv");
    QTRY_COMPARE(page->runList()->count(), 2);
    QTRY_VERIFY(page->runLoaded());
    // Tab visits every control once, the memo box among them, and comes back to the tabs.
    QTabBar* tabs = p.window.tabControl()->tabBar();
    tabs->setFocus();
    const QList<QWidget*> expected{
        page->calendar(),           page->runList(),         page->control(kPageAllData),
        page->control(kPageDelete), page->lapList(),         page->memoBox(),
        p.window.control(1023),     p.window.control(kExit), tabs};
    QList<QWidget*> visited;
    for (int i = 0; i < expected.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        visited << QApplication::focusWidget();
    }
    QCOMPARE(visited, expected);

    KeyboardUser user(p.window, p.port);
    enum class Open { LapKey, MemoBoxKey, MemoBoxClick };
    struct Case {
        const char* name;
        Open open;
        Qt::Key key;
        const char* editor;
    };
    const Case cases[] = {
        {"F2 on a lap row", Open::LapKey, Qt::Key_F2, "lapdex::ui::CLapMemo"},
        {"Enter on a lap row", Open::LapKey, Qt::Key_Return, "lapdex::ui::CLapMemo"},
        {"Tab to the memo box, Enter", Open::MemoBoxKey, Qt::Key_Return, "lapdex::ui::CRunMemo"},
        {"Tab to the memo box, F2", Open::MemoBoxKey, Qt::Key_F2, "lapdex::ui::CRunMemo"},
        {"Tab to the memo box, Space", Open::MemoBoxKey, Qt::Key_Space, "lapdex::ui::CRunMemo"},
        {"one click on the memo box", Open::MemoBoxClick, Qt::Key_unknown, "lapdex::ui::CRunMemo"},
    };
    int round = 0;
    for (const Case& c : cases) {
        const QString memo = QStringLiteral("memo %1").arg(++round);
        user.expect(typeMemo(memo));
        p.window.activateWindow();  // back from the last editor
        QTRY_COMPARE(QApplication::activeWindow(), &p.window);
        if (c.open == Open::LapKey) {
            page->lapList()->setFocus();
            page->lapList()->setCurrentItem(page->lapList()->topLevelItem(1));
            QTest::keyClick(page->lapList(), c.key);
        } else if (c.open == Open::MemoBoxKey) {
            page->lapList()->setFocus();
            QTest::keyClick(page->lapList(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), page->memoBox());
            QTest::keyClick(page->memoBox(), c.key);
        } else {
            QTest::mouseClick(page->memoBox()->viewport(), Qt::LeftButton, {}, QPoint(5, 5));
        }
        QVERIFY2(user.waitAnswered(), c.name);
        QCOMPARE(user.last().className, QString::fromLatin1(c.editor));
        QTRY_VERIFY(QApplication::activeModalWidget() == nullptr);
        if (c.open == Open::LapKey) {
            QCOMPARE(page->content().laps[1].memo, memo);
            QCOMPARE(page->lapList()->topLevelItem(1)->text(3), memo);
        } else {
            QCOMPARE(page->content().texts[kMemo], memo);
            QCOMPARE(page->memoBox()->toPlainText(), memo);
        }
    }
}

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc > 1 && QByteArray(argv[1]) == "--fit-one-screen") return fitOneScreen();
    TestWindowUse test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_window_use.moc"
