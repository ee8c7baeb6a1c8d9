// The windows' query worker over a real run index: which source answers, a window that stays
// usable while its question waits, every row beyond the first screen, and answers for windows
// that are gone.
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <condition_variable>
#include <mutex>
#include <tuple>

#include "c_all_runs_dlg.h"
#include "c_roster_dlg.h"
#include "contact_history.h"
#include "index_windows_support.h"
#include "roster_of_runs.h"
#include "run_query_worker.h"

using namespace lapdex;
using namespace lapdex::ui;

namespace {

// A real source that holds its answers from the `holdFrom`-th question on until released: the
// index busy with a long refresh, as the window meets it.
class HeldSource : public RunSource {
  public:
    HeldSource(RunSource& inner, int holdFrom) : inner_(inner), holdFrom_(holdFrom) {}
    std::optional<std::vector<RunStopwatch>> registeredStopwatches() override {
        return inner_.registeredStopwatches();
    }
    RunListing listRuns(const RunQuery& query) override {
        std::unique_lock<std::mutex> lock(mutex_);
        if (++asked_ >= holdFrom_) released_.wait(lock, [this] { return open_; });
        lock.unlock();
        return inner_.listRuns(query);
    }
    RunRead readRun(const std::string& folder, const std::string& file) override {
        return inner_.readRun(folder, file);
    }
    void release() {
        std::lock_guard<std::mutex> lock(mutex_);
        open_ = true;
        released_.notify_all();
    }

  private:
    RunSource& inner_;
    const int holdFrom_;
    std::mutex mutex_;
    std::condition_variable released_;
    int asked_ = 0;
    bool open_ = false;
};

// A worker whose only source is `source` (an index that cannot be opened, and the folders).
std::unique_ptr<RunQueryWorker> workerOver(RunSource& source) {
    return std::make_unique<RunQueryWorker>(nullptr, [&source]() -> std::unique_ptr<RunSource> {
        struct Borrowed : RunSource {
            explicit Borrowed(RunSource& s) : s(s) {}
            std::optional<std::vector<RunStopwatch>> registeredStopwatches() override {
                return s.registeredStopwatches();
            }
            RunListing listRuns(const RunQuery& q) override { return s.listRuns(q); }
            RunRead readRun(const std::string& f, const std::string& n) override {
                return s.readRun(f, n);
            }
            RunSource& s;
        };
        return std::make_unique<Borrowed>(source);
    });
}

}  // namespace

class TestRunQueries : public QObject {
    Q_OBJECT
  private slots:
    // Which source answers: the index when it is open, the folder scan when the index cannot be
    // opened, nobody when neither can be had (and then at once, never after a long wait).
    void theIndexAnswersElseTheFolderScanElseNobody() {
        test::IndexedFolder folder;
        RunIndex unopened(systemFileSystem(), folder.dataPath(), "");
        const struct {
            const char* name;
            RunIndex* index;
            bool withFallback;
            WindowRunSource::Origin origin;
            std::size_t rows;
        } kCases[] = {
            {"open index", folder.index.get(), false, WindowRunSource::Origin::Index, 4},
            {"index unopened, folders", &unopened, true, WindowRunSource::Origin::FolderScan, 4},
            {"no index, folders", nullptr, true, WindowRunSource::Origin::FolderScan, 4},
            {"no index, no folders", nullptr, false, WindowRunSource::Origin::None, 0},
            // An index that cannot be opened and no folder scan: an answer after a short wait,
            // never "preparing" for ever.
            {"index unopened, no folders", &unopened, false, WindowRunSource::Origin::None, 0},
        };
        for (const auto& c : kCases) {
            // The folder scan stands in as a second index over the same folder: same answers.
            FallbackFactory fallback;
            if (c.withFallback)
                fallback = [&folder]() -> std::unique_ptr<RunSource> {
                    auto scan = std::make_unique<RunIndex>(systemFileSystem(), folder.dataPath(),
                                                           folder.dataPath() + "../scan.sqlite");
                    (void)scan->open();
                    (void)scan->refreshAll(*folder.index->registeredStopwatches());
                    return scan;
                };
            WindowRunSource source(c.index, fallback);
            const RunListing listing = source.listRuns({});
            QVERIFY2(source.lastOrigin() == c.origin, c.name);
            QVERIFY2(listing.answered == (c.rows > 0), c.name);
            QVERIFY2(listing.rows.size() == c.rows, c.name);
        }
    }

