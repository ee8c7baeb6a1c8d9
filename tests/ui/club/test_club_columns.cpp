// The "PC" column and filter of the team day, stopwatch list and progress windows over two data
// folders that both have a QTM-01: shown only while a club folder is configured, and the filter
// narrows each window to one PC's rows.
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QSettings>
#include <QTableView>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "c_progress_dlg.h"
#include "c_roster_dlg.h"
#include "c_team_day_dlg.h"
#include "club_folder_source.h"
#include "club_settings.h"
#include "configuration.h"
#include "folder_run_source.h"
#include "roster_texts.h"
#include "run_file_fixture.h"
#include "run_file_writer.h"

using namespace lapdex;
using namespace lapdex::ui;

namespace {

// A data folder whose one stopwatch (QTM-01) ran once.
bool writeFolder(const std::string& data, const char* serial, int hour, std::uint32_t lapCs) {
    FileSystem& fs = systemFileSystem();
    Configuration config;
    if (!fs.createFolder(data).ok() || !saveConfiguration(DataFolder(fs, data), config).ok())
        return false;
    if (addStopwatch(config, DataFolder(fs, data), serial, nullptr) < 0) return false;
    return writeRunFile(fs, data, 0, serial,
                        testing::steadyRun({2026, 12, 9, hour, 0, 0}, 4, lapCs))
        .ok();
}

// This PC's folder and PC-B's, each with a QTM-01 of its own, read by the windows' worker as the
// program reads a club: the own folder's scan joined by the club folder's source.
struct TwoPcs {
    QTemporaryDir root;
    std::string own = root.path().toStdString() + "/own/";
    std::string club = root.path().toStdString() + "/pc-b/";
    std::shared_ptr<std::string> cache =
        std::make_shared<std::string>(root.path().toStdString() + "/cache");
    std::unique_ptr<RunQueryWorker> queries;

    bool open() {
        if (!writeFolder(own, "0123456789ab", 7, 6000) ||
            !writeFolder(club, "00000000beef", 8, 6100))
            return false;
        queries = std::make_unique<RunQueryWorker>(
            nullptr,
            [data = own]() -> std::unique_ptr<RunSource> {
                return std::make_unique<FolderRunSource>(DataFolder(systemFileSystem(), data));
            },
            own);
        // The club folder's index lies in the test's own cache folder.
        const EnvironmentLookup environment = [cache = cache](const char* name) -> const char* {
            return std::string_view(name) == "XDG_CACHE_HOME" ? cache->c_str() : nullptr;
        };
        queries->tell([folder = ClubFolder{club, "PC-B"}, environment](WindowRunSource& source) {
            std::vector<std::unique_ptr<ClubFolderSource>> sources;
            sources.push_back(
                std::make_unique<ClubFolderSource>(systemFileSystem(), folder, environment));
            source.setClub(std::move(sources));
        });
        return true;
    }
    void configure(bool club) {
        QSettings settings(QStringLiteral("Lapdex"), QStringLiteral("Lapdex"));
        saveClubFolders(settings, club ? std::vector<ClubFolder>{{this->club, "PC-B"}}
                                       : std::vector<ClubFolder>{});
        saveOwnPcLabel(settings, QStringLiteral("Coach A"));
    }
};

// The texts of `column` in the rows `view` shows.
QStringList shownColumn(const QTableView& view, int column) {
    QStringList texts;
    for (int row = 0; row < view.model()->rowCount(); ++row)
        if (!view.isRowHidden(row)) texts << view.model()->index(row, column).data().toString();
    return texts;
}

QStringList squadPcs(const QTableWidget& squad) {
    QStringList texts;
    for (int row = 0; row < squad.rowCount(); ++row)
        texts << (squad.item(row, 0) ? squad.item(row, 0)->text() : QString());
    return texts;
}

}  // namespace

// The team day (on the runs' day), the stopwatch list and progress, open over `pcs`.
struct ClubWindows {
    explicit ClubWindows(TwoPcs& pcs)
        : day(*pcs.queries, nullptr), roster(*pcs.queries), progress(*pcs.queries, nullptr) {}
    // Shows the three and waits until each has its rows.
    bool open() {
        day.show();
        day.showDate(QDate(2026, 12, 9));
        roster.show();
        progress.show();
        progress.reload();
        return QTest::qWaitFor([this] {
            return !day.loading() && roster.model()->rowCount() == 2 && !progress.loading();
        });
    }
    CTeamDayDlg day;
    CRosterDlg roster;
    CProgressDlg progress;
};

class ClubColumns : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase();
    void pcColumnAndFilterOnlyWhileClubFoldersAreConfigured();
    void syncConflictCopiesAreNamedOnce();
};

void ClubColumns::initTestCase() {
    // Club folders are a per-user setting: keep the tests' out of the user's.
    static QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
}

