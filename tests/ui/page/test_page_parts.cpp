// The page's parts on their own: time display, the cell store's ordinal rule, the screen
// tables and the two-month calendar.
#include <QComboBox>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTest>

#include "display_time.h"
#include "month_calendar.h"
#include "bilingual_text.h"
#include "month_year_choice.h"
#include "page_cells.h"
#include "page_metrics.h"

using namespace lapdex::ui;

class PageParts : public QObject {
    Q_OBJECT
private slots:
    void displayTimeForms_data();
    void displayTimeForms();
    void cellStoreFollowsTheOrdinalRule();
    void cellStoreCutsMemosAndKeepsCounts();
    void calendarPlacementTable();
    void lapColumnsScaleWithTheResolution();
    void calendarShowsTheRangeAroundTwoMonths();
    void calendarNavigationMovesViewAndSelection();
    void calendarStaysWithinItsLimits();
    void calendarBoldDaysFollowTheMasks();
    void calendarClickSelectsOnlyShownDays();
    void calendarAndMonthChoiceFollowTheLanguage();
    void cleanup();
};

void PageParts::displayTimeForms_data() {
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("shown");
    QTest::newRow("clock") << "00:01:04.70" << "00:01'04\"70";
    QTest::newRow("long hours") << "123:59:59.99" << "123:59'59\"99";
    QTest::newRow("decimal minute") << "12.345" << "12'345";
    QTest::newRow("padded decimal") << "001.500" << "001'500";
    QTest::newRow("one colon") << "01:02.03" << "01:02.03";
    QTest::newRow("no point after second colon") << "00:01:04" << "00:01:04";
    QTest::newRow("point before second colon") << "00.1:04" << "00.1:04";
    QTest::newRow("plain number") << "4" << "4";
    QTest::newRow("empty") << "" << "";
}

void PageParts::displayTimeForms() {
    QFETCH(QString, stored);
    QFETCH(QString, shown);
    QCOMPARE(displayTime(stored), shown);
}

void PageParts::cellStoreFollowsTheOrdinalRule() {
    PageContent content;
    int selectedRun = 1;
    PageCellStore store(content, selectedRun);
    for (int ordinal = 1; ordinal <= 3; ++ordinal) {
        const std::string n = std::to_string(ordinal);
        store.storeCell(0, 0, "2024/01/3" + n + "   09:30:15", ordinal);
        store.storeCell(0, 1, "00:00:0" + n + ".00", ordinal);
        store.storeCell(0, 6, "memo " + n, ordinal);
        store.storeCell(1, 0, "1", ordinal);
        store.storeCell(1, 1, "00:00:0" + n + ".50", ordinal);
    }
    QCOMPARE(content.runLines.size(), 3);
    QCOMPARE(content.runLines[2], QStringLiteral("2024/01/33   09:30:15"));
    // Only the run at ordinal selectedRun + 1 fills the details.
    QCOMPARE(content.texts[kTotalTime], QStringLiteral("00:00'02\"00"));
    QCOMPARE(content.texts[kMemo], QStringLiteral("memo 2"));
    QCOMPARE(content.laps.size(), std::size_t(1));
    QCOMPARE(content.laps[0].lap, QStringLiteral("00:00'02\"50"));
    QVERIFY(content.runLoaded);

    // A single run read for display (ordinal -1) fills the details but adds no run line.
    PageContent single;
    PageCellStore direct(single, selectedRun);
    direct.storeCell(0, 0, "2024/02/01   10:00:00", -1);
    direct.storeCell(0, 2, "7", -1);
    QVERIFY(single.runLines.isEmpty());
    QCOMPARE(single.texts[kLapCount], QStringLiteral("7"));
    QVERIFY(!single.runLoaded);
}

void PageParts::cellStoreCutsMemosAndKeepsCounts() {
    PageContent content;
    int selectedRun = 0;
    PageCellStore store(content, selectedRun);
    store.storeCell(0, 2, "12", -1);
    store.storeCell(0, 3, "3", -1);
    store.storeCell(0, 5, "001.500", -1);
    store.storeCell(0, 6, std::string(250, 'm'), -1);
    store.storeCell(1, 0, "1", -1);
    store.storeCell(1, 3, "あいうえおかきくけこさしすせそたちつてとなにぬ", -1);
    store.storeCell(1, 7, "ignored", -1);
    store.storeCell(2, 2, "no row 2 yet", -1);
    QCOMPARE(content.texts[kLapCount], QStringLiteral("12"));
    QCOMPARE(content.texts[kBestLapNumber], QStringLiteral("3"));
    QCOMPARE(content.texts[kAverageLapTime], QStringLiteral("001'500"));
    QCOMPARE(content.texts[kMemo].size(), 200);
    QCOMPARE(content.laps.size(), std::size_t(1));
    QCOMPARE(content.laps[0].memo, QStringLiteral("あいうえおかきくけこさしすせそたちつてと"));
}

