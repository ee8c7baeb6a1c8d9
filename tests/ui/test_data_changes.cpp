// Deleting and renaming in the program as main() puts it together (real window, page, engine,
// run index and view windows; the reader library on the in-process stand-in): deleted runs and
// stopwatch folders go to the desktop's trash where there is one and are deleted where there is
// none, and the open windows follow every rename and deletion at once.
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTabBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <memory>

#include "c_all_runs_dlg.h"
#include "c_roster_dlg.h"
#include "c_team_day_dlg.h"
#include "c_user_dialog.h"
#include "engine_adapter.h"
#include "folder_scan_source.h"
#include "keyboard_user.h"
#include "lapdex_dlg.h"
#include "run_file_fixture.h"
#include "run_file_writer.h"
#include "standin/pcsc_standin.h"
#include "view_menu.h"

using namespace lapdex;
using namespace lapdex::ui;
using lapdex::ui::test::KeyboardUser;

namespace {

const QByteArray kTwoStopwatches =
    "[Config]\r\nLOCATION=JPN\r\nTIMECOMP=OFF\r\nPCTIME=ON\r\n[User]\r\n"
    "QTM01_SERIAL=ab8967452301\r\nQTM01_NAME=Alpha\r\nQTM02_SERIAL=0f0e0d0c0b0a\r\nQTM02_NAME="
    "Beta\r\n";

// A home folder of its own (so the home trash and the run index lie in the test's folder) and a
// data folder beside it: Alpha ran twice and Beta once on 10 May 2024.
struct Folders {
    Folders() {
        qputenv("HOME", home.path().toLocal8Bit());
        qputenv("XDG_DATA_HOME", trashHome().toLocal8Bit());
        qputenv("XDG_CACHE_HOME", home.filePath(QStringLiteral(".cache")).toLocal8Bit());
        QDir().mkpath(trashHome());
        QFile dat(data.filePath(QStringLiteral("Lapdex.dat")));
        ok = dat.open(QIODevice::WriteOnly) && dat.write(kTwoStopwatches) == kTwoStopwatches.size();
        dat.close();
        alphaRun = write(0, "ab8967452301", 9);
        ok = ok && !alphaRun.isEmpty() && !write(0, "ab8967452301", 10).isEmpty() &&
             !write(1, "0f0e0d0c0b0a", 11).isEmpty();
    }
    QString trashHome() const { return home.filePath(QStringLiteral(".local/share")); }
    QString trash(const QString& part) const {
        return trashHome() + QStringLiteral("/Trash/") + part;
    }
    // Makes the home trash unusable: its files folder is a plain file.
    bool spoilTrash() const {
        QDir().mkpath(trash(QString()));
        QFile files(trash(QStringLiteral("files")));
        return files.open(QIODevice::WriteOnly) && files.write("x") == 1;
    }
    // The run file's path, "" when it could not be written.
    QString write(int slot, const std::string& serial, int hour) {
        const std::string folder = data.path().toStdString() + "/";
        (void)systemFileSystem().createFolder(folder + DataFolder::stopwatchFolderName(slot));
        const RunFileWriteResult written =
            writeRunFile(systemFileSystem(), folder, slot, serial,
                         testing::steadyRun({2024, 5, 10, hour, 0, 0}, 3, 6000 + hour));
        return written.status == RunFileWriteStatus::Written ? QString::fromStdString(written.path)
                                                             : QString();
    }

    QTemporaryDir home;
    QTemporaryDir data;
    QString alphaRun;
    bool ok = false;
};

// The program as main() puts it together, over `folder`.
struct Program {
    explicit Program(const QString& folder)
        : adapter(folder.toStdString()),
          queries(
              adapter.runIndex(),
              [path = folder.toStdString() + "/"] {
                  return makeFolderScanSource(systemFileSystem(), path);
              },
              folder.toStdString() + "/"),
          window(adapter, desktop,
                 [this](QWidget* parent, PageHost& host) -> StopwatchPage* {
                     auto* page = new CUserDialog(parent, host);
                     page->setRunIndex(adapter.runIndex());
                     page->setRunQueries(&queries);
                     return page;
                 }),
          views(window, queries),
          user(window, adapter) {
        window.show();
        window.activateWindow();
    }
    CUserDialog* page() const { return static_cast<CUserDialog*>(window.page()); }
    // A right click on tab `tab`, then a click on the context menu's command `id`.
    void tabMenu(int tab, int id) {
        QTabBar* bar = window.tabControl()->tabBar();
        QTest::mouseClick(bar, Qt::RightButton, {}, bar->tabRect(tab).center());
        QMenu* menu = window.contextMenu();
        QVERIFY(QTest::qWaitForWindowExposed(menu));
        for (QAction* action : menu->actions()) {
            if (action->data().toInt() == id)
                return QTest::mouseClick(menu, Qt::LeftButton, {},
                                         menu->actionGeometry(action).center());
        }
        QFAIL("no such context command");
    }
    // Deletes the page's run `path` of 10 May 2024 with the delete button, answering Yes.
    void deleteRun(const QString& path) {
        page()->showRun(QDate(2024, 5, 10), QFileInfo(path).fileName().toStdString());
        QTRY_VERIFY(page()->runLoaded());
        user.expect(KeyboardUser::press(Qt::Key_Return));  // Yes is the default
        QTest::mouseClick(page()->control(kPageDelete), Qt::LeftButton);
        QVERIFY(user.waitAnswered());
    }
    // Removes Beta (the second tab) through its context menu, answering Yes.
    void removeBeta() {
        user.expect(KeyboardUser::press(Qt::Key_Return));
        tabMenu(1, kCmdDelete);
        QVERIFY(user.waitAnswered());
    }