    // While its question waits the window takes keys and says that it is reading; every row
    // beyond the first screen follows, and only then does it say how many were found.
    void theWindowStaysUsableAndTellsTheWholeCount() {
        test::IndexedFolder folder;
        for (int i = 0; i < 250; ++i)
            folder.write(1, testing::steadyRun({2024, 7, 1 + i / 60, 8, i % 60, 0}, 3, 6000));
        (void)folder.index->refreshAll(*folder.index->registeredStopwatches());
        HeldSource held(*folder.index, 2);  // the first screen comes, the rest is held
        auto queries = workerOver(held);
        CAllRunsDlg window(*queries);
        window.show();
        QTRY_COMPARE(window.model()->rowCount(), 200);
        QCOMPARE(window.status()->text(),
                 QStringLiteral("最初の 200 件を表示中、残りを読んでいます…"));
        QVERIFY(window.searching());
        window.memoWords()->setFocus();
        QTest::keyClicks(window.memoWords(), QStringLiteral("x"));
        QCOMPARE(window.memoWords()->text(), QStringLiteral("x"));
        window.memoWords()->clear();
        held.release();
        QTRY_COMPARE(window.status()->text(), QStringLiteral("254 件"));
        QCOMPARE(window.model()->rowCount(), 254);
        QVERIFY(!window.searching());
    }

    // The roster summed up from any source of runs equals the index's own: every field of every
    // entry and the damaged history lines, with runs of several lap counts and contacts.
    void theRosterOfRunsEqualsTheIndexRoster() {
        test::IndexedFolder folder;
        folder.write(0, testing::steadyRun({2024, 6, 3, 8, 0, 0}, 6, 6950, ""));
        folder.write(1, testing::steadyRun({2024, 6, 4, 8, 0, 0}, 5, 6700, ""));
        const DataFolder data(systemFileSystem(), folder.dataPath());
        for (const auto& [time, serial, level] :
             {std::tuple{"2024-05-11 07:50:02", "00000000beef", 1},
              std::tuple{"2024-06-02 08:30:11", "0123456789ab", 4},
              std::tuple{"2024-06-01 08:30:11", "0123456789ab", 2}}) {
            ContactRecord contact;
            contact.localTime = time;
            contact.serialText = serial;
            contact.batteryLevel = level;
            contact.result = "ok";
            QVERIFY(appendContact(data, contact).ok());
        }
        (void)folder.index->refreshAll(*folder.index->registeredStopwatches());
        std::optional<Roster> indexed;
        QTRY_VERIFY((indexed = folder.index->roster()).has_value());
        const std::optional<Roster> summed = rosterOfRuns(*folder.index, data);
        QVERIFY(summed.has_value());
        QCOMPARE(summed->entries.size(), indexed->entries.size());
        for (std::size_t i = 0; i < indexed->entries.size(); ++i) {
            const RosterEntry& a = summed->entries[i];
            const RosterEntry& b = indexed->entries[i];
            QCOMPARE(a.stopwatch.folderName, b.stopwatch.folderName);
            QCOMPARE(a.stopwatch.tabName, b.stopwatch.tabName);
            QCOMPARE(a.runs, b.runs);
            QCOMPARE(a.firstStart, b.firstStart);
            QCOMPARE(a.lastStart, b.lastStart);
            QCOMPARE(a.usualLapCount, b.usualLapCount);
            QCOMPARE(a.bestLapCs, b.bestLapCs);
            QCOMPARE(a.bestTotalCs, b.bestTotalCs);
            QVERIFY(a.timeFormat == b.timeFormat);
            QCOMPARE(a.lastContact, b.lastContact);
            QCOMPARE(a.batteryLevel, b.batteryLevel);
        }
        QCOMPARE(summed->damagedHistoryLines, indexed->damagedHistoryLines);
    }

    // Without an index the Roster window fills in from the folder scan.
    void theRosterWindowFillsInWithoutTheIndex() {
        test::IndexedFolder folder;
        RunQueryWorker queries(
            nullptr,
            [&folder]() -> std::unique_ptr<RunSource> {
                auto scan = std::make_unique<RunIndex>(systemFileSystem(), folder.dataPath(),
                                                       folder.dataPath() + "../scan.sqlite");
                (void)scan->open();
                (void)scan->refreshAll(*folder.index->registeredStopwatches());
                return scan;
            },
            folder.dataPath());
        CRosterDlg window(queries);
        window.show();
        QTRY_COMPARE(window.model()->rowCount(), 2);
        QCOMPARE(window.status()->text(), QStringLiteral("2 台"));
    }

    // An answer for a window closed in the meantime is dropped, and the worker goes on.
    void anAnswerForAClosedWindowIsDropped() {
        test::IndexedFolder folder;
        HeldSource held(*folder.index, 1);
        auto queries = workerOver(held);
        bool answered = false;
        auto* gone = new QObject;
        queries->ask<RunListing>(
            gone, [](WindowRunSource& s) { return s.listRuns({}); },
            [&answered](RunListing) { answered = true; });
        delete gone;
        held.release();
        QObject here;
        std::size_t rows = 0;
        queries->ask<RunListing>(
            &here, [](WindowRunSource& s) { return s.listRuns({}); },
            [&rows](RunListing l) { rows = l.rows.size(); });
        QTRY_COMPARE(rows, std::size_t{4});
        QVERIFY(!answered);
    }
};

QTEST_MAIN(TestRunQueries)
#include "test_run_queries.moc"
