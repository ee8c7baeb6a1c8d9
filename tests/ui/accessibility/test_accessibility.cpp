// Every window as a screen reader meets it, through Qt's own accessibility interfaces: each control
// has a name in the language shown, the calendar reports its days and the lap chart its bars.
#include <QAccessible>
#include <QComboBox>
#include <QListWidget>
#include <QTableView>
#include <QTest>
#include <functional>
#include <memory>

#include "bilingual_text.h"
#include "c_all_runs_dlg.h"
#include "c_compare_dlg.h"
#include "c_roster_dlg.h"
#include "c_team_day_dlg.h"
#include "c_user_dialog.h"
#include "edit_dialogs.h"
#include "fake_port.h"
#include "index_windows_support.h"
#include "language_switch.h"
#include "lap_chart.h"
#include "lapdex_dlg.h"
#include "month_calendar.h"
#include "month_year_choice.h"
#include "source_literals.h"
#include "status_dialogs.h"
#include "view_menu.h"

using namespace lapdex;
using namespace lapdex::ui;

namespace {

const QDate kDay(2024, 5, 10);  // two runs of 山田 in the test folder

// Lists and tables name their rows by their data; the calendar and the chart are checked on
// their own. A walk names the container, not each of its items.
bool holdsItems(QAccessible::Role role) {
    return role == QAccessible::List || role == QAccessible::Table || role == QAccessible::Tree ||
           role == QAccessible::Chart || role == QAccessible::ComboBox;
}

// What a reader announces as a control: whatever takes the focus, pictures, progress, lists,
// charts, text fields and a widget that paints itself (a plain widget without children). A label
// is its own text, and an empty one says nothing.
bool mustBeNamed(QAccessibleInterface& node) {
    const QAccessible::Role role = node.role();
    if (role == QAccessible::StaticText || role == QAccessible::ScrollBar) return false;
    const bool painted = role == QAccessible::Client && node.childCount() == 0;
    return painted || node.state().focusable || holdsItems(role) || role == QAccessible::Graphic ||
           role == QAccessible::ProgressBar || role == QAccessible::EditableText;
}

// Adds to `faults` each shown control under `node` without a name or with a tool tip but no
// description, and in English each name that
// holds Japanese (a tab strip is named by its tab, whose name is the user's own). Counts the
// controls that must be named in `checked`.
void walk(QAccessibleInterface* node, const QString& path, bool english, QStringList& faults,
          int& checked) {
    if (!node || node->state().invisible) return;
    const QObject* object = node->object();
    const QString where = QStringLiteral("%1/%2(%3)")
                              .arg(path)
                              .arg(node->role(), 0, 16)
                              .arg(object ? QString::fromLatin1(object->metaObject()->className()) +
                                                QLatin1Char(' ') + object->objectName()
                                          : QString());
    const QString name = node->text(QAccessible::Name).trimmed();
    if (mustBeNamed(*node)) ++checked;
    if (mustBeNamed(*node) && name.isEmpty()) faults << where + QStringLiteral(": no name");
    // What only a tool tip tells, a reader must hear as well.
    const auto* widget = qobject_cast<const QWidget*>(object);
    if (widget && !widget->toolTip().isEmpty() && !name.contains(widget->toolTip()) &&
        node->text(QAccessible::Description).isEmpty())
        faults << where + QStringLiteral(": a tool tip without a description");
    const bool tab =
        node->role() == QAccessible::PageTab || node->role() == QAccessible::PageTabList;
    if (english && !tab &&
        lapdex::test::holdsJapanese(name.toStdString(),
                                    lapdex::test::JapaneseForms::KanaAndIdeographs))
        faults << where + QStringLiteral(": Japanese name in English: ") + name;
    // A text field is one control to a reader, whatever Qt puts inside it.
    if (holdsItems(node->role()) || node->role() == QAccessible::EditableText) return;
    for (int i = 0; i < node->childCount(); ++i)
        walk(node->child(i), where, english, faults, checked);
}

// Walks each shown window; a window where the walk met no control at all was not read.
void walkEach(const std::vector<std::pair<QString, QWidget*>>& windows, bool english,
              QStringList& faults) {
    for (const auto& [name, window] : windows) {
        int checked = 0;
        if (window->isVisible())
            walk(QAccessible::queryAccessibleInterface(window), name, english, faults, checked);
        if (checked == 0) faults << name + QStringLiteral(": nothing read");
    }
}

using DialogMaker = std::function<QDialog*()>;

// The dialogs, made in the language shown.
std::vector<std::pair<QString, DialogMaker>> dialogs() {
    return {
        {"touch", [] { return new CTouchDlg(nullptr); }},
        {"download", [] { return new CDownloadDlg(nullptr); }},
        {"read end", [] { return new CReadEndDlg(nullptr); }},
        {"clear end", [] { return new CClearEndDlg(nullptr); }},
        {"no data", [] { return new CNoDataDlg(nullptr); }},
        {"communication error", [] { return new CTransErrDlg(nullptr); }},
        {"stopwatches full", [] { return new CUserFullDlg(nullptr); }},
        {"about", [] { return new CAboutBox(nullptr); }},
        {"name edit", [] { return new CUserIdEdit(nullptr); }},
        {"lap memo", [] { return new CLapMemo(nullptr); }},
        {"run memo", [] { return new CRunMemo(nullptr); }},
        {"month choice",
         [] { return new MonthYearChoice(nullptr, kDay, QDate(2000, 1, 1), QDate(2099, 12, 31)); }},
    };
}

}  // namespace

