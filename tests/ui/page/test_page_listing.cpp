// The page's listing: its layout after initialisation, bold days, the runs of a day, run
// selection, read failures and the reloads the window asks for.
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QTreeWidget>
#include <map>

#include "page_test_support.h"

using namespace lapdex;
using namespace lapdex::ui;
using namespace lapdex::ui::test;

namespace {

const QDate kDay(2024, 2, 14);

QString labelText(const CUserDialog& page, int id) {
    return qobject_cast<QLabel*>(page.control(id))->text();
}

}  // namespace

class PageListing : public QObject {
    Q_OBJECT
  private slots:
    void initialisationLaysOutThePage();
    void otherResolutionsKeepTheTemplatePlace();
    void boldDaysMatchTheFiles();
    void noStopwatchMarksNoDay();
    void dayListingShowsTheFirstRun();
    void dayWithoutRunsEmptiesEverything();
    void selectingARunShowsItsLapsWithoutRereadingTheSelectedOne();
    void unreadableRunReportsAndEmptiesTheDetails();
    void reloadKeepsTheSelectedRunWhereverItIsListed();
    void stopwatchChangeStartsAtTheFirstRun();
    void summaryWithoutMemoDropsThePreviousMemo();
};

void PageListing::initialisationLaysOutThePage() {
    PageFixture f;
    f.page->initialisePage();
    CUserDialog& page = *f.page;
    // The 96 dpi place for Japan, kept inside the calendar's group box and off the run list.
    const QRect table(30, 39, 441, 176);
    const QRect placed = page.calendar()->geometry();
    QCOMPARE(placed.topLeft(), table.topLeft());
    QVERIFY(table.contains(placed));
    QVERIFY(page.findChild<QGroupBox*>(QStringLiteral("static0"))->geometry().contains(placed));
    QVERIFY(!placed.intersects(page.runList()->geometry()));
    QVERIFY(!placed.intersects(page.control(kPageAllData)->geometry()));
    QCOMPARE(page.calendar()->minimumDate(), QDate(2000, 1, 1));
    QCOMPARE(page.calendar()->maximumDate(), QDate(2099, 12, 31));
    // The previous and the current month are shown, today selected.
    const QDate today = QDate::currentDate();
    QCOMPARE(page.calendar()->firstShownMonth(), monthStart(today).addMonths(-1));
    QCOMPARE(page.calendar()->selectedDate(), today);
    QCOMPARE(page.selectedDate(), today);
    QTreeWidget* laps = page.lapList();
    QCOMPARE(laps->headerItem()->text(3), QStringLiteral("ラップメモ（20文字まで）"));
    QCOMPARE(laps->headerItem()->text(1), QStringLiteral("ラップ"));
    QCOMPARE(laps->columnWidth(0), 32);
    QCOMPARE(laps->columnWidth(2), 82);
    // The memo column reaches the right edge of the list's viewport.
    page.show();
    QVERIFY(QTest::qWaitForWindowExposed(&page));
    QTRY_COMPARE(laps->header()->sectionViewportPosition(3) + laps->columnWidth(3),
                 laps->viewport()->width());
    QVERIFY(laps->columnWidth(3) >= laps->width() - 2 * laps->frameWidth() - 32 - 82 - 82 - 26);
    QCOMPARE(laps->selectionBehavior(), QAbstractItemView::SelectRows);
    // The design-time texts are gone after the first push.
    QCOMPARE(labelText(page, kPageTotalTime), QString());
    QCOMPARE(labelText(page, kPageLapCount), QString());
    QCOMPARE(page.memoBox()->palette().color(QPalette::Base), QColor(Qt::white));
    QVERIFY(page.memoBox()->isReadOnly());
}

void PageListing::otherResolutionsKeepTheTemplatePlace() {
    DataFolder data;
    ScriptedHost host(data.path());
    CUserDialog page(nullptr, host, systemFileSystem(), ScreenFacts{110, false, false});
    page.initialisePage();
    const DialogUnits units(page.font());
    QCOMPARE(page.calendar()->geometry(), units.toPixels(QRect(9, 18, 269, 85)));
    // 110 / 96 scales the fixed columns.
    QCOMPARE(page.lapList()->columnWidth(0), 36);
    QCOMPARE(page.lapList()->columnWidth(1), 93);
}