    EngineAdapter adapter;
    RunQueryWorker queries;
    QtDesktop desktop;
    CLapdexDlg window;
    ViewMenu views;
    KeyboardUser user;
};

QStringList column(const QAbstractItemModel& model, int column) {
    QStringList texts;
    for (int row = 0; row < model.rowCount(); ++row)
        texts << model.index(row, column).data().toString();
    texts.sort();
    return texts;
}

// The column's texts without repeats, sorted.
QStringList names(const QAbstractItemModel& model, int at) {
    QStringList texts = column(model, at);
    texts.removeDuplicates();
    return texts;
}

}  // namespace

class DataChangesTest : public QObject {
    Q_OBJECT
  private slots:
    void init() { sim::Standin::instance().reset(); }
    void cleanup() { sim::Standin::instance().reset(); }
    void deletionsGoToTheTrashWhereThereIsOne();
    void openWindowsFollowRenamesAndDeletions();
};

void DataChangesTest::deletionsGoToTheTrashWhereThereIsOne() {
    const struct {
        bool trashUsable;
        bool wholeStopwatch;
    } cases[] = {{true, false}, {true, true}, {false, false}, {false, true}};
    for (const auto& c : cases) {
        const QByteArray label = QByteArray(c.trashUsable ? "trash" : "no trash") +
                                 (c.wholeStopwatch ? ", stopwatch removed" : ", run deleted");
        Folders folders;
        QVERIFY2(folders.ok, label);
        if (!c.trashUsable) QVERIFY2(folders.spoilTrash(), label);
        const QString gone =
            c.wholeStopwatch ? folders.data.filePath(QStringLiteral("QTM-02")) : folders.alphaRun;
        const QString name = QFileInfo(gone).fileName();
        {
            Program p(folders.data.path());
            if (c.wholeStopwatch)
                p.removeBeta();
            else
                p.deleteRun(gone);
            QTRY_VERIFY2(!QFileInfo::exists(gone), label);
            p.window.shutdown();
        }
        const QString info = folders.trash(QStringLiteral("info/") + name + ".trashinfo");
        QCOMPARE(QFileInfo::exists(folders.trash(QStringLiteral("files/") + name)), c.trashUsable);
        QCOMPARE(QFileInfo::exists(info), c.trashUsable);
        if (!c.trashUsable) continue;
        // The file manager puts it back where it was.
        QFile trashInfo(info);
        QVERIFY2(trashInfo.open(QIODevice::ReadOnly), label);
        QVERIFY2(trashInfo.readAll().contains("Path=" + QUrl::toPercentEncoding(gone, "/")), label);
        if (c.wholeStopwatch) {
            QCOMPARE(QDir(folders.trash(QStringLiteral("files/QTM-02")))
                         .entryList({QStringLiteral("QTM*.csv")}, QDir::Files)
                         .size(),
                     1);
        }
    }
}

void DataChangesTest::openWindowsFollowRenamesAndDeletions() {
    enum class Change { Rename, DeleteRun, RemoveStopwatch };
    const struct {
        Change change;
        int runs;  // in All runs and the team day afterwards
        QStringList stopwatches;
        QStringList rosterRuns;
    } cases[] = {
        {Change::Rename, 3, {"Alpha", "Gamma"}, {"1", "2"}},
        {Change::DeleteRun, 2, {"Alpha", "Beta"}, {"1", "1"}},
        {Change::RemoveStopwatch, 2, {"Alpha"}, {"2"}},
    };
    for (const auto& c : cases) {
        Folders folders;
        QVERIFY(folders.ok);
        Program p(folders.data.path());
        p.views.showAllRuns();
        p.views.showRoster();
        p.views.showTeamDay();
        p.views.teamDayWindow()->showDate(QDate(2024, 5, 10));
        CAllRunsDlg* all = p.views.allRunsWindow();
        QTRY_COMPARE(all->model()->rowCount(), 3);
        // Every session of the day: the window keeps that choice across its reloads.
        QTRY_VERIFY(!p.views.teamDayWindow()->loading());
        p.views.teamDayWindow()->sessionChoice()->setCurrentIndex(0);
        QTRY_COMPARE(p.views.teamDayWindow()->model()->rowCount(), 3);
        QTRY_COMPARE(p.views.rosterWindow()->model()->rowCount(), 2);
        switch (c.change) {
            case Change::Rename:
                p.user.expect([](QWidget* modal) {
                    auto* field = modal->findChild<QLineEdit*>();
                    if (!field) return;
                    field->selectAll();
                    QTest::keyClicks(field, QStringLiteral("Gamma"));
                    QTest::keyClick(field, Qt::Key_Return);
                });
                p.tabMenu(1, kCmdRename);
                QVERIFY(p.user.waitAnswered());
                break;
            case Change::DeleteRun:
                p.deleteRun(folders.alphaRun);
                break;
            case Change::RemoveStopwatch:
                p.removeBeta();
                break;
        }
        // Each window shows the change without being asked.
        QTRY_COMPARE(all->model()->rowCount(), c.runs);
        QTRY_COMPARE(names(*all->model(), RunTableModel::kTabName), c.stopwatches);
        TeamDayModel* day = p.views.teamDayWindow()->model();
        QTRY_COMPARE(day->rowCount(), c.runs);
        QTRY_COMPARE(names(*day, TeamDayModel::kTabName), c.stopwatches);
        RosterModel* roster = p.views.rosterWindow()->model();
        QTRY_COMPARE(column(*roster, RosterModel::kTabName), c.stopwatches);
        QTRY_COMPARE(column(*roster, RosterModel::kRuns), c.rosterRuns);
        p.window.shutdown();
    }
}

QTEST_MAIN(DataChangesTest)
#include "test_data_changes.moc"
