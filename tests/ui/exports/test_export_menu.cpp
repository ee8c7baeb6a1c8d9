// The 書き出し・印刷 menu in the real main window over a real data folder and its run index: the
// page's day or the All runs selection written as files, overwrite questions, the data folder
// refused, and what the user is told.
#include <QApplication>
#include <QDir>
#include <QItemSelectionModel>
#include <QMenuBar>
#include <QPrintPreviewDialog>
#include <QProcess>
#include <QSet>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "c_all_runs_dlg.h"
#include "c_user_dialog.h"
#include "configuration.h"
#include "data_folder_fixture.h"
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

// The desktop's boxes, recorded; the folder browser answers with `folder`.
class ChoosingDesktop : public test::FakeDesktop {
  public:
    std::optional<QString> browseFolder(QWidget*, const QString&, bool) override { return folder; }
    std::optional<QString> folder;
};

// Two stopwatches with runs on 10 and 11 May 2024, indexed; the window with both menus.
struct Rig {
    Rig() {
        data = dir.path().toStdString() + "/data/";
        out = dir.path() + "/out";
        QDir().mkpath(out);
        FileSystem& fs = systemFileSystem();
        const Configuration config =
            testing::makeDataFolder(fs, data, {{"0123456789ab", "山田"}, {"00000000beef", "佐藤"}})
                .value_or(Configuration{});
        (void)writeRunFile(fs, data, 0, "0123456789ab",
                           testing::steadyRun({2024, 5, 10, 9, 0, 0}, 4, 7000, "向かい風"));
        (void)writeRunFile(fs, data, 0, "0123456789ab",
                           testing::steadyRun({2024, 5, 10, 10, 30, 0}, 3, 7000, ""));
        (void)writeRunFile(fs, data, 1, "00000000beef",
                           testing::steadyRun({2024, 5, 11, 7, 45, 30}, 2, 7000, "雨"));
        index =
            std::make_unique<RunIndex>(fs, data, dir.path().toStdString() + "/cache/runs.sqlite");
        (void)index->open();
        (void)index->refreshAll(indexedStopwatches(config.registry));
        port.titles = {"山田", "佐藤"};
        window = std::make_unique<CLapdexDlg>(
            port, desktop, [](QWidget* parent, PageHost& host) -> StopwatchPage* {
                return new CUserDialog(parent, host);
            });
        page()->setRunIndex(index.get());
        queries = std::make_unique<RunQueryWorker>(index.get(), FallbackFactory{});
        views = std::make_unique<ViewMenu>(*window, *queries);
        exports = std::make_unique<ExportMenu>(*window, *views);
        desktop.folder = out;
        window->show();
    }
    ~Rig() { window->shutdown(); }
    // Triggers a command as the menu does and waits until its runs are read and its files
    // written on the query worker.
    void run(QAction* action) {
        action->trigger();
        QTRY_VERIFY(!exports->busy());
    }
    CUserDialog* page() const { return static_cast<CUserDialog*>(window->page()); }
    QString file(const char* name) const { return out + "/" + name; }
    static QByteArray bytes(const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    QTemporaryDir dir;
    std::string data;
    QString out;
    std::unique_ptr<RunIndex> index;
    std::unique_ptr<RunQueryWorker> queries;
    test::FolderPort port{dir.path().toStdString() + "/data/"};
    ChoosingDesktop desktop;
    std::unique_ptr<CLapdexDlg> window;
    std::unique_ptr<ViewMenu> views;
    std::unique_ptr<ExportMenu> exports;
};

// A run stopped before its first lap.
RunRecord withoutLaps(RunStart start) {
    RunRecord r;
    r.start = start;
    return r;
}

}  // namespace

