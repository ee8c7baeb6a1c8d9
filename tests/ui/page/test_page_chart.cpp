// The lap chart: how its bars and labels thin out, and how the page feeds it and keeps its
// selection the same as the lap list's.
#include <QListWidget>
#include <QTreeWidget>

#include "bilingual_text.h"
#include "lap_chart.h"
#include "page_test_support.h"
#include "run_index.h"
#include "run_query_worker.h"

using namespace lapdex;
using namespace lapdex::ui;
using namespace lapdex::ui::test;

namespace {

const QDate kDay(2024, 2, 14);

// A run of `laps` laps of `lapCs` hundredths each.
RunRecord evenRun(QDate date, int hour, int laps, std::uint32_t lapCs) {
    RunRecord run = clockRun(date, hour, 0, 0, laps);
    for (int i = 0; i < laps; ++i) {
        const std::uint32_t split = lapCs * static_cast<std::uint32_t>(i + 1);
        run.laps[i].lap = {0, lapCs / 6000, lapCs / 100 % 60, lapCs % 100, 0};
        run.laps[i].split = {0, split / 6000, split / 100 % 60, split % 100, 0};
    }
    run.total = run.laps.back().split;
    run.bestLap = run.averageLap = run.laps[0].lap;
    return run;
}

// The centre of bar `index` in the chart's coordinates.
QPoint barCentre(const LapChart& chart, int index) {
    const QRect plot = chart.plotArea();
    const ChartLayout layout = chart.layoutNow();
    return {plot.left() + static_cast<int>((index + 0.5) * layout.slotWidth), plot.bottom() - 2};
}

}  // namespace

class PageChart : public QObject {
    Q_OBJECT
  private slots:
    void layoutThinsBarsAndLabels();
    void marksBestSlowestAndZeroLaps();
    void followsTheSelectedRun();
    void selectionGoesBothWays();
    void toolTipsShowTimeAndMemo();
    void emptyAndHugeRunsDraw();
    void runsThatSetABestAreMarked();
    void textsFollowTheLanguage();
};

void PageChart::layoutThinsBarsAndLabels() {
    const struct {
        int bars, width, labelWidth;
        double slot;
        int barWidth, step;
    } kCases[] = {
        {1, 600, 10, 600, 420, 1},     // one lap: one wide bar
        {10, 600, 10, 60, 42, 1},      // every number fits
        {60, 600, 14, 10, 7, 2},       // every second number
        {300, 600, 21, 2, 2, 20},      // slots too thin for a gap: all bar
        {1000, 300, 28, 0.3, 1, 200},  // bars share pixels, one label per 200 laps
        {0, 600, 10, 0, 0, 1},         // nothing to lay out
    };
    for (const auto& c : kCases) {
        const ChartLayout layout = chartLayout(c.bars, c.width, c.labelWidth);
        QCOMPARE(layout.slotWidth, c.slot);
        QCOMPARE(layout.barWidth, c.barWidth);
        QCOMPARE(layout.labelStep, c.step);
        // Written labels never overlap: a step's worth of slots holds a label and a gap.
        if (c.bars > layout.labelStep)
            QVERIFY(layout.labelStep * layout.slotWidth >= c.labelWidth + 4);
    }
}

void PageChart::marksBestSlowestAndZeroLaps() {
    LapChart chart;
    chart.setBars(
        {{7050, "a", ""}, {6470, "b", ""}, {7100, "c", ""}, {6470, "d", ""}, {-1, "", ""}});
    QCOMPARE(chart.bestBar(), 1);  // the earlier of two equal fastest
    QCOMPARE(chart.slowestBar(), 2);
    // Bars stand on zero: a lap 2 % slower stands 2 % higher, not several times as high.
    chart.setBars({{6000, "", ""}, {6120, "", ""}});
    const int fast = chart.barHeight(6000, 1000);
    const int slow = chart.barHeight(6120, 1000);
    QVERIFY2(slow > fast && slow * 100 <= fast * 103,
             qPrintable(QStringLiteral("%1 / %2").arg(slow).arg(fast)));
    chart.setBars({{0, "", ""}, {6000, "", ""}});
    QCOMPARE(chart.bestBar(), 0);  // a zero lap is a lap, and the fastest
    QCOMPARE(chart.barHeight(0, 1000), 0);
    chart.setBars({{-1, "", ""}});
    QCOMPARE(chart.bestBar(), -1);
    QCOMPARE(chart.slowestBar(), -1);
}

