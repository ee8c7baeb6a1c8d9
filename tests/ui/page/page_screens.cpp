// Writes a picture of the stopwatch page with a day of several runs selected into the folder
// given as the first argument (page.png), after checking the page shows what the files hold; a
// second argument "ja" or "en" shows that language and names the pictures page_ja.png and so on.
#include <QApplication>
#include <QDir>
#include <QListWidget>
#include <QTreeWidget>
#include <cstdio>

#include "lap_chart.h"
#include "memo_rewrite.h"
#include "page_test_support.h"
#include "picture_language.h"

using namespace lapdex;
using namespace lapdex::ui;
using namespace lapdex::ui::test;

namespace {

int fail(const char* what) {
    std::fprintf(stderr, "page_screens: %s\n", what);
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const std::optional<QString> suffix = pictureLanguage(argc, argv);
    if (argc < 2 || !suffix) return fail("usage: page_screens <folder> [ja|en]");
    DataFolder data;
    const QDate month = monthStart(QDate::currentDate());
    const QDate day = month.addDays(9);
    for (int hour : {9, 10, 14}) data.write(clockRun(day, hour, 30, 15, hour == 10 ? 6 : 4));
    for (QDate other : {month.addMonths(-1).addDays(2), month.addMonths(-1).addDays(20), month.addDays(3)})
        data.write(clockRun(other, 8, 0, 0));
    ScriptedHost host(data.path());
    CUserDialog page(nullptr, host, systemFileSystem());
    page.initialisePage();
    page.show();
    page.calendar()->setSelectedDate(day.addDays(-1));
    page.calendar()->setFocus();
    QTest::keyClick(page.calendar(), Qt::Key_Right);
    QCoreApplication::sendPostedEvents(&page);
    const auto second = std::find_if(page.content().runLines.begin(), page.content().runLines.end(),
                                     [](const QString& line) { return line.endsWith("10:30:15"); });
    page.runList()->setCurrentRow(static_cast<int>(second - page.content().runLines.begin()));
    (void)rewriteMemo(systemFileSystem(), page.runPaths()[page.selectedRun()], "向かい風、ラスト2周で追い上げ",
                      MemoKind::Run, 0);
    (void)rewriteMemo(systemFileSystem(), page.runPaths()[page.selectedRun()], "ペース配分◎", MemoKind::Lap, 1);
    page.handlePageMessage(PAGE_DATA_CHANGED);
    if (page.runList()->count() != 3) return fail("the day's three runs are not listed");
    if (page.lapList()->topLevelItemCount() != 6) return fail("the selected run's laps are not shown");
    if (!page.calendar()->isBold(day) || !page.calendar()->isBold(month.addMonths(-1).addDays(2)))
        return fail("the days with runs are not bold");
    QDir().mkpath(QString::fromLocal8Bit(argv[1]));
    const QString file =
        QDir(QString::fromLocal8Bit(argv[1])).filePath(QStringLiteral("page%1.png").arg(*suffix));
    if (!page.grab().save(file)) return fail("the picture could not be written");
    // The lap chart strip at the width the window gives it, with the second lap selected.
    LapChart* chart = page.lapChart();
    if (chart->bars().size() != 6) return fail("the lap chart does not show the run's laps");
    page.lapList()->setCurrentItem(page.lapList()->topLevelItem(1));
    chart->resize(page.width(), 160);
    if (!chart->grab().save(QDir(QString::fromLocal8Bit(argv[1]))
                                .filePath(QStringLiteral("lap_chart%1.png").arg(*suffix))))
        return fail("the chart picture could not be written");
    return 0;
}
