// One copy per user: the second start reaches the first, which raises its window.
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "single_instance.h"

using namespace lapdex::ui;

class SingleInstanceTest : public QObject {
    Q_OBJECT
private slots:
    void secondStartWakesTheFirst();
    void lockIsFreedWhenTheFirstEnds();
    void raisesTheWindowByTitle();
};

void SingleInstanceTest::secondStartWakesTheFirst() {
    QTemporaryDir folder;
    SingleInstance first(folder.path());
    QVERIFY(first.acquire());
    QSignalSpy woken(&first, &SingleInstance::activationRequested);
    SingleInstance second(folder.path());
    QVERIFY(!second.acquire());
    QVERIFY(second.notifyFirst());
    QVERIFY(woken.wait(2000));
}

void SingleInstanceTest::lockIsFreedWhenTheFirstEnds() {
    QTemporaryDir folder;
    {
        SingleInstance first(folder.path());
        QVERIFY(first.acquire());
    }
    SingleInstance next(folder.path());
    QVERIFY(next.acquire());
    SingleInstance late(folder.path());
    QVERIFY(!late.acquire());
}

void SingleInstanceTest::raisesTheWindowByTitle() {
    QWidget window;
    window.setWindowTitle("Tarvik K7X Stopwatch");
    QVERIFY(!raiseWindowTitled("Tarvik K7X Stopwatch"));  // not shown yet
    window.showMinimized();
    QVERIFY(raiseWindowTitled("Tarvik K7X Stopwatch"));
    QVERIFY(!window.isMinimized());
    QVERIFY(!raiseWindowTitled("Other"));
}

QTEST_MAIN(SingleInstanceTest)
#include "test_single_instance.moc"