void PageChart::followsTheSelectedRun() {
    PageFixture f;
    f.data.write(clockRun(kDay, 9, 0, 0, 3));
    f.data.write(clockRun(kDay, 10, 0, 0, 5));
    f.page->initialisePage();
    f.pickDay(kDay);
    LapChart* chart = f.page->lapChart();
    QVERIFY(chart);
    f.page->runList()->setCurrentRow(f.runIndexOf(QStringLiteral("09:00:00")));
    QCOMPARE(chart->bars().size(), std::size_t{3});
    // clockRun's laps are 70.50 s plus the lap's number in hundredths.
    QCOMPARE(chart->bars()[2].cs, std::int64_t{7053});
    QCOMPARE(chart->bars()[2].timeText, QStringLiteral("00:01'10\"53"));
    QCOMPARE(chart->slowestBar(), 2);
    f.page->runList()->setCurrentRow(f.runIndexOf(QStringLiteral("10:00:00")));
    QCOMPARE(chart->bars().size(), std::size_t{5});
    f.page->clearPage();
    QCOMPARE(chart->bars().size(), std::size_t{0});
}

void PageChart::selectionGoesBothWays() {
    PageFixture f;
    f.data.write(clockRun(kDay, 9, 0, 0, 8));
    f.page->initialisePage();
    f.pickDay(kDay);
    LapChart* chart = f.page->lapChart();
    chart->resize(600, 150);
    f.page->lapList()->setCurrentItem(f.page->lapList()->topLevelItem(3));
    QCOMPARE(chart->selectedBar(), 3);
    chart->show();
    QTest::mouseClick(chart, Qt::LeftButton, {}, barCentre(*chart, 6));
    QCOMPARE(chart->selectedBar(), 6);
    QCOMPARE(f.page->lapList()->indexOfTopLevelItem(f.page->lapList()->currentItem()), 6);
    // A click beside the plot selects nothing and changes nothing.
    QTest::mouseClick(chart, Qt::LeftButton, {}, QPoint(1, 1));
    QCOMPARE(chart->selectedBar(), 6);
}

void PageChart::toolTipsShowTimeAndMemo() {
    PageFixture f;
    f.data.write(clockRun(kDay, 9, 0, 0, 3));
    f.page->initialisePage();
    f.pickDay(kDay);
    f.answerDialogsWith(QStringLiteral("向かい風"));
    f.page->editLapMemo(1);
    LapChart* chart = f.page->lapChart();
    QCOMPARE(chart->toolTipFor(0), QStringLiteral("ラップ 1：00:01'10\"51"));
    QCOMPARE(chart->toolTipFor(1), QStringLiteral("ラップ 2：00:01'10\"52\n向かい風"));
    QCOMPARE(chart->toolTipFor(3), QString());
    chart->resize(600, 150);
    QCOMPARE(chart->barAt(barCentre(*chart, 2)), 2);
}

void PageChart::emptyAndHugeRunsDraw() {
    LapChart chart;
    chart.resize(700, 150);
    QImage image(chart.size(), QImage::Format_ARGB32);
    chart.render(&image);  // no laps: a note, no bars
    std::vector<ChartBar> bars;
    for (int i = 0; i < 350; ++i) bars.push_back({6000 + (i % 7) * 10, "", ""});
    chart.setBars(bars);
    chart.render(&image);
    const ChartLayout layout = chart.layoutNow();
    QCOMPARE(layout.barWidth, 1);
    QVERIFY(layout.labelStep >= 10);
    QCOMPARE(chart.barAt(QPoint(chart.plotArea().right(), chart.plotArea().bottom())), 349);
}