// Every menu of the bar has a key of its own.
void expectUniqueMenuKeys(const QMenuBar& bar) {
    QSet<QChar> keys;
    for (const QAction* menu : bar.actions()) {
        const QString text = menu->text();
        const qsizetype amp = text.indexOf(QLatin1Char('&'));
        QVERIFY2(amp >= 0 && amp + 1 < text.size(), qPrintable(text));
        const QChar key = text.at(amp + 1).toUpper();
        QVERIFY2(!keys.contains(key), qPrintable(text));
        keys.insert(key);
    }
}

class TestExportMenu : public QObject {
    Q_OBJECT
  private slots:
    void menuHasMnemonics() {
        Rig rig;
        const QList<QAction*> menus = rig.window->menuBar()->actions();
        QCOMPARE(menus.last()->text(), QStringLiteral("書き出し・印刷(&O)"));
        expectUniqueMenuKeys(*rig.window->menuBar());
        QCOMPARE(rig.exports->menu()->actions().value(0), rig.exports->workbookAction());
        QCOMPARE(rig.exports->menu()->actions().value(1), rig.exports->spreadsheetAction());
        QCOMPARE(rig.exports->workbookAction()->text(),
                 QStringLiteral("表計算ソフト用 (.xlsx)(&S)..."));
        QCOMPARE(rig.exports->spreadsheetAction()->text(),
                 QStringLiteral("スクリプト・他のソフト用 CSV(&C)..."));
        QCOMPARE(rig.exports->tcxAction()->text(), QStringLiteral("トレーニング記録用 TCX(&T)..."));
        QCOMPARE(rig.exports->runPdfAction()->text(),
                 QStringLiteral("走行シートをPDFで保存(&R)..."));
        QCOMPARE(rig.exports->dayPdfAction()->text(),
                 QStringLiteral("日のシートをPDFで保存(&D)..."));
        QCOMPARE(rig.exports->printAction()->text(), QStringLiteral("印刷(&P)..."));
        QCOMPARE(rig.exports->printAction()->shortcut(), QKeySequence(QKeySequence::Print));
    }

    void pageDayGoesToSpreadsheetFiles() {
        Rig rig;
        rig.page()->showRun(QDate(2024, 5, 10), "QTM240510_090000_0123456789ab.csv");
        rig.run(rig.exports->spreadsheetAction());
        QCOMPARE(rig.desktop.shown.size(), 1);
        QVERIFY2(rig.desktop.shown[0].startsWith(
                     QStringLiteral("notice: 2件の走行と7周のラップを書き出しました。")),
                 qPrintable(rig.desktop.shown[0]));
        const QString runs = QString::fromUtf8(Rig::bytes(rig.file("2024-05-10_山田_runs.csv")));
        QCOMPARE(runs.count(QStringLiteral("\r\n")), 3);
        QVERIFY(runs.contains(QStringLiteral("山田,0123456789ab,2024-05-10 09:00:00,4,280.00")));
        QVERIFY(!runs.contains(QStringLiteral("佐藤")));
        QCOMPARE(QString::fromUtf8(Rig::bytes(rig.file("2024-05-10_山田_laps.csv")))
                     .count(QStringLiteral("\r\n")),
                 8);
    }

    void existingFileIsReplacedOnlyWhenTheUserSaysYes() {
        Rig rig;
        rig.page()->showRun(QDate(2024, 5, 10), "QTM240510_090000_0123456789ab.csv");
        {
            QFile mine(rig.file("2024-05-10_山田_runs.csv"));
            QVERIFY(mine.open(QIODevice::WriteOnly));
            mine.write("mine");
        }
        rig.desktop.answers = {false};
        rig.run(rig.exports->spreadsheetAction());
        QCOMPARE(rig.desktop.shown.size(), 1);
        QVERIFY(rig.desktop.shown[0].startsWith(QStringLiteral("yesno: \"") + rig.out));
        QVERIFY(rig.desktop.shown[0].endsWith(
            QStringLiteral("2024-05-10_山田_runs.csv\"はすでにあります。\n上書きしますか？")));
        QCOMPARE(Rig::bytes(rig.file("2024-05-10_山田_runs.csv")), QByteArray("mine"));
        QVERIFY(!QFile::exists(rig.file("2024-05-10_山田_laps.csv")));

        rig.desktop.answers = {true};
        rig.run(rig.exports->spreadsheetAction());
        QVERIFY(Rig::bytes(rig.file("2024-05-10_山田_runs.csv")).startsWith("\xEF\xBB\xBF"));
    }

