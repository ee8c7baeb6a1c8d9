// Writes pictures of the All runs window searching for a Japanese memo word (all_runs.png) and of
// the Roster (roster.png) into the folder given as the first argument, after checking what they show.
#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QTest>
#include <cstdio>

#include "c_all_runs_dlg.h"
#include "c_roster_dlg.h"
#include "index_windows_support.h"

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
    if (argc < 2) return fail("usage: index_screens <folder>");
    test::IndexedFolder folder;
    const QDir out(QString::fromLocal8Bit(argv[1]));
    QDir().mkpath(out.path());
    CAllRunsDlg runs(folder.index.get());
    runs.show();
    test::typeCommitted(runs.memoWords(), QStringLiteral("向かい風"));
    runs.refresh();
    if (runs.model()->rowCount() != 2) return fail("the memo search does not find its two runs");
    if (!runs.grab().save(out.filePath(QStringLiteral("all_runs.png")))) return fail("all_runs.png not written");
    CRosterDlg roster(folder.index.get());
    roster.show();
    if (roster.model()->rowCount() != 2) return fail("the roster does not list both stopwatches");
    if (!roster.grab().save(out.filePath(QStringLiteral("roster.png")))) return fail("roster.png not written");
    return 0;
}