void PageListing::boldDaysMatchTheFiles() {
    PageFixture f;
    // January and February 2024 shown; the grid starts on 31 December and ends on 9 March.
    for (QDate d : {QDate(2023, 12, 31), QDate(2024, 1, 5), QDate(2024, 2, 29), QDate(2024, 3, 9),
                    QDate(2024, 3, 10), QDate(2023, 12, 30)})
        f.data.write(clockRun(d, 9, 0, 0));
    f.page->initialisePage();
    f.pickDay(kDay, QDate(2024, 1, 1));
    const MonthCalendar& calendar = *f.page->calendar();
    QVERIFY(calendar.isBold(QDate(2023, 12, 31)));
    QVERIFY(calendar.isBold(QDate(2024, 1, 5)));
    QVERIFY(calendar.isBold(QDate(2024, 2, 29)));
    QVERIFY(calendar.isBold(QDate(2024, 3, 9)));
    QVERIFY(!calendar.isBold(QDate(2024, 3, 10)));  // beyond the grid
    QVERIFY(!calendar.isBold(QDate(2023, 12, 30)));
    QVERIFY(!calendar.isBold(kDay));
    // Deleting the only run of a day unmarks it.
    f.pickDay(QDate(2024, 1, 5), QDate(2024, 1, 1));
    f.page->deleteSelectedRun();
    QVERIFY(!f.page->calendar()->isBold(QDate(2024, 1, 5)));
}

void PageListing::noStopwatchMarksNoDay() {
    PageFixture f;
    f.data.write(clockRun(kDay, 9, 0, 0));
    f.host.registered = 0;
    f.page->initialisePage();
    f.pickDay(kDay);
    QVERIFY(!f.page->calendar()->isBold(kDay));
}

void PageListing::dayListingShowsTheFirstRun() {
    PageFixture f;
    f.data.write(clockRun(kDay, 9, 30, 15, 3));
    f.data.write(clockRun(kDay, 10, 0, 0, 2));
    f.data.write(clockRun(kDay.addDays(1), 9, 30, 15));
    f.page->initialisePage();
    f.pickDay(kDay);
    CUserDialog& page = *f.page;
    QCOMPARE(page.runList()->count(), 2);
    QCOMPARE(page.runPaths().size(), std::size_t(2));
    QVERIFY(page.content().runLines.contains(QStringLiteral("2024/02/14   09:30:15")));
    QCOMPARE(page.selectedRun(), 0);
    QCOMPARE(page.runList()->currentRow(), 0);
    // The details are those of the first listed run.
    const bool firstIsLong = page.content().runLines[0].endsWith("09:30:15");
    QCOMPARE(page.lapList()->topLevelItemCount(), firstIsLong ? 3 : 2);
    QCOMPARE(labelText(page, kPageLapCount),
             firstIsLong ? QStringLiteral("3") : QStringLiteral("2"));
    QCOMPARE(page.lapList()->topLevelItem(0)->text(1), QStringLiteral("00:01'10\"51"));
    QCOMPARE(labelText(page, kPageBestLapTime), QStringLiteral("00:01'10\"51"));
    QVERIFY(page.runLoaded());
}

void PageListing::dayWithoutRunsEmptiesEverything() {
    PageFixture f;
    f.data.write(clockRun(kDay, 9, 30, 15));
    f.page->initialisePage();
    f.pickDay(kDay);
    QVERIFY(f.page->runLoaded());
    f.pickDay(kDay.addDays(1));
    CUserDialog& page = *f.page;
    QCOMPARE(page.runList()->count(), 0);
    QVERIFY(page.runPaths().empty());
    QCOMPARE(page.lapList()->topLevelItemCount(), 0);
    for (int id :
         {kPageTotalTime, kPageLapCount, kPageBestLapNumber, kPageBestLapTime, kPageAverageLapTime})
        QCOMPARE(labelText(page, id), QString());
    QCOMPARE(page.memoBox()->toPlainText(), QString());
    QVERIFY(!page.runLoaded());
    page.deleteSelectedRun();
    QCOMPARE(f.host.pauses, 0);
    QVERIFY(f.host.questions.empty());
}

void PageListing::selectingARunShowsItsLapsWithoutRereadingTheSelectedOne() {
    PageFixture f;
    f.data.write(clockRun(kDay, 9, 30, 15, 3));
    f.data.write(clockRun(kDay, 10, 0, 0, 5));
    f.page->initialisePage();
    f.pickDay(kDay);
    CUserDialog& page = *f.page;
    const int other = 1 - page.selectedRun();
    page.runList()->setCurrentRow(other);
    QCOMPARE(page.selectedRun(), other);
    const std::string path = page.runPaths()[static_cast<std::size_t>(other)];
    const int reads = f.fs.reads[path];
    QCOMPARE(page.lapList()->topLevelItemCount(),
             page.content().runLines[other].endsWith("10:00:00") ? 5 : 3);
    // The list notifies again for the same line: the file is not read again.
    page.runSelectionChanged();
    QCOMPARE(f.fs.reads[path], reads);
    QCOMPARE(f.host.pauses, 0);
}