    // Every run asked for is written or named with the reason, and the counts are those of the
    // files: a run gone since it was chosen, a run without laps in a TCX export.
    void everyRunAskedForIsWrittenOrNamed() {
        const struct {
            const char* name;
            bool fromAllRuns;  // else the page's day
            ExportFormat format;
            QString told;    // the start of the message
            QString missed;  // the line naming the run left out
        } kCases[] = {
            {"gone", true, ExportFormat::Spreadsheet,
             QStringLiteral("notice: 1件の走行と3周のラップを書き出しました。"),
             QStringLiteral("次の走行は書き出していません:\nQTM-01/"
                            "QTM240510_090000_0123456789ab.csv: 消えていました")},
            {"no laps", false, ExportFormat::Tcx,
             QStringLiteral("notice: 2件の走行と7周のラップを書き出しました。"),
             QStringLiteral("次の走行は書き出していません:\nQTM-01/"
                            "QTM240510_120000_0123456789ab.csv: ラップがありません")},
        };
        for (const auto& c : kCases) {
            Rig rig;
            (void)writeRunFile(systemFileSystem(), rig.data, 0, "0123456789ab",
                               withoutLaps({2024, 5, 10, 12, 0, 0}));
            rig.page()->showRun(QDate(2024, 5, 10), "QTM240510_090000_0123456789ab.csv");
            if (c.fromAllRuns) {
                rig.views->showAllRuns();
                CAllRunsDlg* all = rig.views->allRunsWindow();
                QTRY_COMPARE(all->model()->rowCount(), 4);
                for (int row = 0; row < 4; ++row) {
                    const std::string& file = all->model()->run(row).fileName;
                    if (file.find("_0900") != std::string::npos ||
                        file.find("_1030") != std::string::npos)
                        all->table()->selectionModel()->select(
                            all->model()->index(row, 0),
                            QItemSelectionModel::Select | QItemSelectionModel::Rows);
                }
                QVERIFY(QFile::remove(QString::fromStdString(rig.data) +
                                      "QTM-01/QTM240510_090000_0123456789ab.csv"));
            }
            rig.desktop.answers = {false};  // TCX: one file per run
            rig.run(c.format == ExportFormat::Tcx ? rig.exports->tcxAction()
                                                  : rig.exports->spreadsheetAction());
            const QString told = rig.desktop.shown.last();
            QVERIFY2(told.startsWith(c.told), qPrintable(QString(c.name) + ": " + told));
            QVERIFY2(told.contains(c.missed), qPrintable(QString(c.name) + ": " + told));
        }
    }

    // However many of its files exist, an export asks once.
    void existingFilesAreAskedAboutOnce() {
        Rig rig;
        rig.page()->showRun(QDate(2024, 5, 10), "QTM240510_090000_0123456789ab.csv");
        for (const char* name : {"2024-05-10_山田_runs.csv", "2024-05-10_山田_laps.csv"}) {
            QFile mine(rig.file(name));
            QVERIFY(mine.open(QIODevice::WriteOnly));
            mine.write("mine");
        }
        rig.desktop.answers = {true};
        rig.run(rig.exports->spreadsheetAction());
        QCOMPARE(rig.desktop.shown.size(), 2);
        QCOMPARE(rig.desktop.shown[0], QStringLiteral("yesno: 次のファイルはすでにあります。\n") +
                                           rig.file("2024-05-10_山田_runs.csv") + "\n" +
                                           rig.file("2024-05-10_山田_laps.csv") +
                                           QStringLiteral("\nすべて上書きしますか？"));
        QVERIFY(rig.desktop.shown[1].startsWith(QStringLiteral("notice: 2件の走行")));
        QVERIFY(Rig::bytes(rig.file("2024-05-10_山田_laps.csv")).startsWith("\xEF\xBB\xBF"));
    }

