// Writes a picture of the All runs window over two PCs' runs (all_runs_club.png) into the folder
// given as the first argument, after checking that it lists every run of both: this PC's data
// folder (`--data DIR`, else a made-up one) and a second PC's data folder, made here and read as a
// club folder labelled "Hanako", as a Syncthing copy of it would be. A second argument "ja" or "en"
// shows that language and names it all_runs_club_ja.png or all_runs_club_en.png.
#include <QApplication>
#include <QDate>
#include <QDir>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>
#include <cstring>
#include <set>

#include "c_all_runs_dlg.h"
#include "club_link.h"
#include "club_settings.h"
#include "configuration.h"
#include "folder_run_source.h"
#include "folder_scan_source.h"
#include "picture_language.h"
#include "run_file_fixture.h"
#include "run_file_writer.h"
#include "run_query_worker.h"

using namespace lapdex;
using namespace lapdex::ui;

namespace {

constexpr const char* kClubLabel = "Hanako";

int fail(const char* what) {
    std::fprintf(stderr, "club_screens: %s\n", what);
    return 1;
}

struct Stopwatch {
    const char* serial;
    const char* name;
};

// A data folder at `path` with `stopwatches` registered, each with a morning and an evening run
// of today, started `offset` minutes after the hour so the two PCs' runs interleave.
bool makeDataFolder(const std::string& path, std::initializer_list<Stopwatch> stopwatches,
                    int offset) {
    FileSystem& fs = systemFileSystem();
    if (!fs.createFolder(path).ok()) return false;
    const DataFolder folder(fs, path);
    Configuration config;
    int slot = 0;
    for (const Stopwatch& s : stopwatches) config.registry.entry(slot++) = {s.serial, s.name, 0};
    if (!saveConfiguration(folder, config).ok()) return false;
    createStopwatchFolders(folder, config.registry);
    const QDate today = QDate::currentDate();
    slot = 0;
    for (const Stopwatch& s : stopwatches) {
        for (int hour : {7, 17}) {
            const RunStart start{today.year(), today.month(),     today.day(),
                                 hour,         offset + 2 * slot, 0};
            const RunRecord run =
                testing::steadyRun(start, hour == 7 ? 4 : 6, 6800 + 90 * slot + 7 * offset);
            if (!writeRunFile(fs, path + "/", slot, s.serial, run).ok()) return false;
        }
        ++slot;
    }
    return true;
}

size_t runCount(const std::string& dataFolder) {
    FolderRunSource scan(DataFolder(systemFileSystem(), dataFolder));
    return scan.listRuns(RunQuery{}).rows.size();
}

// The own data folder: --data DIR, or one made up in `work`; "" when it cannot be had.
std::string ownFolder(int argc, char** argv, const QTemporaryDir& work) {
    for (int i = 2; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "--data") == 0) return argv[i + 1];
    }
    const std::string made = work.filePath(QStringLiteral("own")).toStdString();
    const bool ok = makeDataFolder(made, {{"0123456789ab", "山田"}, {"00000000beef", "佐藤"}}, 0);
    return ok ? made : std::string();
}

// Rows of both PCs, each of its runs once.
bool listsBoth(const RunTableModel& model, size_t own, size_t club) {
    std::set<std::string> pcs;
    for (int row = 0; row < model.rowCount(); ++row) pcs.insert(model.run(row).pc);
    return pcs == std::set<std::string>{"", kClubLabel} &&
           static_cast<size_t>(model.rowCount()) == own + club;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    std::optional<QString> suffix = QString();
    if (argc >= 3 && std::strcmp(argv[2], "--data") != 0)
        suffix = test::pictureLanguage(argc, argv);
    if (argc < 2 || !suffix) return fail("usage: club_screens <folder> [ja|en] [--data DIR]");
    QTemporaryDir work;
    // The club folder's run index goes into this program's own cache folder.
    qputenv("XDG_CACHE_HOME", work.filePath(QStringLiteral("cache")).toLocal8Bit());
    const std::string own = ownFolder(argc, argv, work);
    const std::string club = work.filePath(QString::fromLatin1(kClubLabel)).toStdString();
    if (own.empty() ||
        !makeDataFolder(club, {{"a1b2c3d4e5f6", "伊藤"}, {"0f0e0d0c0b0a", "渡辺"}}, 1))
        return fail("cannot make the data folders");
    const QString settingsFile = work.filePath(QStringLiteral("settings.ini"));
    {
        QSettings settings(settingsFile, QSettings::IniFormat);
        saveClubFolders(settings, {ClubFolder{club, kClubLabel}});
    }
    RunQueryWorker queries(
        nullptr, [own] { return makeFolderScanSource(systemFileSystem(), withTrailingSlash(own)); },
        withTrailingSlash(own));
    ClubLink link(queries, withTrailingSlash(own), processEnvironment(), settingsFile);
    CAllRunsDlg runs(queries);
    runs.setClub(link.ownLabel(), {kClubLabel});
    runs.resize(1000, 520);
    runs.show();
    runs.refresh();
    const size_t ownRuns = runCount(own), clubRuns = runCount(club);
    if (!QTest::qWaitFor(
            [&] { return !runs.searching() && listsBoth(*runs.model(), ownRuns, clubRuns); },
            20000))
        return fail("All runs does not list every run of both PCs");
    const QDir out(QString::fromLocal8Bit(argv[1]));
    QDir().mkpath(out.path());
    if (!runs.grab().save(out.filePath(QStringLiteral("all_runs_club%1.png").arg(*suffix))))
        return fail("all_runs_club.png not written");
    return 0;
}
