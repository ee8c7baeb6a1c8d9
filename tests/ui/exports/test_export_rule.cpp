// What an export covers, through the program's own desktop: Qt's folder chooser and message
// boxes, driven as a user would while they are open. The All runs selection while that window is
// shown, else the page's day of every stopwatch; the files' names, the chooser's start folder and
// title, and the summary with its Open folder button.
#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "c_all_runs_dlg.h"
#include "c_user_dialog.h"
#include "configuration.h"
#include "data_folder_fixture.h"
#include "desktop.h"
#include "export_menu.h"
#include "fake_port.h"
#include "lapdex_dlg.h"
#include "run_file_fixture.h"
#include "run_file_writer.h"
#include "run_index_keeper.h"
#include "run_query_worker.h"
#include "view_menu.h"

using namespace lapdex;
using namespace lapdex::ui;

namespace {

// What the user met in the open dialogs: the chooser's title, start folder and typed name, and
// each message box's text. The chooser answers with `out`; a box is closed with its "Open folder"
// button when it has one, else with Yes or OK.
class DialogUser : public QObject {
    Q_OBJECT
  public:
    QString out;
    QStringList titles, starts, typed, boxes;
    void act() {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* chooser = qobject_cast<QFileDialog*>(modal)) {
            titles << chooser->windowTitle();
            starts << chooser->directory().absolutePath();
            const auto* name = chooser->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            typed << (name ? name->text() : QStringLiteral("?"));
            chooser->setDirectory(out);
            QMetaObject::invokeMethod(chooser, "accept", Qt::QueuedConnection);
        } else if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            boxes << box->text();
            for (QAbstractButton* b : box->buttons()) {
                if (b->text() == QStringLiteral("フォルダを開く")) return b->click();
            }
            QAbstractButton* yes = box->button(QMessageBox::Yes);
            (yes ? yes : box->button(QMessageBox::Ok))->click();
        }
    }
    Q_INVOKABLE void openUrl(const QUrl& url) { opened << url.toLocalFile(); }
    QStringList opened;
};

// 山田 ran twice on 10 May; 佐藤 on 10 and 11 May.
struct Rig {
    Rig() {
        data = dir.path().toStdString() + "/data/";
        user.out = dir.path() + "/out";
        QDir().mkpath(user.out);
        FileSystem& fs = systemFileSystem();
        const Configuration config =
            testing::makeDataFolder(fs, data, {{"0123456789ab", "山田"}, {"00000000beef", "佐藤"}})
                .value_or(Configuration{});
        (void)writeRunFile(fs, data, 0, "0123456789ab",
                           testing::steadyRun({2024, 5, 10, 9, 0, 0}, 4, 7000, "向かい風"));
        (void)writeRunFile(fs, data, 0, "0123456789ab",
                           testing::steadyRun({2024, 5, 10, 10, 30, 0}, 3, 7000));
        (void)writeRunFile(fs, data, 1, "00000000beef",
                           testing::steadyRun({2024, 5, 10, 9, 5, 0}, 2, 7100));
        (void)writeRunFile(fs, data, 1, "00000000beef",
                           testing::steadyRun({2024, 5, 11, 7, 45, 30}, 2, 7000, "雨"));
        index = std::make_unique<RunIndex>(fs, data, dir.path().toStdString() + "/runs.sqlite");
        (void)index->open();
        (void)index->refreshAll(indexedStopwatches(config.registry));
        port.titles = {"山田", "佐藤"};
        window = std::make_unique<CLapdexDlg>(
            port, desktop, [](QWidget* parent, PageHost& host) -> StopwatchPage* {
                return new CUserDialog(parent, host);
            });
        static_cast<CUserDialog*>(window->page())->setRunIndex(index.get());
        queries = std::make_unique<RunQueryWorker>(index.get(), FallbackFactory{});
        views = std::make_unique<ViewMenu>(*window, *queries);
        exports = std::make_unique<ExportMenu>(*window, *views);
        QDesktopServices::setUrlHandler(QStringLiteral("file"), &user, "openUrl");
        window->show();
        static_cast<CUserDialog*>(window->page())->showRun(QDate(2024, 5, 10), "");
    }
    ~Rig() {
        QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
        window->shutdown();
    }
    // Selects the runs of `tab` in All runs, or closes All runs when `tab` is empty.
    void choose(const std::string& tab) {
        views->showAllRuns();
        CAllRunsDlg* all = views->allRunsWindow();
        QTRY_COMPARE(all->model()->rowCount(), 4);
        all->table()->clearSelection();
        for (int row = 0; row < 4; ++row) {
            if (all->model()->run(row).tabName == tab)
                all->table()->selectionModel()->select(
                    all->model()->index(row, 0),
                    QItemSelectionModel::Select | QItemSelectionModel::Rows);
        }
        if (tab.empty()) all->hide();
    }
    // Runs the command while the user answers its dialogs, until its files are written.
    void run(QAction* action) {
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, &user, &DialogUser::act);
        poll.start(30);
        const int boxes = int(user.boxes.size());
        action->trigger();
        QTRY_VERIFY_WITH_TIMEOUT(!exports->busy() && user.boxes.size() > boxes, 20000);
    }
    QStringList written() const { return QDir(user.out).entryList(QDir::Files, QDir::Name); }

    QTemporaryDir dir;
    std::string data;
    std::unique_ptr<RunIndex> index;
    std::unique_ptr<RunQueryWorker> queries;
    test::FolderPort port{dir.path().toStdString() + "/data/"};
    QtDesktop desktop;
    DialogUser user;
    std::unique_ptr<CLapdexDlg> window;
    std::unique_ptr<ViewMenu> views;
    std::unique_ptr<ExportMenu> exports;
};