    void dataFolderIsRefused() {
        Rig rig;
        rig.page()->showRun(QDate(2024, 5, 10), "QTM240510_090000_0123456789ab.csv");
        rig.desktop.folder = QString::fromStdString(rig.data) + "QTM-01";
        rig.run(rig.exports->tcxAction());
        QCOMPARE(
            rig.desktop.shown.last(),
            QStringLiteral(
                "error: データフォルダの中には書き出せません。\n別のフォルダを選んでください。"));
        QVERIFY(!QFile::exists(rig.desktop.folder.value() + "/2024-05-10_山田.tcx"));
        QVERIFY(!QFile::exists(rig.desktop.folder.value() + "/2024-05-10_090000_山田.tcx"));
    }

    void tcxOfTheDayAsOneFileOrOnePerRun() {
        Rig rig;
        rig.page()->showRun(QDate(2024, 5, 10), "QTM240510_090000_0123456789ab.csv");
        rig.desktop.answers = {true};
        rig.run(rig.exports->tcxAction());
        QVERIFY(rig.desktop.shown[0].startsWith(
            QStringLiteral("yesno: 選んだ走行を1つのTCXファイルにまとめますか？")));
        const QByteArray all = Rig::bytes(rig.file("2024-05-10_山田.tcx"));
        QCOMPARE(all.count("<Activity Sport=\"Other\">"), 2);
        // The athlete's name heads the notes; a run without a memo has the name alone.
        QVERIFY(all.contains("<Notes>山田\n向かい風</Notes>"));
        QVERIFY(all.contains("<Notes>山田</Notes>"));

        rig.desktop.answers = {false};
        rig.run(rig.exports->tcxAction());
        QVERIFY(QFile::exists(rig.file("2024-05-10_090000_山田.tcx")));
        QVERIFY(QFile::exists(rig.file("2024-05-10_103000_山田.tcx")));
    }

    void allRunsSelectionWinsOverThePage() {
        Rig rig;
        rig.page()->showRun(QDate(2024, 5, 10), "QTM240510_090000_0123456789ab.csv");
        rig.views->showAllRuns();
        CAllRunsDlg* all = rig.views->allRunsWindow();
        QVERIFY(all && all->isVisible());
        QTRY_COMPARE(all->model()->rowCount(), 3);
        int row = 0;
        while (row < 3 && all->model()->run(row).tabName != "佐藤") ++row;
        all->table()->selectRow(row);
        rig.run(rig.exports->spreadsheetAction());
        const QString runs = QString::fromUtf8(Rig::bytes(rig.file("2024-05-11_佐藤_runs.csv")));
        QCOMPARE(runs.count(QStringLiteral("\r\n")), 2);
        QVERIFY(runs.contains(QStringLiteral("佐藤,00000000beef,2024-05-11 07:45:30,2,140.00")));
    }

