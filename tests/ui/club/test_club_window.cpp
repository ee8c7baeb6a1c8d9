// Club folders in the real window: the Settings → Club folders dialog, All runs over this PC's and
// another PC's data folder (checked against a plain scan of both), files that arrive while it is
// open, and another PC's runs left as they are.
#include <QClipboard>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QTableWidget>
#include <QTest>

#include "bilingual_text.h"
#include "c_all_runs_dlg.h"
#include "c_team_day_dlg.h"
#include "club_folders_dlg.h"
#include "club_run_dlg.h"
#include "club_window_rig.h"
#include "team_day_model.h"

using namespace lapdex;
using namespace lapdex::ui;
using test::ClubRig;

namespace {

CAllRunsDlg* openAllRuns(ClubRig& rig) {
    rig.views->showAllRuns();
    CAllRunsDlg* runs = rig.views->allRunsWindow();
    // Checked by the callers, which compare the rows.
    (void)QTest::qWaitFor([runs] { return !runs->searching() && runs->model()->rowCount() > 0; },
                          10000);
    return runs;
}

std::vector<RunRow> shownRows(const CAllRunsDlg& runs) {
    std::vector<RunRow> rows;
    for (int r = 0; r < runs.model()->rowCount(); ++r) rows.push_back(runs.model()->run(r));
    return rows;
}

QStringList pcTexts(const CAllRunsDlg& runs) {
    QStringList texts;
    for (int r = 0; r < runs.model()->rowCount(); ++r)
        texts << runs.model()->index(r, RunTableModel::kPc).data().toString();
    texts.removeDuplicates();
    texts.sort();
    return texts;
}

QStringList itemTexts(const QComboBox& box) {
    QStringList texts;
    for (int i = 0; i < box.count(); ++i) texts << box.itemText(i);
    return texts;
}

// The row of All runs that shows `memo` on `pc`'s folder.
int rowOf(const CAllRunsDlg& runs, const std::string& pc, const std::string& memo) {
    for (int r = 0; r < runs.model()->rowCount(); ++r)
        if (runs.model()->run(r).pc == pc && runs.model()->run(r).run.memo == memo) return r;
    return -1;
}

}  // namespace

class TestClubWindow : public QObject {
    Q_OBJECT
  private slots:
    void cleanup() { texts::setCurrentLanguage(texts::Language::Japanese); }

    // Adding a folder through the real chooser: another PC's data folder is listed under its
    // folder's name; this PC's own folder (also through a link), one already listed and one
    // without Lapdex.dat are refused with a message naming the reason.
    void addingAFolder_data() {
        QTest::addColumn<QString>("chosen");  // relative to the rig's folder
        QTest::addColumn<QString>("message");
        QTest::addColumn<QStringList>("labels");
        QTest::newRow("another PC") << "PC-C"
                                    << "" << QStringList{"PC-B", "PC-C"};
        QTest::newRow("own folder") << "own"
                                    << "このPCのデータフォルダです" << QStringList{"PC-B"};
        QTest::newRow("own through a link") << "own-link"
                                            << "このPCのデータフォルダです" << QStringList{"PC-B"};
        QTest::newRow("listed") << "PC-B"
                                << "すでに「PC-B」として追加" << QStringList{"PC-B"};
        QTest::newRow("no Lapdex.dat") << "empty"
                                       << "Lapdex.dat がありません" << QStringList{"PC-B"};
    }
    void addingAFolder() {
        QFETCH(QString, chosen);
        QFETCH(QString, message);
        QFETCH(QStringList, labels);
        ClubRig rig;
        (void)testing::makeDataFolder(systemFileSystem(), rig.path("PC-C").toStdString() + "/", {});
        QVERIFY(QDir().mkpath(rig.path("empty")));
        QVERIFY(QFile::link(rig.path("own"), rig.path("own-link")));
        QCOMPARE(rig.window->menuBar()->actions().last()->text(), QStringLiteral("設定(&S)"));
        rig.menu->clubFoldersAction()->trigger();
        ClubFoldersDlg* dialog = rig.menu->dialog();
        QVERIFY(dialog && dialog->isVisible());
        test::ModalAnswers answers;
        answers.folder = rig.path(qPrintable(chosen));
        dialog->addButton()->click();
        QStringList shown;
        for (int r = 0; r < dialog->table()->rowCount(); ++r)
            shown << dialog->table()->item(r, 0)->text();
        QCOMPARE(shown, labels);
        if (message.isEmpty()) {
            QVERIFY2(answers.boxes.isEmpty(), qPrintable(answers.boxes.join('\n')));
        } else {
            QCOMPARE(answers.boxes.size(), 1);
            QVERIFY2(answers.boxes[0].contains(message), qPrintable(answers.boxes[0]));
        }
    }