class Accessibility : public QObject {
    Q_OBJECT
  private slots:
    void cleanup() { texts::setCurrentLanguage(texts::Language::Japanese); }
    void everyControlOfEveryWindowHasAName();
    void calendarReportsItsDays();
    void chartReportsItsBars();
};

void Accessibility::everyControlOfEveryWindowHasAName() {
    ui::test::IndexedFolder folder;
    ui::test::FolderPort port(folder.dataPath());
    port.titles = {"山田", "佐藤"};
    ui::test::FakeDesktop desktop;
    CLapdexDlg window(port, desktop, [](QWidget* parent, PageHost& host) -> StopwatchPage* {
        return new CUserDialog(parent, host);
    });
    auto* page = static_cast<CUserDialog*>(window.page());
    page->setRunIndex(folder.index.get());
    ViewMenu views(window, *folder.queries);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    page->selectDay(kDay);
    page->showDay();
    page->runList()->setCurrentRow(0);
    QVERIFY(page->lapChart()->bars().size() == 4);
    views.showAllRuns();
    views.showRoster();
    views.showTeamDay();
    CTeamDayDlg* team = views.teamDayWindow();
    QTRY_VERIFY(!team->loading());
    team->sessionChoice()->setCurrentIndex(0);  // every session of the day
    QTRY_COMPARE(team->model()->rowCount(), 2);
    team->table()->selectAll();
    team->compareSelected();
    QTRY_COMPARE(team->compareWindow()->isVisible(), true);
    QTRY_VERIFY(!views.allRunsWindow()->searching());

    // The windows stay open while the language changes under them; dialogs are made anew.
    LanguageSwitch language;
    QStringList faults;
    for (const texts::Language shown :
         {texts::Language::Japanese, texts::Language::English, texts::Language::Japanese}) {
        language.apply(shown);
        std::vector<std::pair<QString, QWidget*>> windows = {
            {"main window", &window},
            {"all runs", views.allRunsWindow()},
            {"stopwatch list", views.rosterWindow()},
            {"team day", team},
            {"compare", team->compareWindow()}};
        std::vector<std::unique_ptr<QDialog>> made;
        for (const auto& [name, make] : dialogs()) {
            made.emplace_back(make());
            made.back()->show();
            windows.push_back({name, made.back().get()});
        }
        walkEach(windows, shown == texts::Language::English, faults);
    }
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1Char('\n'))));
    window.shutdown();
}

