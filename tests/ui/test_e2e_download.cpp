// The program's main window over the real engine and RDCOM32, through a private pcscd,
// vpcd's virtual reader and stopwatch-sim: a stopwatch laid on the reader becomes run
// files in QTM-01, with the progress and download-finished dialogs in order; Reload shows
// the touch prompt first and brings back a missing run file.
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include "engine_adapter.h"
#include "fake_port.h"
#include "lapdex_dlg.h"
#include "pcscd_fixture.h"
#include "template_dialog.h"

using namespace lapdex::ui;

namespace {

constexpr int kWaitMs = 30000;

const QStringList kRunFiles = {
    "QTM240501_073000_0123456789ab.csv",
    "QTM240503_180512_0123456789ab.csv",
    "QTM240504_064530_0123456789ab.csv",
};

// Records "show X" / "hide X" for every template dialog, X its class, in order.
class DialogLog : public QObject {
  public:
    QStringList entries;

    bool eventFilter(QObject* watched, QEvent* event) override {
        const bool show = event->type() == QEvent::Show, hide = event->type() == QEvent::Hide;
        if ((show || hide) && !event->spontaneous() && qobject_cast<TemplateDialog*>(watched)) {
            const QString entry =
                QString(show ? "show " : "hide ") + watched->metaObject()->className();
            if (entries.isEmpty() || entries.last() != entry) entries << entry;
        }
        return false;
    }
};

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList runFilesIn(const QString& folder) {
    return QDir(folder).entryList({"*.csv"}, QDir::Files, QDir::Name);
}

}  // namespace

class EndToEndDownloadTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase();
    void layingTheStopwatchDownloadsItsRunsIntoRunFiles();
    void reloadPromptsForTouchAndWritesOnlyMissingFiles();
    void cleanupTestCase();

  private:
    void layStopwatch();
    void liftStopwatch();

    testsupport::PcscdFixture rig_;
    QTemporaryDir work_;
    QString data_;  // the program's data folder, inside work_
    QString runs_;
    DialogLog log_;
    test::FakeDesktop desktop_;
    std::unique_ptr<EngineAdapter> engine_;
    std::unique_ptr<CLapdexDlg> window_;
};

void EndToEndDownloadTest::initTestCase() {
    QVERIFY(work_.isValid());
    data_ = work_.filePath("data");
    QVERIFY(QDir().mkpath(data_));
    const testsupport::FixtureResult started = rig_.start();
    if (started.skipped) QSKIP(started.error.c_str());
    QVERIFY2(started, started.error.c_str());
    runs_ = work_.filePath("runs.txt");
    QFile runs(runs_);
    QVERIFY(runs.open(QIODevice::WriteOnly));
    runs.write(
        "2024-05-01 07:30:00 00:01:10.50 00:02:15.20 00:03:20.00\n"
        "2024-05-03 18:05:12 00:00:58.31 00:01:57.02 00:02:55.90 00:03:54.12 00:04:51.77\n"
        "2024-05-04 06:45:30 00:04:12.08 00:08:30.55 00:12:41.19\n");
    runs.close();
    qApp->installEventFilter(&log_);
    engine_ = std::make_unique<EngineAdapter>(data_.toStdString());
    window_ = std::make_unique<CLapdexDlg>(*engine_, desktop_);
    window_->show();
    QCOMPARE(window_->dataFolder(), data_ + "/");
    QCOMPARE(window_->registeredCount(), 0);
}

// The serial bytes are given byte 0 first; run file names show them byte 5 first.
void EndToEndDownloadTest::layStopwatch() {
    const testsupport::FixtureResult laid =
        rig_.layStopwatch({"--runs", runs_.toStdString(), "--serial", "ab8967452301", "--battery",
                           "2421", "--product-type", "2"});
    QVERIFY2(laid, laid.error.c_str());
}

void EndToEndDownloadTest::liftStopwatch() {
    const testsupport::FixtureResult lifted = rig_.liftStopwatch();
    QVERIFY2(lifted, lifted.error.c_str());
}

