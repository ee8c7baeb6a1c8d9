// A download whose new runs set a personal best says so in its completion: the real window, page,
// engine, store and run index in a temporary data folder, the reader library on the in-process
// stand-in, stopwatches laid on and lifted off as a coach does.
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "bilingual_text.h"
#include "c_user_dialog.h"
#include "engine_adapter.h"
#include "lapdex_dlg.h"
#include "model/stopwatch.h"
#include "standin/pcsc_standin.h"
#include "status_dialogs.h"

using namespace lapdex;
using namespace lapdex::ui;

namespace {

constexpr int kWaitMs = 20000;

// The stand-in's default stopwatch (serial 01 23 45 67 89 AB) is registered as Alpha.
const QByteArray kOneStopwatch =
    "[Config]\r\nLOCATION=JPN\r\nTIMECOMP=OFF\r\nPCTIME=ON\r\n[User]\r\n"
    "QTM01_SERIAL=ab8967452301\r\nQTM01_NAME=Alpha\r\n";

// The stopwatch's runs in the order it recorded them: A sets the first times, B a faster lap
// (63.00 in lap 2, A's best was 64.70), C a faster three-lap total (3:18.50 against 3:20.00),
// D nothing.
const char* const kRuns[] = {
    "2024-05-01 07:30:00 00:01:10.50 00:02:15.20 00:03:20.00",
    "2024-05-02 07:30:00 00:01:05.00 00:02:08.00 00:03:15.00 00:04:20.00",
    "2024-05-03 07:30:00 00:01:06.00 00:02:12.00 00:03:18.50",
    "2024-05-04 07:30:00 00:01:10.00 00:02:20.00 00:03:30.00",
};

std::vector<sim::SimRun> firstRuns(std::size_t count) {
    std::string text;
    for (std::size_t i = 0; i < count; ++i) text += std::string(kRuns[i]) + "\n";
    return *sim::parseRuns(text);
}

bool writeFile(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

}  // namespace

class DownloadBestsTest : public QObject {
    Q_OBJECT
  private slots:
    void init();
    void cleanup();
    void theCompletionNamesTheBestsOfItsOwnNewRuns();

  private:
    // Lays the stopwatch with the first `runs` runs, of which the first `old` were downloaded
    // before, and waits for the download's completion.
    void layAndDownload(CLapdexDlg& window, std::size_t runs, std::size_t old);
    void lift(CLapdexDlg& window);

    std::unique_ptr<QTemporaryDir> data_;
};

void DownloadBestsTest::init() {
    sim::Standin::instance().reset();
    data_ = std::make_unique<QTemporaryDir>();
    QVERIFY(writeFile(data_->filePath("Lapdex.dat"), kOneStopwatch));
    QVERIFY(QDir(data_->path()).mkpath("QTM-01"));
}

void DownloadBestsTest::cleanup() {
    texts::setCurrentLanguage(texts::Language::Japanese);
    sim::Standin::instance().reset();
    data_.reset();
}

void DownloadBestsTest::layAndDownload(CLapdexDlg& window, std::size_t runs, std::size_t old) {
    sim::Standin::instance().locked([&](sim::Standin& s) {
        auto watch = std::make_shared<sim::Stopwatch>();
        watch->runs = firstRuns(runs);
        watch->downloadedRuns = old;
        s.card = watch;
    });
    QTRY_VERIFY_WITH_TIMEOUT(window.readEnd().shown, kWaitMs);
    QTRY_COMPARE_WITH_TIMEOUT(
        int(QDir(data_->filePath("QTM-01")).entryList({"QTM*.csv"}, QDir::Files).size()), int(runs),
        kWaitMs);
}

void DownloadBestsTest::lift(CLapdexDlg& window) {
    sim::Standin::instance().locked([](sim::Standin& s) { s.card = nullptr; });
    QTRY_VERIFY_WITH_TIMEOUT(!window.readEnd().shown, kWaitMs);
}

void DownloadBestsTest::theCompletionNamesTheBestsOfItsOwnNewRuns() {
    EngineAdapter adapter(data_->path().toStdString());
    QtDesktop desktop;
    CLapdexDlg window(adapter, desktop, [](QWidget* parent, PageHost& host) -> StopwatchPage* {
        return new CUserDialog(parent, host);
    });
    window.show();
    auto* dialog = qobject_cast<CReadEndDlg*>(window.readEnd().dialog);
    QVERIFY(dialog);
    const QSize templateSize = dialog->size();
    const QString bests = QStringLiteral(
        "自己ベストを更新しました:\n"
        "最速ラップ 00:01:03.00（2024/05/02 07:30 の走行のラップ 2、これまで 00:01:04.70）\n"
        "3 ラップのトータル 00:03:18.50（2024/05/03 07:30 の走行、これまで 00:03:20.00）");
    const struct {
        std::size_t runs, old;
        QString said;  // "" when the line stays hidden
    } kDownloads[] = {
        {1, 0, ""},     // a first run has nothing to beat
        {3, 1, bests},  // B and C each set one
        {4, 3, ""},     // D sets none: last download's line is gone
    };
    for (const auto& d : kDownloads) {
        layAndDownload(window, d.runs, d.old);
        QCOMPARE(dialog->bestsLabel()->isVisible(), !d.said.isEmpty());
        if (d.said.isEmpty()) {
            QCOMPARE(dialog->size(), templateSize);
        } else {
            QCOMPARE(dialog->bestsLabel()->text(), d.said);
            // Below the template's text, inside the grown dialog, the whole text shown.
            const QRect line = dialog->bestsLabel()->geometry();
            QVERIFY(line.top() > dialog->control(1017)->geometry().bottom());
            QVERIFY(dialog->rect().contains(line));
            QVERIFY(line.width() >= dialog->bestsLabel()->sizeHint().width());
            QVERIFY(dialog->height() > templateSize.height());
            // The line follows a change of language while it is shown.
            texts::setCurrentLanguage(texts::Language::English);
            QEvent change(QEvent::LanguageChange);
            QCoreApplication::sendEvent(dialog, &change);
            QVERIFY(
                dialog->bestsLabel()->text().startsWith("New personal best:\nFastest lap "
                                                        "00:01:03.00 (lap 2 of the run at "
                                                        "2024/05/02 07:30; was 00:01:04.70)"));
            texts::setCurrentLanguage(texts::Language::Japanese);
            QCoreApplication::sendEvent(dialog, &change);
            QCOMPARE(dialog->bestsLabel()->text(), d.said);
        }
        // The dialog still ends as it always did: when the stopwatch leaves the reader.
        lift(window);
    }
}

QTEST_MAIN(DownloadBestsTest)
#include "test_download_bests.moc"