    // The Settings menu, the club folders dialog and All runs' PC texts follow a language switch
    // while they are open.
    void textsFollowTheLanguage_data() {
        QTest::addColumn<bool>("english");
        QTest::addColumn<QStringList>("expected");  // menu, action, dialog, Add, PC filter items
        QTest::newRow("ja") << false
                            << QStringList{"設定(&S)", "クラブのフォルダ(&C)...",
                                           "クラブのフォルダ", "追加(&A)...", "すべて,このPC,PC-B"};
        QTest::newRow("en") << true
                            << QStringList{"&Settings", "&Club folders...", "Club folders",
                                           "&Add...", "All,This PC,PC-B"};
    }
    void textsFollowTheLanguage() {
        QFETCH(bool, english);
        QFETCH(QStringList, expected);
        ClubRig rig;
        CAllRunsDlg* runs = openAllRuns(rig);
        rig.menu->showClubFolders();
        ClubFoldersDlg* dialog = rig.menu->dialog();
        // As the language menu does it: every top-level window hears of the change.
        texts::setCurrentLanguage(english ? texts::Language::English : texts::Language::Japanese);
        QEvent change(QEvent::LanguageChange);
        for (QWidget* window : QApplication::topLevelWidgets())
            QCoreApplication::sendEvent(window, &change);
        QCOMPARE((QStringList{rig.menu->menu()->title(), rig.menu->clubFoldersAction()->text(),
                              dialog->windowTitle(), dialog->addButton()->text(),
                              itemTexts(*runs->pcChoice()).join(u',')}),
                 expected);
        QCOMPARE(pcTexts(*runs).size(), 2);
        QVERIFY(pcTexts(*runs).contains(expected[4].section(u',', 1, 1)));
    }

    // Labels edited in the table (a label already used is refused), a folder removed and this
    // PC's label given are kept in the settings on OK and shown by the open All runs at once.
    void editsAreSavedAndShownAtOnce() {
        ClubRig rig;
        const std::string pcC = rig.path("PC-C").toStdString() + "/";
        (void)testing::makeDataFolder(systemFileSystem(), pcC, {{"0000000000c3", "高橋"}});
        ClubRig::write(pcC, 0, "0000000000c3", testing::steadyRun({2024, 5, 13, 8, 0, 0}, 3, 6000));
        CAllRunsDlg* runs = openAllRuns(rig);
        rig.menu->showClubFolders();
        ClubFoldersDlg* dialog = rig.menu->dialog();
        test::ModalAnswers answers;
        answers.folder = QString::fromStdString(pcC);
        dialog->addButton()->click();
        QCOMPARE(dialog->table()->rowCount(), 2);
        dialog->table()->selectRow(1);
        dialog->editButton()->click();
        auto* editor = dialog->table()->viewport()->findChild<QLineEdit*>();
        QVERIFY(editor);
        editor->setText(QStringLiteral("コーチC"));
        QTest::keyClick(editor, Qt::Key_Return);
        QTRY_COMPARE(dialog->table()->item(1, 0)->text(), QStringLiteral("コーチC"));
        dialog->table()->item(0, 0)->setText(QStringLiteral("コーチC"));  // taken: refused
        QCOMPARE(answers.boxes.size(), 1);
        QVERIFY(answers.boxes[0].contains(QStringLiteral("「コーチC」はすでに使われています")));
        QCOMPARE(dialog->table()->item(0, 0)->text(), QStringLiteral("PC-B"));
        dialog->table()->selectRow(0);
        dialog->removeButton()->click();
        dialog->ownLabelField()->setText(QStringLiteral("本部"));
        dialog->buttons()->button(QDialogButtonBox::Ok)->click();

        QSettings settings(rig.settingsFile, QSettings::IniFormat);
        const std::vector<ClubFolder> kept = loadClubFolders(settings);
        QCOMPARE(kept, (std::vector<ClubFolder>{{pcC, "コーチC"}}));
        QCOMPARE(ownPcLabel(settings), QStringLiteral("本部"));
        QCOMPARE(itemTexts(*runs->pcChoice()), (QStringList{"すべて", "本部", "コーチC"}));
        QTRY_COMPARE_WITH_TIMEOUT(pcTexts(*runs), (QStringList{"コーチC", "本部"}), 10000);
        QTRY_COMPARE(test::keysOf(shownRows(*runs)), test::keysOf(rig.scan({}, kept).rows));
    }

