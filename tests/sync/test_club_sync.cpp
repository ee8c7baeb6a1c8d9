// A club of two PCs on one machine, with two real Syncthing instances between them: PC A's data
// folder, shared Send Only, arrives Receive Only on PC B, where `k7x-tool … --also` and B's open
// window (All runs, the club folder set in its settings) list A's runs beside B's own without a
// restart; a memo edited on A follows; B never changes its copy; both instances stop and start
// again with nothing lost. Prints the sync-to-view latencies it measured.
#include <QElapsedTimer>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <cstdio>
#include <memory>
#include <optional>

#include "c_all_runs_dlg.h"
#include "c_user_dialog.h"
#include "club_link.h"
#include "club_settings.h"
#include "club_sync_rig.h"
#include "engine_adapter.h"
#include "folder_scan_source.h"
#include "lapdex_dlg.h"
#include "run_query_worker.h"
#include "view_menu.h"

using namespace lapdex;
using namespace lapdex::ui;
using lapdex::testing::ClubSyncRig;
using lapdex::testing::ListedRuns;

namespace {

// The bound for a run written on A to be listed on B, Syncthing's start-up included.
constexpr int kArrivalMs = 60000;

// PC B's program as main() puts it together, on B's own data folder, with A's copy as a club
// folder in its settings file, and the All runs window open.
struct WindowOfB {
    WindowOfB(const ClubSyncRig& rig, const QString& settingsFile)
        : engine(rig.bData),
          queries(
              engine.runIndex(),
              [folder = rig.bData] {
                  return makeFolderScanSource(systemFileSystem(), withTrailingSlash(folder));
              },
              withTrailingSlash(rig.bData)),
          window(engine, desktop,
                 [this](QWidget* parent, PageHost& host) -> StopwatchPage* {
                     auto* page = new CUserDialog(parent, host);
                     page->setRunIndex(engine.runIndex());
                     page->setRunQueries(&queries);
                     return page;
                 }),
          views(window, queries),
          club(queries, withTrailingSlash(rig.bData), processEnvironment(), settingsFile) {
        views.followClub(club);
        window.show();
        views.showAllRuns();
    }
    ~WindowOfB() { window.shutdown(); }

    // Every row the All runs window shows, as a listing names it.
    ListedRuns shown() const {
        ListedRuns runs;
        const RunTableModel& model = *views.allRunsWindow()->model();
        for (int row = 0; row < model.rowCount(); ++row) {
            const RunRow& run = model.run(row);
            runs.insert({run.pc, run.folderName + "/" + run.fileName, run.run.memo});
        }
        return runs;
    }

    EngineAdapter engine;
    QtDesktop desktop;
    RunQueryWorker queries;
    CLapdexDlg window;
    ViewMenu views;
    ClubLink club;
};

// How long after `clock` started B's k7x-tool and B's window first listed exactly `expected`.
struct Arrival {
    qint64 toolMs = -1;
    qint64 windowMs = -1;
    bool complete() const { return toolMs >= 0 && windowMs >= 0; }
};

// Polls B's k7x-tool and B's window (letting the window's events run between) until both list
// `expected` or `timeoutMs` passes; `lastSeen` says what they listed last. A usage mistake of the
// tool ends the wait at once: waiting cannot mend it.
Arrival waitUntilListed(const ClubSyncRig& rig, const WindowOfB& window, const ListedRuns& expected,
                        const QElapsedTimer& clock, int timeoutMs, QString& lastSeen) {
    Arrival arrival;
    ClubSyncRig::ToolListing listed;
    while (!arrival.complete() && clock.elapsed() < timeoutMs && listed.exitStatus != 2) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        if (arrival.windowMs < 0 && window.shown() == expected) arrival.windowMs = clock.elapsed();
        if (arrival.toolMs < 0) listed = rig.toolRunsOnB();
        if (arrival.toolMs < 0 && listed.ok() && listed.runs == expected)
            arrival.toolMs = clock.elapsed();
        lastSeen = QStringLiteral("k7x-tool %1 of %2 runs (exit status %3) %4; window %5 runs")
                       .arg(listed.runs.size())
                       .arg(expected.size())
                       .arg(listed.exitStatus)
                       .arg(QString::fromStdString(listed.error))
                       .arg(window.shown().size());
    }
    return arrival;
}

ListedRuns bothPcs(const ClubSyncRig& rig) {
    ListedRuns runs = rig.scanOfB();
    runs.merge(rig.scanOfA());
    return runs;
}

