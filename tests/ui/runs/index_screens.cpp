// Writes pictures of the All runs window searching for a Japanese memo word (all_runs.png), of
// the Roster (roster.png) and of its first stopwatch's personal bests (bests.png) into the folder
// given as the first argument, after checking what they
// show; a second argument "ja" or "en" shows that language and names them all_runs_ja.png and so
// on.
#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QTableView>
#include <QTest>
#include <cstdio>
#include <tuple>

#include "c_all_runs_dlg.h"
#include "c_roster_dlg.h"
#include "contact_history.h"
#include "index_windows_support.h"
#include "picture_language.h"

using namespace lapdex;
using namespace lapdex::ui;

namespace {

int fail(const char* what) {
    std::fprintf(stderr, "index_screens: %s\n", what);
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const std::optional<QString> suffix = test::pictureLanguage(argc, argv);
    if (argc < 2 || !suffix) return fail("usage: index_screens <folder> [ja|en]");
    test::IndexedFolder folder;
    const QDir out(QString::fromLocal8Bit(argv[1]));
    QDir().mkpath(out.path());
    CAllRunsDlg runs(*folder.queries);
    runs.show();
    test::typeCommitted(runs.memoWords(), QStringLiteral("向かい風"));
    runs.refresh();
    // The answer comes from the query worker: the picture waits for it.
    if (!QTest::qWaitFor([&runs] { return !runs.searching() && runs.model()->rowCount() == 2; }))
        return fail("the memo search does not find its two runs");
    if (!runs.grab().save(out.filePath(QStringLiteral("all_runs%1.png").arg(*suffix))))
        return fail("all_runs.png not written");
    // Contacts for the roster's last contact and battery columns, one with a low battery.
    for (const auto& [serial, time, level] :
         {std::tuple{"0123456789ab", "2024-06-02 08:30:11", 4},
          std::tuple{"00000000beef", "2024-05-11 07:50:02", 1}}) {
        ContactRecord contact;
        contact.localTime = time;
        contact.serialText = serial;
        contact.batteryLevel = level;
        contact.result = "ok";
        (void)appendContact(DataFolder(systemFileSystem(), folder.dataPath()), contact);
    }
    CRosterDlg roster(*folder.queries);
    roster.show();
    if (!QTest::qWaitFor([&roster] { return roster.model()->rowCount() == 2; }))
        return fail("the roster does not list both stopwatches");
    if (!roster.grab().save(out.filePath(QStringLiteral("roster%1.png").arg(*suffix))))
        return fail("roster.png not written");
    roster.table()->selectRow(0);
    roster.showBests();
    CBestsDlg* bests = roster.bestsWindow();
    if (!bests || !QTest::qWaitFor([bests] { return !bests->loading(); }) ||
        bests->model()->rowCount() == 0)
        return fail("the personal bests are not shown");
    if (!bests->grab().save(out.filePath(QStringLiteral("bests%1.png").arg(*suffix))))
        return fail("bests.png not written");
    return 0;
}
