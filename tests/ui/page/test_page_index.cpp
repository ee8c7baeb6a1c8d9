// The page over the run index: the same bold days and day listings as without it, its own
// deletions and memo edits reach the index at once, and a run found elsewhere is shown.
#include <QListWidget>
#include <QTreeWidget>

#include "page_test_support.h"
#include "run_index.h"

using namespace lapdex;
using namespace lapdex::ui;
using namespace lapdex::ui::test;

namespace {

const QDate kDay(2024, 2, 14);

struct IndexedPage {
    PageFixture f;
    QTemporaryDir cache;
    std::unique_ptr<RunIndex> index;

    void openIndex() {
        index = std::make_unique<RunIndex>(systemFileSystem(), f.data.path(),
                                           cache.path().toStdString() + "/runs.sqlite");
        // Ahead of the runs just written, so they count as settled and the index answers the page
        // itself once it has compared the folder.
        index->useClock([] { return wallClockNs() + 60'000'000'000; });
        QVERIFY(index->open());
        QVERIFY(index->refreshAll({{"QTM-01", kSerial, "QTM-01", {}}}));
        f.page->setRunIndex(index.get());
    }
    std::vector<std::string> indexedRunsOf(QDate day) {
        return index
            ->runsOfDay(f.data.folder(), QString("QTM%1").arg(day.toString("yyMMdd")).toStdString())
            .value();
    }
};

}  // namespace

class PageIndex : public QObject {
    Q_OBJECT
  private slots:
    void marksAndListsAsTheScanDoes() {
        IndexedPage indexed;
        PageFixture scanned;
        for (QDate d : {QDate(2023, 12, 31), QDate(2024, 1, 5), QDate(2024, 2, 29),
                        QDate(2024, 3, 9), kDay}) {
            for (PageFixture* f : {&indexed.f, &scanned}) f->data.write(clockRun(d, 9, 0, 0));
        }
        for (int hour : {7, 11, 15}) {
            for (PageFixture* f : {&indexed.f, &scanned})
                f->data.write(clockRun(kDay, hour, 5, 0, hour / 3));
        }
        indexed.openIndex();
        for (PageFixture* f : {&indexed.f, &scanned}) {
            f->page->initialisePage();
            f->pickDay(kDay, QDate(2024, 1, 1));
        }
        for (QDate d = QDate(2023, 12, 25); d <= QDate(2024, 3, 15); d = d.addDays(1))
            QCOMPARE(indexed.f.page->calendar()->isBold(d), scanned.page->calendar()->isBold(d));
        QCOMPARE(indexed.f.page->content().runLines, scanned.page->content().runLines);
        QCOMPARE(indexed.f.page->runList()->count(), 4);
    }

    void deletionAndMemoReachTheIndex() {
        IndexedPage indexed;
        indexed.f.data.write(clockRun(kDay, 9, 0, 0));
        indexed.f.data.write(clockRun(kDay, 10, 0, 0));
        indexed.openIndex();
        indexed.f.page->initialisePage();
        indexed.f.pickDay(kDay);
        indexed.f.answerDialogsWith(QStringLiteral("坂道ダッシュ"));
        indexed.f.page->editRunMemo();
        RunQuery query;
        query.words = {"坂道"};
        QCOMPARE(indexed.index->search(query)->size(), std::size_t(1));
        indexed.f.page->deleteSelectedRun();
        QCOMPARE(indexed.indexedRunsOf(kDay).size(), std::size_t(1));
        QVERIFY(indexed.index->search(query)->empty());
    }

    void showRunSelectsTheRunOnItsDay() {
        IndexedPage indexed;
        indexed.f.data.write(clockRun(kDay, 9, 0, 0, 3));
        const std::string wanted = indexed.f.data.write(clockRun(kDay, 12, 30, 0, 5));
        indexed.f.data.write(clockRun(kDay.addDays(-20), 8, 0, 0));
        indexed.openIndex();
        indexed.f.page->initialisePage();
        indexed.f.pickDay(kDay.addDays(-20));
        indexed.f.page->showRun(kDay, wanted.substr(wanted.rfind('/') + 1));
        QCoreApplication::sendPostedEvents(indexed.f.page.get());
        CUserDialog& page = *indexed.f.page;
        QCOMPARE(page.selectedDate(), kDay);
        QCOMPARE(page.calendar()->selectedDate(), kDay);
        QCOMPARE(page.runPaths().at(static_cast<std::size_t>(page.selectedRun())), wanted);
        QCOMPARE(page.runList()->currentItem()->text(), QStringLiteral("2024/02/14   12:30:00"));
        QCOMPARE(page.lapList()->topLevelItemCount(), 5);
        QVERIFY(page.calendar()->isBold(kDay));
    }
};

QTEST_MAIN(PageIndex)
#include "test_page_index.moc"