void note(const char* what, const Arrival& arrival) {
    std::printf("%s: listed by k7x-tool on B after %lld ms, in B's All runs after %lld ms\n", what,
                static_cast<long long>(arrival.toolMs), static_cast<long long>(arrival.windowMs));
    std::fflush(stdout);
}

}  // namespace

class ClubSyncTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase();
    void aPcsRunsReachTheOtherPcAndStayThere();

  private:
    // Waits until B lists every run of both PCs; the latencies go to `arrival`.
    void expectBothPcsListed(const char* what, Arrival& arrival);
    // B's copy holds nothing that B changed, as Syncthing on B sees it after a rescan.
    void expectCopyUnchangedByB();

    QTemporaryDir folder;
    std::unique_ptr<ClubSyncRig> rig;
    std::unique_ptr<WindowOfB> window;
    QElapsedTimer clock;
};

void ClubSyncTest::initTestCase() {
    QVERIFY(folder.isValid());
    // The run indexes of both PCs' folders and the window's settings lie in the test's folder.
    qputenv("XDG_CACHE_HOME", folder.filePath(QStringLiteral("cache")).toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", folder.filePath(QStringLiteral("config")).toLocal8Bit());
    rig = std::make_unique<ClubSyncRig>(folder.path().toStdString());
}

void ClubSyncTest::expectBothPcsListed(const char* what, Arrival& arrival) {
    const ListedRuns expected = bothPcs(*rig);
    QString lastSeen;
    arrival = waitUntilListed(*rig, *window, expected, clock, kArrivalMs, lastSeen);
    QVERIFY2(arrival.complete(),
             qPrintable(QStringLiteral("%1 within %2 ms: %3\nB's Syncthing:\n%4")
                            .arg(what)
                            .arg(kArrivalMs)
                            .arg(lastSeen)
                            .arg(rig->b.logTail().c_str())));
    note(what, arrival);
}

void ClubSyncTest::expectCopyUnchangedByB() {
    nlohmann::json status;
    const testsupport::FixtureResult scanned = rig->b.scannedStatus(ClubSyncRig::kFolderId, status);
    QVERIFY2(scanned, scanned.error.c_str());
    QCOMPARE(status.value("receiveOnlyTotalItems", -1), 0);
    QCOMPARE(status.value("receiveOnlyChangedFiles", -1), 0);
    QCOMPARE(status.value("needTotalItems", -1), 0);
}

void ClubSyncTest::aPcsRunsReachTheOtherPcAndStayThere() {
    const testsupport::FixtureResult started = rig->start(3);
    if (started.skipped) QSKIP(started.error.c_str());
    QVERIFY2(started, started.error.c_str());
    QVERIFY(!rig->writeRunOnB(6).empty());
    const QString settingsFile = folder.filePath(QStringLiteral("pc-b-settings.ini"));
    {
        QSettings settings(settingsFile, QSettings::IniFormat);
        saveClubFolders(settings, {ClubFolder{rig->aCopy, ClubSyncRig::kClubLabel}});
    }
    window = std::make_unique<WindowOfB>(*rig, settingsFile);
    Arrival arrival;
    clock.start();
    expectBothPcsListed("B's own run", arrival);
    if (QTest::currentTestFailed()) return;

    // Three stopwatches' runs downloaded on A while B's window is open.
    std::vector<std::string> written;
    for (int slot = 0; slot < 3; ++slot) {
        for (int minute : {0, 20}) written.push_back(rig->writeRunOnA(slot, 7 + slot, minute));
    }
    QVERIFY(std::find(written.begin(), written.end(), std::string()) == written.end());
    clock.start();
    expectBothPcsListed("six runs written on A", arrival);
    if (QTest::currentTestFailed()) return;

    QVERIFY(rig->editMemoOnA(written[2], "Tempo run, windy"));
    clock.start();
    expectBothPcsListed("a memo edited on A", arrival);
    expectCopyUnchangedByB();
    if (QTest::currentTestFailed()) return;

    // A downloads once more while neither Syncthing runs; nothing is lost over the restart.
    QVERIFY2(rig->stopBoth(), "Syncthing did not stop");
    QVERIFY(!rig->writeRunOnA(1, 12, 0).empty());
    clock.start();
    const testsupport::FixtureResult restarted = rig->startBoth();
    QVERIFY2(restarted, restarted.error.c_str());
    expectBothPcsListed("a run written on A while Syncthing was stopped (start-up included)",
                        arrival);
    if (QTest::currentTestFailed()) return;
    expectCopyUnchangedByB();
    window.reset();
}

QTEST_MAIN(ClubSyncTest)
#include "test_club_sync.moc"