void PageParts::calendarPlacementTable() {
    QCOMPARE(calendarPlacement({96, true, true}), std::optional<QRect>(QRect(30, 39, 441, 176)));
    QCOMPARE(calendarPlacement({96, true, false}), std::optional<QRect>(QRect(23, 39, 455, 176)));
    QCOMPARE(calendarPlacement({120, false, true}), std::optional<QRect>(QRect(30, 51, 514, 197)));
    QCOMPARE(calendarPlacement({120, false, false}), std::optional<QRect>(QRect(17, 53, 539, 193)));
    QCOMPARE(calendarPlacement({144, false, false}), std::optional<QRect>(QRect(47, 63, 623, 233)));
    QCOMPARE(calendarPlacement({110, true, true}), std::nullopt);
    QCOMPARE(calendarPlacement({0, true, true}), std::nullopt);
}

void PageParts::lapColumnsScaleWithTheResolution() {
    QCOMPARE(screenScale(0), 1.0);
    QCOMPARE(screenScale(144), 1.5);
    QCOMPARE(lapColumnWidths(1.0, 400), (std::array<int, 4>{32, 82, 82, 178}));
    // 32 × 1.3 = 41.6 and 82 × 1.3 = 106.6 are truncated.
    QCOMPARE(lapColumnWidths(1.3, 500), (std::array<int, 4>{41, 106, 106, 221}));
    QCOMPARE(lapColumnWidths(1.0, 100)[3], 0);
}

void PageParts::calendarShowsTheRangeAroundTwoMonths() {
    MonthCalendar calendar;
    calendar.setSelectedDate(QDate(2024, 1, 1));
    calendar.setSelectedDate(QDate(2024, 2, 14));
    // January 2024 starts on a Monday: one leading day of December is in the grid.
    QCOMPARE(calendar.firstShownMonth(), QDate(2024, 1, 1));
    QCOMPARE(calendar.firstGridDate(), QDate(2023, 12, 31));
    QCOMPARE(calendar.lastGridDate(), QDate(2024, 3, 9));
    QCOMPARE(calendar.gridMonthCount(), 4);
    QCOMPARE(calendar.monthTitle(1), QStringLiteral("2024年2月"));
    // September 2024 starts on a Sunday: no month before it is in the range.
    calendar.setSelectedDate(QDate(2024, 10, 1));
    QCOMPARE(calendar.firstShownMonth(), QDate(2024, 9, 1));
    QCOMPARE(calendar.firstGridDate(), QDate(2024, 9, 1));
    QCOMPARE(calendar.gridMonthCount(), 3);
}

void PageParts::calendarNavigationMovesViewAndSelection() {
    MonthCalendar calendar;
    calendar.setSelectedDate(QDate(2024, 1, 31));
    QSignalSpy selection(&calendar, &MonthCalendar::selectionChanged);
    QSignalSpy states(&calendar, &MonthCalendar::dayStatesNeeded);
    calendar.showNextMonths();
    QCOMPARE(calendar.firstShownMonth(), QDate(2024, 3, 1));
    QCOMPARE(calendar.selectedDate(), QDate(2024, 3, 31));
    QCOMPARE(selection.count(), 1);
    QCOMPARE(states.count(), 1);
    calendar.showPreviousMonths();
    calendar.showPreviousMonths();
    QCOMPARE(calendar.firstShownMonth(), QDate(2023, 11, 1));
    QCOMPARE(calendar.selectedDate(), QDate(2023, 11, 30));
    // Keys move the selection and scroll only when it leaves the shown months.
    QTest::keyClick(&calendar, Qt::Key_Right);
    QCOMPARE(calendar.selectedDate(), QDate(2023, 12, 1));
    QCOMPARE(calendar.firstShownMonth(), QDate(2023, 11, 1));
    QCOMPARE(states.count(), 3);
    QTest::keyClick(&calendar, Qt::Key_PageDown);
    QCOMPARE(calendar.firstShownMonth(), QDate(2023, 12, 1));
    QCOMPARE(states.count(), 4);
}

void PageParts::calendarStaysWithinItsLimits() {
    MonthCalendar calendar;
    calendar.setDateRange(QDate(2000, 1, 1), QDate(2099, 12, 31));
    calendar.setSelectedDate(QDate(2099, 12, 20));
    QCOMPARE(calendar.firstShownMonth(), QDate(2099, 11, 1));
    QSignalSpy selection(&calendar, &MonthCalendar::selectionChanged);
    calendar.showNextMonths();
    QCOMPARE(calendar.firstShownMonth(), QDate(2099, 11, 1));
    QCOMPARE(selection.count(), 0);
    QTest::keyClick(&calendar, Qt::Key_Down);
    QCOMPARE(calendar.selectedDate(), QDate(2099, 12, 27));
    QTest::keyClick(&calendar, Qt::Key_Down);
    QCOMPARE(calendar.selectedDate(), QDate(2099, 12, 31));
    calendar.setSelectedDate(QDate(1999, 5, 5));
    QCOMPARE(calendar.selectedDate(), QDate(2000, 1, 1));
    QCOMPARE(calendar.firstShownMonth(), QDate(2000, 1, 1));
    calendar.showPreviousMonths();
    QCOMPARE(calendar.firstShownMonth(), QDate(2000, 1, 1));
}

