// The picture of the window that demos ask for with --screenshot.
#include <QImage>
#include <QTemporaryDir>
#include <QTest>

#include "window_snapshot.h"

using namespace lapdex::ui;

class WindowSnapshotTest : public QObject {
    Q_OBJECT
private slots:
    void thePathFollowsTheOption();
    void thePictureHasTheWindowsSizeAndIsRenewed();
    void aHiddenWindowWritesNothing();
};

void WindowSnapshotTest::thePathFollowsTheOption() {
    QCOMPARE(WindowSnapshot::requestedPath({"Lapdex", "--screenshot", "/tmp/a.png"}), std::optional<QString>("/tmp/a.png"));
    QCOMPARE(WindowSnapshot::requestedPath({"Lapdex"}), std::nullopt);
    QCOMPARE(WindowSnapshot::requestedPath({"Lapdex", "--screenshot"}), std::nullopt);
}

void WindowSnapshotTest::thePictureHasTheWindowsSizeAndIsRenewed() {
    QTemporaryDir folder;
    const QString path = folder.filePath("window.png");
    QWidget window;
    window.resize(321, 123);
    window.show();
    WindowSnapshot snapshot(window, path, 20);
    QTRY_VERIFY(QFile::exists(path));
    QCOMPARE(QImage(path).size(), QSize(321, 123));
    window.resize(200, 100);
    QTRY_COMPARE(QImage(path).size(), QSize(200, 100));
    QVERIFY(!QFile::exists(path + ".part"));
}

void WindowSnapshotTest::aHiddenWindowWritesNothing() {
    QTemporaryDir folder;
    const QString path = folder.filePath("window.png");
    QWidget window;
    WindowSnapshot snapshot(window, path, 10000);
    QVERIFY(!snapshot.save());
    QVERIFY(!QFile::exists(path));
}

QTEST_MAIN(WindowSnapshotTest)
#include "test_window_snapshot.moc"