    // All runs over both folders: every filter's rows are those of a plain scan of both folders
    // joined as one club (the run PC-B wrote again is shown once, as this PC's), and each row's
    // "PC" names its folder.
    void allRunsAgreesWithAScan_data() {
        QTest::addColumn<int>("pc");             // the PC filter's item: all, this PC, PC-B
        QTest::addColumn<QString>("stopwatch");  // the stopwatch filter's item text, "" all
        QTest::addColumn<QString>("words");
        QTest::addColumn<QStringList>("scanPcs");  // of the scan's query ("" this PC)
        QTest::addColumn<QString>("scanFolder");   // of the scan's query, "" every folder
        QTest::addColumn<QStringList>("shownPcs");
        QTest::newRow("every PC") << 0 << ""
                                  << "" << QStringList{} << "" << QStringList{"PC-B", "このPC"};
        QTest::newRow("this PC") << 1 << ""
                                 << "" << QStringList{""} << "" << QStringList{"このPC"};
        QTest::newRow("PC-B") << 2 << ""
                              << "" << QStringList{"PC-B"} << "" << QStringList{"PC-B"};
        QTest::newRow("PC-B's 山田")
            << 2 << "山田（PC-B）"
            << "" << QStringList{"PC-B"} << "QTM-02" << QStringList{"PC-B"};
        QTest::newRow("this PC's 山田")
            << 0 << "山田"
            << "" << QStringList{""} << "QTM-01" << QStringList{"このPC"};
        QTest::newRow("memo word") << 0 << ""
                                   << "坂道" << QStringList{} << "" << QStringList{"PC-B"};
    }
    void allRunsAgreesWithAScan() {
        QFETCH(int, pc);
        QFETCH(QString, stopwatch);
        QFETCH(QString, words);
        QFETCH(QStringList, scanPcs);
        QFETCH(QString, scanFolder);
        QFETCH(QStringList, shownPcs);
        ClubRig rig;
        CAllRunsDlg* runs = openAllRuns(rig);
        QCOMPARE(itemTexts(*runs->pcChoice()), (QStringList{"すべて", "このPC", "PC-B"}));
        runs->pcChoice()->setCurrentIndex(pc);
        if (!stopwatch.isEmpty()) {
            const int item = runs->stopwatchChoice()->findText(stopwatch);
            QVERIFY2(item > 0, qPrintable(itemTexts(*runs->stopwatchChoice()).join(u',')));
            runs->stopwatchChoice()->setCurrentIndex(item);
        }
        runs->memoWords()->setText(words);
        runs->refresh();
        QTRY_VERIFY(!runs->searching());
        RunQuery query;
        for (const QString& p : scanPcs) query.pcs.push_back(p.toStdString());
        if (!scanFolder.isEmpty()) query.folderNames = {scanFolder.toStdString()};
        if (!words.isEmpty()) query.words = {words.toStdString()};
        const RunListing scan = rig.scan(query, {{rig.club, "PC-B"}});
        QVERIFY(scan.complete() && !scan.rows.empty());
        QCOMPARE(test::keysOf(shownRows(*runs)), test::keysOf(scan.rows));
        QCOMPARE(pcTexts(*runs), shownPcs);
        // The copy carries the PC of each row.
        runs->table()->setFocus();
        runs->table()->selectAll();
        QTest::keyClick(runs->table(), Qt::Key_C, Qt::ControlModifier);
        const QStringList lines = QGuiApplication::clipboard()->text().split(u'\n');
        QVERIFY2(lines[0].startsWith(QStringLiteral("PC\tストップウオッチ\t")),
                 qPrintable(lines[0]));
        QCOMPARE(lines[1].section(u'\t', 0, 0), runs->model()->index(0, 0).data().toString());
    }

    // A run file that a sync engine puts into the club folder (a temporary name, then renamed) or
    // takes away shows in the open All runs and team day without a restart, through the real club
    // watch.
    void clubFolderChangesShowWhileOpen_data() {
        QTest::addColumn<bool>("arrives");
        QTest::newRow("arrives") << true;
        QTest::newRow("leaves") << false;
    }
    void clubFolderChangesShowWhileOpen() {
        QFETCH(bool, arrives);
        ClubRig rig;
        CAllRunsDlg* runs = openAllRuns(rig);
        QTRY_COMPARE(test::keysOf(shownRows(*runs)),
                     test::keysOf(rig.scan({}, {{rig.club, "PC-B"}}).rows));
        const std::size_t before = static_cast<std::size_t>(runs->model()->rowCount());
        // The team day of 10 May (this PC's and PC-B's runs) reloads by the same way.
        rig.views->showTeamDay();
        CTeamDayDlg* day = rig.views->teamDayWindow();
        day->showDate(QDate(2024, 5, 10));
        QTRY_VERIFY(!day->loading() && day->model()->rowCount() == 2);
        QElapsedTimer shown;
        if (arrives) {
            const std::string other = rig.path("elsewhere").toStdString() + "/";
            (void)testing::makeDataFolder(systemFileSystem(), other, {{"0000000000c1", "鈴木"}});
            ClubRig::write(other, 0, "0000000000c1",
                           testing::steadyRun({2024, 5, 10, 9, 10, 0}, 4, 7300, "新着"));
            const QStringList names =
                QDir(QString::fromStdString(other + "QTM-01")).entryList(QDir::Files);
            QCOMPARE(names.size(), 1);
            const QString target = QString::fromStdString(rig.club + "QTM-01/");
            const QString temporary = target + ".syncthing." + names[0] + ".tmp";
            QVERIFY(QFile::copy(QString::fromStdString(other + "QTM-01/") + names[0], temporary));
            shown.start();
            QVERIFY(QFile::rename(temporary, target + names[0]));
        } else {
            const QString folder = QString::fromStdString(rig.club + "QTM-01/");
            const QStringList names = QDir(folder).entryList(QDir::Files);
            QCOMPARE(names.size(), 1);
            shown.start();
            QVERIFY(QFile::remove(folder + names[0]));
        }
        QTRY_COMPARE_WITH_TIMEOUT(static_cast<std::size_t>(runs->model()->rowCount()),
                                  arrives ? before + 1 : before - 1, 5000);
        QTRY_COMPARE(day->model()->rowCount(), arrives ? 3 : 1);
        qInfo("club change shown after %lld ms", static_cast<long long>(shown.elapsed()));
        QCOMPARE(test::keysOf(shownRows(*runs)),
                 test::keysOf(rig.scan({}, {{rig.club, "PC-B"}}).rows));
    }