QString pdfText(const QString& path) {
    QProcess pdftotext;
    pdftotext.start(QStringLiteral("pdftotext"), {path, QStringLiteral("-")});
    pdftotext.waitForFinished();
    return QString::fromUtf8(pdftotext.readAllStandardOutput());
}

}  // namespace

class TestExportRule : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() {
        // The chooser remembers its folder in the settings: this test's own, under its own home.
        QVERIFY(home.isValid());
        qputenv("HOME", home.path().toUtf8());
        qputenv("XDG_CONFIG_HOME", (home.path() + "/.config").toUtf8());
        QVERIFY(QDir().mkpath(home.path() + "/Documents"));
    }

    void everyFormatTakesTheSelectionOrThePagesTeamDay() {
        const struct {
            const char* name;
            std::string chosen;  // the tab whose runs are selected in All runs; "" for none
            QAction* (ExportMenu::*command)() const;
            QString cover;  // how the chooser's title starts
            QStringList files;
            QString summary;  // how the completion starts
            QString inPdf;    // in the first PDF written, when any
        } kCases[] = {
            {"page day as CSV",
             "",
             &ExportMenu::spreadsheetAction,
             QStringLiteral("2024/05/10 の全ストップウオッチの3件の走行を書き出します。"),
             {"2024-05-10_laps.csv", "2024-05-10_runs.csv"},
             QStringLiteral("3件の走行と9周のラップを書き出しました。\n"),
             {}},
            {"page day as run sheets",
             "",
             &ExportMenu::runPdfAction,
             QStringLiteral("2024/05/10 の全ストップウオッチの3件の走行"),
             {"2024-05-10_090000_山田.pdf", "2024-05-10_103000_山田.pdf", "2024-05-10_佐藤.pdf"},
             QStringLiteral("3件の走行と9周のラップを書き出しました。\n"),
             QStringLiteral("向かい風")},
            {"selection as workbook",
             "佐藤",
             &ExportMenu::workbookAction,
             QStringLiteral("すべての走行で選んだ2件の走行を書き出します。"),
             {"2024-05-10_2024-05-11_佐藤.xlsx"},
             QStringLiteral("2件の走行と4周のラップを書き出しました。\n"),
             {}},
            {"selection as day sheet",
             "佐藤",
             &ExportMenu::dayPdfAction,
             QStringLiteral("すべての走行で選んだ2件の走行"),
             {"day_2024-05-10_2024-05-11_佐藤.pdf"},
             QStringLiteral("2件の走行と4周のラップを書き出しました。\n"),
             QStringLiteral("2024/05/11 07:45:30")},
        };
        for (const auto& c : kCases) {
            Rig rig;
            QDir(rig.user.out).removeRecursively();
            QDir().mkpath(rig.user.out);
            rig.choose(c.chosen);
            rig.run((rig.exports.get()->*c.command)());
            QVERIFY2(rig.user.titles.value(0).startsWith(c.cover),
                     qPrintable(QString(c.name) + ": " + rig.user.titles.value(0)));
            QStringList expected = c.files;
            expected.sort();
            QCOMPARE(rig.written(), expected);
            const QString told = rig.user.boxes.last();
            QVERIFY2(told.startsWith(c.summary), qPrintable(QString(c.name) + ": " + told));
            // A summary, never a list of the files; its button opened the folder.
            QVERIFY2(told.endsWith(QStringLiteral("%1 個のファイル").arg(c.files.size())),
                     qPrintable(told));
            QVERIFY(told.contains(rig.user.out));
            QCOMPARE(rig.user.opened, QStringList{rig.user.out});
            if (!c.inPdf.isEmpty())
                QVERIFY2(pdfText(rig.user.out + "/" + c.files[0]).contains(c.inPdf), c.name);
        }
    }

    // The chooser starts in the documents folder with no name typed in, then where the user
    // chose last time.
    void chooserStartsInTheLastFolderUsed() {
        QDir(home.path() + "/.config").removeRecursively();
        Rig rig;
        rig.run(rig.exports->spreadsheetAction());
        rig.run(rig.exports->workbookAction());
        QCOMPARE(rig.user.starts, (QStringList{home.path() + "/Documents", rig.user.out}));
        QCOMPARE(rig.user.typed, (QStringList{QString(), QString()}));
    }

  private:
    QTemporaryDir home;
};

QTEST_MAIN(TestExportRule)
#include "test_export_rule.moc"