void PageParts::calendarBoldDaysFollowTheMasks() {
    MonthCalendar calendar;
    calendar.setSelectedDate(QDate(2024, 1, 10));
    calendar.setSelectedDate(QDate(2024, 2, 10));
    // Months of the range: December 2023 (partly), January, February, March 2024 (partly).
    calendar.setDayStates({1u << 30, 1u << 0, (1u << 28) | (1u << 13), 1u << 8});
    QVERIFY(calendar.isBold(QDate(2023, 12, 31)));
    QVERIFY(calendar.isBold(QDate(2024, 1, 1)));
    QVERIFY(!calendar.isBold(QDate(2024, 1, 2)));
    QVERIFY(calendar.isBold(QDate(2024, 2, 14)));
    QVERIFY(calendar.isBold(QDate(2024, 2, 29)));
    QVERIFY(calendar.isBold(QDate(2024, 3, 9)));
    QVERIFY(!calendar.isBold(QDate(2024, 4, 9)));
}

void PageParts::calendarClickSelectsOnlyShownDays() {
    MonthCalendar calendar;
    calendar.resize(440, 170);
    calendar.setSelectedDate(QDate(2024, 1, 10));
    calendar.setSelectedDate(QDate(2024, 2, 10));
    QSignalSpy selection(&calendar, &MonthCalendar::selectionChanged);
    const QRect cell = calendar.dayRect(QDate(2024, 2, 14));
    QVERIFY(cell.isValid());
    QVERIFY(cell.left() >= calendar.width() / 2);
    QTest::mouseClick(&calendar, Qt::LeftButton, {}, cell.center());
    QCOMPARE(calendar.selectedDate(), QDate(2024, 2, 14));
    QCOMPARE(selection.count(), 1);
    // Neighbouring months' days have no cell; clicking where they would be does nothing.
    QVERIFY(calendar.dayRect(QDate(2023, 12, 31)).isNull());
    const QRect firstJanuary = calendar.dayRect(QDate(2024, 1, 1));
    QTest::mouseClick(&calendar, Qt::LeftButton, {}, firstJanuary.center() - QPoint(firstJanuary.width(), 0));
    QCOMPARE(calendar.selectedDate(), QDate(2024, 2, 14));
    QTest::mouseClick(&calendar, Qt::LeftButton, {}, calendar.nextButtonRect().center());
    QCOMPARE(calendar.firstShownMonth(), QDate(2024, 3, 1));
    QCOMPARE(calendar.selectedDate(), QDate(2024, 4, 14));
}

void PageParts::cleanup() { lapdex::texts::setCurrentLanguage(lapdex::texts::Language::Japanese); }

// The calendar repaints its names on a language change; the month choice opens in the language
// shown.
void PageParts::calendarAndMonthChoiceFollowTheLanguage() {
    MonthCalendar calendar;
    calendar.setDateRange(QDate(2024, 1, 1), QDate(2024, 12, 31));
    calendar.setSelectedDate(QDate(2024, 3, 5));
    const QString japanese = calendar.monthTitle(0);
    QVERIFY(japanese == QStringLiteral("2024年2月") || japanese == QStringLiteral("2024年3月"));
    lapdex::texts::setCurrentLanguage(lapdex::texts::Language::English);
    QEvent change(QEvent::LanguageChange);
    QCoreApplication::sendEvent(&calendar, &change);
    QCOMPARE(calendar.monthTitle(0), japanese.endsWith(QStringLiteral("2月")) ? QStringLiteral("February 2024")
                                                                             : QStringLiteral("March 2024"));
    MonthYearChoice english(nullptr, QDate(2024, 3, 1), QDate(2020, 1, 1), QDate(2030, 12, 31));
    QCOMPARE(english.monthBox()->itemText(0), QStringLiteral("January"));
    QCOMPARE(english.monthBox()->currentText(), QStringLiteral("March"));
    QCOMPARE(english.yearBox()->text(), QStringLiteral("2024"));
    QCOMPARE(english.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Cancel)->text(), QStringLiteral("Cancel"));

    lapdex::texts::setCurrentLanguage(lapdex::texts::Language::Japanese);
    QCoreApplication::sendEvent(&calendar, &change);
    QCOMPARE(calendar.monthTitle(0), japanese);
    MonthYearChoice choice(nullptr, QDate(2024, 3, 1), QDate(2020, 1, 1), QDate(2030, 12, 31));
    QCOMPARE(choice.monthBox()->currentText(), QStringLiteral("3月"));
    QCOMPARE(choice.yearBox()->text(), QStringLiteral("2024年"));
    QCOMPARE(choice.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Cancel)->text(), QStringLiteral("キャンセル"));
}

QTEST_MAIN(PageParts)
#include "test_page_parts.moc"