void PageChart::runsThatSetABestAreMarked() {
    PageFixture f;
    QTemporaryDir cache;
    RunIndex index(systemFileSystem(), f.data.path(), cache.path().toStdString() + "/runs.sqlite");
    QVERIFY(index.open());
    f.data.write(evenRun(kDay.addDays(-1), 9, 3, 7000));  // the first run beats nothing
    f.data.write(evenRun(kDay, 8, 3, 7100));              // slower
    f.data.write(evenRun(kDay, 9, 3, 6900));              // faster lap and total: a best
    f.data.write(evenRun(kDay, 10, 4, 6800));             // faster lap again: a best
    f.data.write(evenRun(kDay, 11, 4, 6800));             // only equals it
    QVERIFY(index.refreshAll({{"QTM-01", kSerial, "A", {}}}));
    RunQueryWorker queries(&index, FallbackFactory{});
    f.page->setRunIndex(&index);
    f.page->setRunQueries(&queries);
    f.page->initialisePage();
    f.pickDay(kDay);
    QListWidget* list = f.page->runList();
    QCOMPARE(list->count(), 4);
    auto markedLines = [list] {
        QStringList marked;
        for (int i = 0; i < list->count(); ++i) {
            const bool best = list->item(i)->data(kSetBestRole).toBool();
            if (list->item(i)->icon().isNull() == best) return QStringList{"icon and role differ"};
            if (list->item(i)->toolTip().isEmpty() == best)
                return QStringList{"star without a word"};
            if (best) marked << list->item(i)->text();
        }
        marked.sort();  // the run list keeps the folder's listing order
        return marked;
    };
    // The marks come from the query worker: the run list is up before them.
    QTRY_COMPARE(markedLines(), (QStringList{QStringLiteral("2024/02/14   09:00:00"),
                                             QStringLiteral("2024/02/14   10:00:00")}));
    // A download adds a faster run: the reload marks it too.
    f.data.write(evenRun(kDay, 12, 3, 6700));
    QVERIFY(index.refreshFolder("QTM-01"));
    f.page->handlePageMessage(PAGE_DATA_CHANGED);
    QTRY_COMPARE(markedLines(), (QStringList{QStringLiteral("2024/02/14   09:00:00"),
                                             QStringLiteral("2024/02/14   10:00:00"),
                                             QStringLiteral("2024/02/14   12:00:00")}));
}

void PageChart::textsFollowTheLanguage() {
    LapChart chart;
    chart.resize(600, 150);
    chart.setBars({{6400, "00:01'04\"00", ""}, {6600, "00:01'06\"00", ""}});
    chart.show();
    QVERIFY(QTest::qWaitForWindowExposed(&chart));
    const QRect japanesePlot = chart.plotArea();
    const struct {
        texts::Language language;
        QString tip;
        QString average;
    } kCases[] = {{texts::Language::English, QStringLiteral("Lap 2: 00:01'06\"00"),
                   QStringLiteral("Average 65.0")},
                  {texts::Language::Japanese, QStringLiteral("ラップ 2：00:01'06\"00"),
                   QStringLiteral("平均 65.0")}};
    for (const auto& c : kCases) {
        texts::setCurrentLanguage(c.language);
        QEvent change(QEvent::LanguageChange);
        QCoreApplication::sendEvent(&chart, &change);
        // The average's label of the language shown takes the margin beside the plot.
        QCOMPARE(chart.toolTipFor(1), c.tip);
        QCOMPARE(chart.averageLabel(), c.average);
        QCOMPARE(chart.plotArea() == japanesePlot, c.language == texts::Language::Japanese);
    }
    texts::setCurrentLanguage(texts::Language::Japanese);
}

QTEST_MAIN(PageChart)
#include "test_page_chart.moc"