    // Enter on another PC's run keeps the page on this PC's folder and shows the run read-only,
    // saying whose PC keeps it; its memo cannot be changed, nothing offers to delete or rename
    // it, and not a byte of the club folder changes.
    void clubRunIsReadOnly_data() {
        QTest::addColumn<bool>("english");
        QTest::addColumn<QString>("keptOn");
        QTest::addColumn<QString>("pcAction");
        QTest::newRow("ja") << false << "PC-B のPCで管理されています"
                            << "PC: PC-B";
        QTest::newRow("en") << true << "Kept on PC-B's PC"
                            << "PC: PC-B";
    }
    void clubRunIsReadOnly() {
        QFETCH(bool, english);
        QFETCH(QString, keptOn);
        QFETCH(QString, pcAction);
        texts::setCurrentLanguage(english ? texts::Language::English : texts::Language::Japanese);
        ClubRig rig;
        const auto before = test::filesUnder(QString::fromStdString(rig.club));
        CAllRunsDlg* runs = openAllRuns(rig);
        const int row = rowOf(*runs, "PC-B", "坂道ダッシュ");
        QVERIFY(row >= 0);
        const int tab = rig.window->currentTab();
        auto* page = static_cast<CUserDialog*>(rig.window->page());
        const QString pageRun =
            page->runList()->currentItem() ? page->runList()->currentItem()->text() : QString();
        runs->table()->setFocus();
        runs->table()->setCurrentIndex(runs->model()->index(row, 0));
        QCOMPARE(runs->pcAction()->text(), pcAction);
        QVERIFY(!runs->pcAction()->isEnabled());
        for (QAction* action : runs->table()->actions())
            QVERIFY2(!action->text().contains(QStringLiteral("削除")) &&
                         !action->text().contains(QStringLiteral("名前")) &&
                         !action->text().contains(QStringLiteral("Delete")) &&
                         !action->text().contains(QStringLiteral("Rename")),
                     qPrintable(action->text()));
        QTest::keyClick(runs->table(), Qt::Key_Return);

        QCOMPARE(rig.window->currentTab(), tab);
        QCOMPARE(
            page->runList()->currentItem() ? page->runList()->currentItem()->text() : QString(),
            pageRun);
        ClubRunDlg* shown = rig.views->clubRunWindow();
        QVERIFY(shown && shown->isVisible());
        QTRY_VERIFY(!shown->loading());
        QVERIFY2(shown->keptOn()->text().contains(keptOn), qPrintable(shown->keptOn()->text()));
        QCOMPARE(shown->laps()->rowCount(), 5);
        QCOMPARE(shown->memo()->toPlainText(), QStringLiteral("坂道ダッシュ"));
        QVERIFY(shown->memo()->isReadOnly());
        shown->memo()->setFocus();
        QTest::keyClicks(shown->memo(), QStringLiteral("abc"));
        QTest::keyClick(shown->memo(), Qt::Key_Return);
        QCOMPARE(shown->memo()->toPlainText(), QStringLiteral("坂道ダッシュ"));
        QCOMPARE(shown->laps()->editTriggers(), QAbstractItemView::NoEditTriggers);
        shown->close();
        QTest::qWait(300);
        QVERIFY(test::filesUnder(QString::fromStdString(rig.club)) == before);
    }
};

QTEST_MAIN(TestClubWindow)
#include "test_club_window.moc"
