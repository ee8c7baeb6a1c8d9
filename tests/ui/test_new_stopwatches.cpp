// A squad's session as the coach meets it: the real window with the team day and All runs open,
// the real engine, store and run index in a temporary data folder, and three stopwatches never
// seen before laid on the in-process reader stand-in one after another. Each one's run is in
// both windows while it still lies on the reader.
#include <QDate>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <memory>
#include <set>

#include "c_all_runs_dlg.h"
#include "c_team_day_dlg.h"
#include "c_user_dialog.h"
#include "engine_adapter.h"
#include "lapdex_dlg.h"
#include "model/stopwatch.h"
#include "run_query_worker.h"
#include "standin/pcsc_standin.h"
#include "status_dialogs.h"
#include "view_menu.h"

using namespace lapdex;
using namespace lapdex::ui;

namespace {

constexpr int kWaitMs = 20000;

// A data folder with no stopwatch registered yet.
const QByteArray kNoStopwatch =
    "[Config]\r\nLOCATION=JPN\r\nTIMECOMP=OFF\r\nPCTIME=ON\r\n[User]\r\n";

// Stopwatch `n`'s one run of today, started at 07:0n:00. The registry knows a stopwatch by its
// serial number, so only that differs from the stand-in's default stopwatch.
std::shared_ptr<sim::Stopwatch> newStopwatch(int n, const QDate& today) {
    auto watch = std::make_shared<sim::Stopwatch>();
    watch->serial = {0x10, 0x20, 0x30, 0x40, 0x50, static_cast<uint8_t>(0x60 + n)};
    const std::string run = today.toString(Qt::ISODate).toStdString() + " 07:0" +
                            std::to_string(n) + ":00 00:01:10.00 00:02:21.00 00:03:30.00\n";
    watch->runs = *sim::parseRuns(run);
    return watch;
}

std::set<std::string> folders(const TeamDay& day) {
    std::set<std::string> names;
    for (const TeamDayRun& run : day.runs) names.insert(run.folderName);
    return names;
}

std::set<std::string> folders(const RunTableModel& model) {
    std::set<std::string> names;
    for (int row = 0; row < model.rowCount(); ++row) names.insert(model.run(row).folderName);
    return names;
}

}  // namespace

class NewStopwatchesTest : public QObject {
    Q_OBJECT
  private slots:
    void init() { sim::Standin::instance().reset(); }
    void cleanup() { sim::Standin::instance().reset(); }
    void eachNewStopwatchShowsUpBeforeItIsLifted();
};

void NewStopwatchesTest::eachNewStopwatchShowsUpBeforeItIsLifted() {
    QTemporaryDir data;
    {
        QFile profile(data.filePath("Lapdex.dat"));
        QVERIFY(profile.open(QIODevice::WriteOnly));
        profile.write(kNoStopwatch);
    }
    const QDate today = QDate::currentDate();
    EngineAdapter adapter(data.path().toStdString());
    QtDesktop desktop;
    RunQueryWorker queries(adapter.runIndex(), FallbackFactory{});
    CLapdexDlg window(adapter, desktop, [&adapter, &queries](QWidget* parent, PageHost& host) {
        auto* page = new CUserDialog(parent, host);
        page->setRunIndex(adapter.runIndex());
        page->setRunQueries(&queries);
        return static_cast<StopwatchPage*>(page);
    });
    ViewMenu views(window, queries);
    window.show();
    views.showTeamDay();
    views.showAllRuns();
    CTeamDayDlg* teamDay = views.teamDayWindow();
    CAllRunsDlg* allRuns = views.allRunsWindow();
    teamDay->showDate(today);
    QTRY_VERIFY_WITH_TIMEOUT(!teamDay->loading() && !allRuns->searching(), kWaitMs);
    QCOMPARE(teamDay->model()->rowCount(), 0);
    std::set<std::string> expected;
    for (int n = 1; n <= 3; ++n) {
        sim::Standin::instance().locked([&](sim::Standin& s) { s.card = newStopwatch(n, today); });
        expected.insert("QTM-0" + std::to_string(n));
        // While the stopwatch still lies on the reader.
        QTRY_VERIFY_WITH_TIMEOUT(window.readEnd().shown, kWaitMs);
        QTRY_COMPARE_WITH_TIMEOUT(folders(teamDay->model()->day()), expected, kWaitMs);
        QTRY_COMPARE_WITH_TIMEOUT(folders(*allRuns->model()), expected, kWaitMs);
        QVERIFY(window.readEnd().shown);
        sim::Standin::instance().locked([](sim::Standin& s) { s.card = nullptr; });
        QTRY_VERIFY_WITH_TIMEOUT(!window.readEnd().shown, kWaitMs);
    }
    QCOMPARE(teamDay->model()->rowCount(), 3);
    QCOMPARE(allRuns->model()->rowCount(), 3);
    window.shutdown();
}

QTEST_MAIN(NewStopwatchesTest)
#include "test_new_stopwatches.moc"