void EndToEndDownloadTest::layingTheStopwatchDownloadsItsRunsIntoRunFiles() {
    layStopwatch();
    QTRY_VERIFY_WITH_TIMEOUT(window_->readEnd().shown, kWaitMs);
    const QString folder = data_ + "/QTM-01";
    QCOMPARE(runFilesIn(folder), kRunFiles);
    const QByteArray first = readFile(folder + "/" + kRunFiles[0]);
    QVERIFY(first.contains("\r\n2024/05/01   07:30:00,00:03:20.00,3,"));
    QVERIFY(
        first.contains("\r\n1,00:01:10.50,00:01:10.50,\r\n2,00:01:04.70,00:02:15.20,\r\n"
                       "3,00:01:04.80,00:03:20.00,\r\n"));
    QVERIFY(first.endsWith("\r\n"));
    // The notes are Shift_JIS: 【 is 81 79 there.
    QVERIFY(first.startsWith("\x81\x79"));
    QVERIFY(!(QFileInfo(folder + "/" + kRunFiles[0]).permissions() & QFileDevice::WriteOwner));
    QVERIFY(readFile(folder + "/" + kRunFiles[1]).contains("\r\n5,00:00:57.65,00:04:51.77,\r\n"));
    QCOMPARE(window_->registeredCount(), 1);
    QCOMPARE(window_->currentTabName(), QString("QTM-01"));
    QVERIFY(readFile(data_ + "/Lapdex.dat").contains("0123456789ab"));
    QVERIFY(window_->closeEnabled());
    QVERIFY(window_->control(1009)->isEnabled());

    liftStopwatch();
    QTRY_VERIFY_WITH_TIMEOUT(!window_->readEnd().shown, kWaitMs);
    QCOMPARE(log_.entries,
             (QStringList{"show lapdex::ui::CDownloadDlg", "hide lapdex::ui::CDownloadDlg",
                          "show lapdex::ui::CReadEndDlg", "hide lapdex::ui::CReadEndDlg"}));
    QCOMPARE(desktop_.shown, QStringList{});
}

void EndToEndDownloadTest::reloadPromptsForTouchAndWritesOnlyMissingFiles() {
    const QString folder = data_ + "/QTM-01";
    const QString missing = folder + "/" + kRunFiles[2];
    const QString kept = folder + "/" + kRunFiles[0];
    const QDateTime keptWritten = QFileInfo(kept).lastModified();
    QVERIFY(QFile::setPermissions(missing, QFileDevice::ReadOwner | QFileDevice::WriteOwner));
    QVERIFY(QFile::remove(missing));
    log_.entries.clear();
    QTest::qWait(1000);  // past the pause after the last removal

    window_->runCommand(kCmdReload);
    QTRY_VERIFY_WITH_TIMEOUT(window_->touchPrompt().shown, kWaitMs);
    layStopwatch();
    QTRY_VERIFY_WITH_TIMEOUT(window_->readEnd().shown, kWaitMs);
    QVERIFY(!window_->touchPrompt().shown);
    QCOMPARE(runFilesIn(folder), kRunFiles);
    QCOMPARE(QFileInfo(kept).lastModified(), keptWritten);  // never overwritten
    QVERIFY(readFile(missing).contains("\r\n2024/05/04   06:45:30,00:12:41.19,3,"));
    liftStopwatch();
    QTRY_VERIFY_WITH_TIMEOUT(!window_->readEnd().shown, kWaitMs);
    QCOMPARE(log_.entries,
             (QStringList{"show lapdex::ui::CTouchDlg", "hide lapdex::ui::CTouchDlg",
                          "show lapdex::ui::CDownloadDlg", "hide lapdex::ui::CDownloadDlg",
                          "show lapdex::ui::CReadEndDlg", "hide lapdex::ui::CReadEndDlg"}));
    QCOMPARE(window_->registeredCount(), 1);
    QCOMPARE(desktop_.shown, QStringList{});
}

void EndToEndDownloadTest::cleanupTestCase() {
    qApp->removeEventFilter(&log_);
    if (window_) window_->shutdown();
    window_.reset();
    engine_.reset();
}

QTEST_MAIN(EndToEndDownloadTest)
#include "test_e2e_download.moc"