    // The All runs selection as runs.xlsx: only the chosen run's rows, and an existing workbook
    // replaced only when the user says yes.
    void workbookOfTheAllRunsSelection() {
        Rig rig;
        rig.page()->showRun(QDate(2024, 5, 10), "QTM240510_090000_0123456789ab.csv");
        rig.views->showAllRuns();
        CAllRunsDlg* all = rig.views->allRunsWindow();
        QTRY_COMPARE(all->model()->rowCount(), 3);
        int row = 0;
        while (row < 3 && all->model()->run(row).tabName != "佐藤") ++row;
        all->table()->selectRow(row);
        rig.run(rig.exports->workbookAction());
        QVERIFY2(rig.desktop.shown.value(0).startsWith(
                     QStringLiteral("notice: 1件の走行と2周のラップを書き出しました。")),
                 qPrintable(rig.desktop.shown.join(u'|')));
        const QString runs = sheetXml(rig.file("2024-05-11_佐藤.xlsx"), "sheet1.xml");
        QCOMPARE(runs.count(QStringLiteral("<row r=")), 2);
        QVERIFY(runs.contains(QStringLiteral(">00000000beef<")));
        QVERIFY(runs.contains(QStringLiteral(">雨<")));
        QCOMPARE(sheetXml(rig.file("2024-05-11_佐藤.xlsx"), "sheet2.xml")
                     .count(QStringLiteral("<row r=")),
                 3);

        const QByteArray first = Rig::bytes(rig.file("2024-05-11_佐藤.xlsx"));
        rig.desktop.answers = {false};
        rig.run(rig.exports->workbookAction());
        QVERIFY(rig.desktop.shown.last().endsWith(
            QStringLiteral("2024-05-11_佐藤.xlsx\"はすでにあります。\n上書きしますか？")));
        QCOMPARE(Rig::bytes(rig.file("2024-05-11_佐藤.xlsx")), first);
    }

    void sheetsAsPdf() {
        Rig rig;
        rig.page()->showRun(QDate(2024, 5, 10), "QTM240510_090000_0123456789ab.csv");
        // Run sheets, like every export, take the page's day: a PDF for each of its runs.
        rig.run(rig.exports->runPdfAction());
        const QString runSheet = rig.file("2024-05-10_090000_山田.pdf");
        QVERIFY2(Rig::bytes(runSheet).startsWith("%PDF"), qPrintable(rig.desktop.shown.join(u'|')));
        QVERIFY(pdfText(runSheet).contains(QStringLiteral("向かい風")));
        QVERIFY(pdfText(runSheet).contains(QStringLiteral("山田")));
        QVERIFY(Rig::bytes(rig.file("2024-05-10_103000_山田.pdf")).startsWith("%PDF"));
        rig.run(rig.exports->dayPdfAction());
        const QString daySheet = pdfText(rig.file("day_2024-05-10_山田.pdf"));
        QVERIFY(daySheet.contains(QStringLiteral("2024/05/10 の走行")));
        QVERIFY(daySheet.contains(QStringLiteral("10:30:00")));
        QVERIFY(!daySheet.contains(QStringLiteral("佐藤")));
        // The team day of the page's date: every stopwatch's runs of 11 May, not only the
        // current one's.
        rig.page()->showRun(QDate(2024, 5, 11), "");
        rig.desktop.answers = {true};
        rig.run(rig.exports->dayPdfAction());
        const QString nextDay = pdfText(rig.file("day_2024-05-11_佐藤.pdf"));
        QVERIFY2(nextDay.contains(QStringLiteral("2024/05/11 の走行")), qPrintable(nextDay));
        QVERIFY(nextDay.contains(QStringLiteral("佐藤")));
        QVERIFY(nextDay.contains(QStringLiteral("07:45:30")));
    }