void ClubColumns::pcColumnAndFilterOnlyWhileClubFoldersAreConfigured() {
    for (const bool club : {false, true}) {
        TwoPcs pcs;
        QVERIFY(pcs.open());
        pcs.configure(club);
        ClubWindows windows(pcs);
        QVERIFY(windows.open());
        auto& [day, roster, progress] = windows;
        day.sessionChoice()->setCurrentIndex(0);
        // Two PCs' QTM-01 are two lines in each window, whether their PC is shown or not.
        QCOMPARE(day.model()->rowCount(), 2);
        QCOMPARE(progress.squad()->rowCount(), 2);
        // The printed day names the PC of each run wherever a club folder's runs are on it.
        QVERIFY(day.sheet().html.contains(QStringLiteral("PC-B")));
        QVERIFY(day.sheet().html.contains(QStringLiteral("Coach A")));
        const TeamDayModel& model = *day.model();
        QCOMPARE(model.columnCount(), model.averageColumn() + (club ? 2 : 1));
        if (club) {
            QCOMPARE(model.headerData(model.pcColumn(), Qt::Horizontal, Qt::DisplayRole),
                     QVariant(QStringLiteral("PC")));
            QCOMPARE(shownColumn(*day.table(), model.pcColumn()), (QStringList{"Coach A", "PC-B"}));
            QCOMPARE(shownColumn(*roster.table(), RosterModel::kPc),
                     (QStringList{"Coach A", "PC-B"}));
            QCOMPARE(squadPcs(*progress.squad()), (QStringList{"Coach A", "PC-B"}));
        }
        QCOMPARE(roster.model()->columnCount(),
                 club ? RosterModel::kColumnCount : RosterModel::kPc);
        QCOMPARE(progress.squad()->horizontalHeaderItem(0)->text() == QStringLiteral("PC"), club);
        for (QComboBox* filter :
             {static_cast<QComboBox*>(day.pcChoice()), static_cast<QComboBox*>(roster.pcFilter()),
              static_cast<QComboBox*>(progress.pcChoice())})
            QCOMPARE(filter->isVisible(), club);
        if (!club) continue;
        // Each window's PC filter: the choice (0: every PC), then the PCs each window shows.
        const struct {
            int choice;
            QStringList pcs;
        } kCases[] = {{1, {"Coach A"}}, {2, {"PC-B"}}, {0, {"Coach A", "PC-B"}}};
        for (const auto& c : kCases) {
            QCOMPARE(day.pcChoice()->count(), 3);
            day.pcChoice()->setCurrentIndex(c.choice);
            day.sessionChoice()->setCurrentIndex(0);
            QCOMPARE(shownColumn(*day.table(), day.model()->pcColumn()), c.pcs);
            roster.pcFilter()->setCurrentIndex(c.choice);
            QCOMPARE(shownColumn(*roster.table(), RosterModel::kPc), c.pcs);
            progress.pcChoice()->setCurrentIndex(c.choice);
            QTRY_VERIFY(!progress.loading());
            QCOMPARE(squadPcs(*progress.squad()), c.pcs);
            QCOMPARE(progress.stopwatchChoice()->count(), c.pcs.size());
            const std::string shownPc = progress.shown().progress.stopwatch.pc;
            QVERIFY(c.choice != 2 || shownPc == "PC-B");
            QVERIFY(c.choice != 1 || shownPc.empty());
        }
    }
}

void ClubColumns::syncConflictCopiesAreNamedOnce() {
    TwoPcs pcs;
    QVERIFY(pcs.open());
    pcs.configure(true);
    CRosterDlg roster(*pcs.queries);
    roster.show();
    QTRY_COMPARE(roster.model()->rowCount(), 2);
    // Rounds: the copies a sync engine leaves before the list looks again, then those it names.
    const struct {
        QStringList added;
        QStringList named;
    } kRounds[] = {
        {{}, {}},
        {{"Lapdex.sync-conflict-20261209-070000-ABCDEFG.dat",
          "QTM-01/notes.sync-conflict-20261209-070000-ABCDEFG.txt"},
         {"Coach A: Lapdex.sync-conflict-20261209-070000-ABCDEFG.dat",
          "Coach A: QTM-01/notes.sync-conflict-20261209-070000-ABCDEFG.txt"}},
        {{},
         {"Coach A: Lapdex.sync-conflict-20261209-070000-ABCDEFG.dat",
          "Coach A: QTM-01/notes.sync-conflict-20261209-070000-ABCDEFG.txt"}},
    };
    for (const auto& round : kRounds) {
        for (const QString& name : round.added) {
            QFile copy(QString::fromStdString(pcs.own) + name);
            QVERIFY(copy.open(QIODevice::WriteOnly));
        }
        roster.refresh();
        QTRY_VERIFY(!roster.status()->text().isEmpty() &&
                    roster.status()->toolTip() == round.named.join(u'\n'));
        const QString count =
            ui::localized(roster_text::kSyncConflicts).arg(round.named.size()).trimmed();
        QCOMPARE(roster.status()->text().contains(count), !round.named.empty());
        // The copies are no runs and no stopwatches.
        QCOMPARE(roster.model()->rowCount(), 2);
    }
}

QTEST_MAIN(ClubColumns)
#include "test_club_columns.moc"
