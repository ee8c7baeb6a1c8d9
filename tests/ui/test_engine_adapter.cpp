// EngineAdapter, the program's EnginePort, over the real engine and store in a temporary
// data folder, with the reader library's core on the in-process PC/SC stand-in.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <mutex>
#include <vector>

#include "cp932.h"
#include "engine_adapter.h"
#include "model/stopwatch.h"
#include "standin/pcsc_standin.h"

using namespace lapdex;
using namespace lapdex::ui;

namespace {

// Notifications as the worker posts them, from its thread.
class RecordingSink : public NotificationSink {
public:
    void post(MessageId id) override {
        std::lock_guard<std::mutex> guard(lock_);
        ids_.push_back(id);
    }
    bool seen(MessageId id) {
        std::lock_guard<std::mutex> guard(lock_);
        return std::find(ids_.begin(), ids_.end(), id) != ids_.end();
    }

private:
    std::mutex lock_;
    std::vector<MessageId> ids_;
};

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace

class EngineAdapterTest : public QObject {
    Q_OBJECT
private slots:
    void init() { sim::Standin::instance().reset(); }
    void cleanup() { sim::Standin::instance().reset(); }
    void startUpWritesANormalisedConfigurationIntoTheGivenFolder();
    void aLaidStopwatchIsRegisteredAndItsRunsWritten();
    void clockSyncIsSavedOnExit();
};

void EngineAdapterTest::startUpWritesANormalisedConfigurationIntoTheGivenFolder() {
    QTemporaryDir data;
    EngineAdapter adapter(data.path().toStdString());
    QCOMPARE(QString::fromStdString(adapter.dataFolder()), data.path() + "/");
    adapter.loadConfiguration();
    QVERIFY(QFile::exists(data.filePath("Lapdex.dat")));
    QCOMPARE(adapter.registeredCount(), 0);
    QVERIFY(adapter.tabTitles().empty());
    QVERIFY(adapter.clockSync());  // on unless the file says OFF
    QCOMPARE(adapter.batteryLevel("QTM-01"), -1);
}

void EngineAdapterTest::aLaidStopwatchIsRegisteredAndItsRunsWritten() {
    QTemporaryDir data;
    sim::Standin::instance().layCard(sim::generateRuns(7, 4));
    RecordingSink sink;
    {
        EngineAdapter adapter(data.path().toStdString());
        adapter.loadConfiguration();
        adapter.start(sink);
        QTRY_VERIFY_WITH_TIMEOUT(sink.seen(NTF_DOWNLOAD_DONE), 20000);
        QVERIFY(sink.seen(NTF_TAB_ADDED));
        QCOMPARE(adapter.registeredCount(), 1);
        QCOMPARE(adapter.tabTitles(), std::vector<std::string>{"QTM-01"});
        QCOMPARE(adapter.notifiedTab(), 0);
        const int level = adapter.batteryLevel("QTM-01");
        QVERIFY2(level > 0 && level <= 5, qPrintable(QString::number(level)));
        QCOMPARE(QDir(data.filePath("QTM-01")).entryList({"QTM*.csv"}, QDir::Files).size(), 4);

        // A rename goes into the registry and the saved configuration; the folder stays.
        adapter.renameStopwatch("QTM-01", "陸上部");
        QCOMPARE(adapter.batteryLevel("陸上部"), level);
        QCOMPARE(adapter.batteryLevel("QTM-01"), -1);
        const TextConversion stored = utf8ToCp932("陸上部");  // the file is Shift_JIS
        QVERIFY(stored.ok());
        QVERIFY(readFile(data.filePath("Lapdex.dat")).contains(QByteArray::fromStdString(stored.text)));
        adapter.stop();
    }
    QVERIFY(QDir(data.filePath("QTM-01")).exists());
}

void EngineAdapterTest::clockSyncIsSavedOnExit() {
    QTemporaryDir data;
    {
        EngineAdapter adapter(data.path().toStdString());
        adapter.loadConfiguration();
        adapter.setClockSync(false);
        adapter.saveOnExit();
    }
    QVERIFY(readFile(data.filePath("Lapdex.dat")).contains("PCTIME=OFF"));
    EngineAdapter again(data.path().toStdString());
    again.loadConfiguration();
    QVERIFY(!again.clockSync());
}

QTEST_MAIN(EngineAdapterTest)
#include "test_engine_adapter.moc"