    void languageChangeRenamesTheMenuAndItsMessages() {
        Rig rig;
        texts::setCurrentLanguage(texts::Language::English);
        QEvent change(QEvent::LanguageChange);
        QCoreApplication::sendEvent(rig.window.get(), &change);
        const QString menu = rig.window->menuBar()->actions().last()->text();
        const QStringList items{menu,
                                rig.exports->workbookAction()->text(),
                                rig.exports->spreadsheetAction()->text(),
                                rig.exports->tcxAction()->text(),
                                rig.exports->runPdfAction()->text(),
                                rig.exports->dayPdfAction()->text(),
                                rig.exports->printAction()->text()};
        const QStringList english{QStringLiteral("&Output and print"),
                                  QStringLiteral("&Spreadsheet (.xlsx)..."),
                                  QStringLiteral("&CSV for scripts..."),
                                  QStringLiteral("&Training log (TCX)..."),
                                  QStringLiteral("&Run sheet as PDF..."),
                                  QStringLiteral("&Day sheet as PDF..."),
                                  QStringLiteral("&Print...")};
        QCOMPARE(items, english);
        expectUniqueMenuKeys(*rig.window->menuBar());
        QSet<QChar> keys;
        for (int i = 1; i < items.size(); ++i)
            keys.insert(items[i].at(items[i].indexOf(u'&') + 1).toUpper());
        QCOMPARE(keys.size(), items.size() - 1);

        // Messages and the spreadsheet's header row follow; one run reads "1 run".
        rig.views->showAllRuns();
        CAllRunsDlg* all = rig.views->allRunsWindow();
        QTRY_COMPARE(all->model()->rowCount(), 3);
        int row = 0;
        while (row < 3 && all->model()->run(row).tabName != "佐藤") ++row;
        all->table()->selectRow(row);
        rig.run(rig.exports->spreadsheetAction());
        const QString told = rig.desktop.shown.value(0);
        texts::setCurrentLanguage(texts::Language::Japanese);
        QCoreApplication::sendEvent(rig.window.get(), &change);
        QVERIFY2(told.startsWith(QStringLiteral("notice: Wrote 1 run and 2 laps.\n")),
                 qPrintable(told));
        QVERIFY(Rig::bytes(rig.file("2024-05-11_佐藤_runs.csv"))
                    .startsWith("\xEF\xBB\xBFName,Serial number,"));
        QVERIFY(Rig::bytes(rig.file("2024-05-11_佐藤_laps.csv"))
                    .startsWith("\xEF\xBB\xBFName,Serial number,"));
        QCOMPARE(rig.window->menuBar()->actions().last()->text(),
                 QStringLiteral("書き出し・印刷(&O)"));
        QCOMPARE(rig.exports->printAction()->text(), QStringLiteral("印刷(&P)..."));
    }

    void ctrlPShowsThePrintPreview() {
        Rig rig;
        rig.page()->showRun(QDate(2024, 5, 10), "QTM240510_090000_0123456789ab.csv");
        QVERIFY(QTest::qWaitForWindowActive(rig.window.get()));
        bool previewed = false;
        // The preview is modal: it is looked for from inside its own event loop.
        QTimer poll;
        poll.setInterval(50);
        QObject::connect(&poll, &QTimer::timeout, [&previewed, &poll] {
            if (auto* preview =
                    qobject_cast<QPrintPreviewDialog*>(QApplication::activeModalWidget())) {
                previewed = true;
                poll.stop();
                preview->reject();
            }
        });
        poll.start();
        QTest::keySequence(rig.window.get(), QKeySequence::Print);
        // The run is read on the query worker first; the preview follows.
        QTRY_VERIFY(previewed);
        QVERIFY(rig.desktop.shown.isEmpty());
    }

  private:
    // One part of a workbook file, as Python's zipfile reads it.
    static QString sheetXml(const QString& path, const char* sheet) {
        QProcess python;
        python.start(QStringLiteral("python3"),
                     {QStringLiteral("-c"),
                      QStringLiteral("import sys, zipfile; sys.stdout.write(zipfile.ZipFile("
                                     "sys.argv[1]).read(sys.argv[2]).decode())"),
                      path, QStringLiteral("xl/worksheets/") + QLatin1String(sheet)});
        python.waitForFinished();
        return QString::fromUtf8(python.readAllStandardOutput());
    }
    static QString pdfText(const QString& path) {
        QProcess pdftotext;
        pdftotext.start(QStringLiteral("pdftotext"), {path, QStringLiteral("-")});
        pdftotext.waitForFinished();
        return QString::fromUtf8(pdftotext.readAllStandardOutput());
    }
};

QTEST_MAIN(TestExportMenu)
#include "test_export_menu.moc"