void PageListing::unreadableRunReportsAndEmptiesTheDetails() {
    PageFixture f;
    f.data.write(clockRun(kDay, 9, 30, 15));
    f.data.write(clockRun(kDay, 10, 0, 0));
    f.page->initialisePage();
    f.pickDay(kDay);
    CUserDialog& page = *f.page;
    const auto lock = f.fs.holdLock(page.runPaths()[1], LockMode::Exclusive);
    QVERIFY(lock);
    page.runList()->setCurrentRow(1);
    QCOMPARE(f.host.errors.size(), std::size_t(1));
    QCOMPARE(
        QString::fromStdString(f.host.errors[0]),
        QStringLiteral(
            "\"%1\"の読み込みに失敗しました。\n対象のファイルを開いていないか確認してください。")
            .arg(page.content().runLines[1]));
    QCOMPARE(f.host.errorsWhilePaused, 1);
    QCOMPARE(f.host.resumes, 1);
    QCOMPARE(page.runList()->currentRow(), 1);
    QCOMPARE(page.lapList()->topLevelItemCount(), 0);
    QCOMPARE(labelText(page, kPageTotalTime), QString());
    QVERIFY(!page.runLoaded());
}

// A reload (after a download or a memo edit) keeps the day and the selected run itself, wherever
// the folder's new listing puts it: the file system's order is no order the page may rely on.
void PageListing::reloadKeepsTheSelectedRunWhereverItIsListed() {
    const struct {
        const char* name;
        bool addRun;   // the download adds a run
        bool reverse;  // the folder is listed the other way round afterwards
    } kCases[] = {{"run added", true, false}, {"order changed", false, true}, {"both", true, true}};
    for (const auto& c : kCases) {
        PageFixture f;
        // Each run has a lap count of its own, so the laps shown name the run.
        const std::map<QString, int> laps{{"09:30:15", 3}, {"10:00:00", 5}, {"10:30:00", 6}};
        for (const auto& [time, count] : laps)
            f.data.write(clockRun(kDay, time.left(2).toInt(), time.mid(3, 2).toInt(),
                                  time.right(2).toInt(), count));
        f.page->initialisePage();
        f.pickDay(kDay);
        CUserDialog& page = *f.page;
        page.runList()->setCurrentRow(0);
        const QString chosen = page.content().runLines[0].right(8);
        if (c.addRun) f.data.write(clockRun(kDay, 11, 0, 0, 4));
        f.fs.reverseListings = c.reverse;
        QCoreApplication::postEvent(&page, new MessageEvent(PAGE_DATA_CHANGED));
        QCoreApplication::sendPostedEvents(&page);
        QVERIFY2(page.selectedDate() == kDay, c.name);
        QVERIFY2(page.calendar()->selectedDate() == kDay, c.name);
        QVERIFY2(page.runList()->count() == (c.addRun ? 4 : 3), c.name);
        const int row = f.runIndexOf(chosen);
        QVERIFY2(page.selectedRun() == row && page.runList()->currentRow() == row, c.name);
        QVERIFY2(page.lapList()->topLevelItemCount() == laps.at(chosen), c.name);
        QVERIFY2(f.host.batteryRefreshes == 1, c.name);
        QVERIFY(page.calendar()->isBold(kDay));
    }
}

void PageListing::stopwatchChangeStartsAtTheFirstRun() {
    PageFixture f;
    f.data.write(clockRun(kDay, 9, 30, 15));
    f.data.write(clockRun(kDay, 10, 0, 0));
    f.page->initialisePage();
    f.pickDay(kDay);
    f.page->runList()->setCurrentRow(1);
    f.page->handlePageMessage(PAGE_STOPWATCH_CHANGED);
    QCOMPARE(f.page->selectedRun(), 0);
    QCOMPARE(f.page->runList()->currentRow(), 0);
    QCOMPARE(f.page->selectedDate(), kDay);
    QCOMPARE(f.host.batteryRefreshes, 0);
}

void PageListing::summaryWithoutMemoDropsThePreviousMemo() {
    PageFixture f;
    const std::string withMemo = f.data.write(clockRun(kDay, 9, 30, 15));
    QVERIFY(rewriteMemo(systemFileSystem(), withMemo, "first memo", MemoKind::Run, 0).ok());
    // A summary line that a spreadsheet saved without its memo cell.
    const std::string bare = f.data.folder() + "/QTM240214_100000_" + kSerial + ".csv";
    const std::string text =
        "a\r\nb\r\nc\r\n\r\nh\r\n2024/02/14   10:00:00,00:01:10.51,1,1,00:01:10.51,00:01:10.51\r\n"
        "\r\nh\r\n1,00:01:10.51,00:01:10.51,\r\n";
    QVERIFY(systemFileSystem().writeFileAtomic(bare, text, Existing::Refuse).ok());
    f.page->initialisePage();
    f.pickDay(kDay);
    const int memoRun = f.runIndexOf("09:30:15");
    f.page->runList()->setCurrentRow(memoRun);
    QCOMPARE(f.page->memoBox()->toPlainText(), QStringLiteral("first memo"));
    f.page->runList()->setCurrentRow(1 - memoRun);
    QCOMPARE(f.page->memoBox()->toPlainText(), QString());
    QVERIFY(!f.page->runLoaded());
    QCOMPARE(f.page->lapList()->topLevelItemCount(), 1);
}

QTEST_MAIN(PageListing)
#include "test_page_listing.moc"