void Accessibility::calendarReportsItsDays() {
    const struct {
        texts::Language language;
        QDate firstMonth, selected;
        std::vector<QDate> withRuns;
        int days;
        QString selectedName;
    } kCases[] = {
        // A leap February and March.
        {texts::Language::Japanese,
         QDate(2024, 2, 1),
         QDate(2024, 2, 14),
         {QDate(2024, 2, 14), QDate(2024, 3, 3)},
         60,
         QStringLiteral("2024年2月14日 水曜日、走行あり")},
        // Across the turn of the year; the selected day has no runs.
        {texts::Language::English,
         QDate(2024, 12, 1),
         QDate(2025, 1, 3),
         {QDate(2024, 12, 25)},
         62,
         QStringLiteral("Friday, January 3, 2025")},
    };
    for (const auto& c : kCases) {
        texts::setCurrentLanguage(c.language);
        MonthCalendar calendar;
        calendar.resize(calendar.sizeHint() * 2);
        calendar.show();
        QVERIFY(QTest::qWaitForWindowExposed(&calendar));
        calendar.showMonths(c.firstMonth);
        calendar.setSelectedDate(c.selected);
        std::vector<std::uint32_t> masks(static_cast<std::size_t>(calendar.gridMonthCount()), 0);
        const QDate gridStart = calendar.firstGridDate();
        for (const QDate& day : c.withRuns) {
            const int month =
                (day.year() - gridStart.year()) * 12 + day.month() - gridStart.month();
            masks[static_cast<std::size_t>(month)] |= 1u << (day.day() - 1);
        }
        calendar.setDayStates(masks);
        QAccessibleInterface* days = QAccessible::queryAccessibleInterface(&calendar);
        QVERIFY(days);
        QCOMPARE(days->childCount(), c.days);
        QStringList selected;
        int withRuns = 0;
        for (int i = 0; i < days->childCount(); ++i) {
            QAccessibleInterface* day = days->child(i);
            const QString name = day->text(QAccessible::Name);
            const QDate date = c.firstMonth.addDays(i);
            QVERIFY2(name.contains(QString::number(date.day())), qPrintable(name));
            QCOMPARE(name.endsWith(c.language == texts::Language::English ? "runs recorded"
                                                                          : "走行あり"),
                     calendar.isBold(date));
            withRuns += calendar.isBold(date);
            if (day->state().selected) selected << name;
            QCOMPARE(days->indexOfChild(day), i);
        }
        QCOMPARE(withRuns, static_cast<int>(c.withRuns.size()));
        QCOMPARE(selected, QStringList{c.selectedName});
        // A reader's pointer finds the day under it; a key moves the selection it reports.
        const QRect cell = calendar.dayRect(c.selected);
        const QPoint centre = calendar.mapToGlobal(cell.center());
        QAccessibleInterface* under = days->childAt(centre.x(), centre.y());
        QVERIFY(under && under->text(QAccessible::Name) == c.selectedName);
        QTest::keyClick(&calendar, Qt::Key_Right);
        QCOMPARE(days->child(days->indexOfChild(under) + 1)->state().selected, true);
        QCOMPARE(under->state().selected, false);
    }
}

void Accessibility::chartReportsItsBars() {
    const std::vector<ChartBar> bars = {
        {6400, QStringLiteral("00:01'04\"00"), QString()},
        {6200, QStringLiteral("00:01'02\"00"), QStringLiteral("wind")},
        {6600, QStringLiteral("00:01'06\"00"), QString()}};
    const struct {
        texts::Language language;
        int selected;
        QString chartName, chartDescription;
        QStringList names, descriptions;
    } kCases[] = {
        {texts::Language::English,
         1,
         "Lap chart",
         "Average 64.0",
         {"Lap 1: 00:01'04\"00", "Lap 2: 00:01'02\"00", "Lap 3: 00:01'06\"00"},
         {"", "fastest lap, wind", "slowest lap"}},
        {texts::Language::Japanese,
         -1,
         "ラップのグラフ",
         "平均 64.0",
         {"ラップ 1：00:01'04\"00", "ラップ 2：00:01'02\"00", "ラップ 3：00:01'06\"00"},
         {"", "最速ラップ, wind", "最遅ラップ"}},
    };
    for (const auto& c : kCases) {
        texts::setCurrentLanguage(c.language);
        LapChart chart;
        chart.resize(600, 150);
        chart.setBars(bars);
        chart.setSelectedBar(c.selected);
        chart.show();
        QVERIFY(QTest::qWaitForWindowExposed(&chart));
        QAccessibleInterface* plot = QAccessible::queryAccessibleInterface(&chart);
        QVERIFY(plot);
        QCOMPARE(plot->role(), QAccessible::Chart);
        QCOMPARE(plot->text(QAccessible::Name), c.chartName);
        QCOMPARE(plot->text(QAccessible::Description), c.chartDescription);
        QStringList names, descriptions;
        QList<int> selected;
        for (int i = 0; i < plot->childCount(); ++i) {
            names << plot->child(i)->text(QAccessible::Name);
            descriptions << plot->child(i)->text(QAccessible::Description);
            if (plot->child(i)->state().selected) selected << i;
            const QPoint centre = plot->child(i)->rect().center();
            QCOMPARE(plot->childAt(centre.x(), centre.y()), plot->child(i));
        }
        QCOMPARE(names, c.names);
        QCOMPARE(descriptions, c.descriptions);
        QCOMPARE(selected, c.selected < 0 ? QList<int>{} : QList<int>{c.selected});
        // Other bars: the children follow.
        chart.setBars({bars[0]});
        QCOMPARE(plot->childCount(), 1);
    }
}

QTEST_MAIN(Accessibility)
#include "test_accessibility.moc"
