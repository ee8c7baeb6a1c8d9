#include "lapdex_app.h"

#include <QEventLoop>
#include <QMessageBox>
#include <cstdio>
#include <memory>

#include "c_user_dialog.h"
#include "club_link.h"
#include "club_menu.h"
#include "data_folder.h"
#include "data_folder_lock.h"
#include "desktop.h"
#include "engine_adapter.h"
#include "export_menu.h"
#include "folder_scan_source.h"
#include "language_choice.h"
#include "language_menu.h"
#include "language_switch.h"
#include "lapdex_dlg.h"
#include "main_window_texts.h"
#include "run_query_worker.h"
#include "single_instance.h"
#include "view_menu.h"
#include "window_place.h"
#include "window_snapshot.h"

namespace lapdex::ui {

namespace {
const QString kWindowTitle = QStringLiteral("Tarvik K7X Stopwatch");

// One line on stderr says where the data goes, and a second one when it cannot go there.
void reportDataFolder(EngineAdapter& engine) {
    const std::string folder = engine.dataFolder();
    std::fprintf(stderr, "Lapdex: data folder %s\n", folder.c_str());
    const char* problem = nullptr;
    switch (engine.checkDataFolder()) {
        case FolderCheck::Writable:
            return;
        case FolderCheck::Missing:
            problem = "it does not exist and cannot be created";
            break;
        case FolderCheck::NotAFolder:
            problem = "it is not a folder";
            break;
        case FolderCheck::NotWritable:
            problem = "it cannot be written";
            break;
    }
    std::fprintf(stderr, "Lapdex: cannot keep data in %s: %s\n", folder.c_str(), problem);
}

}  // namespace

CLapdexApp::CLapdexApp(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationName(QStringLiteral("Lapdex"));
    setQuitOnLastWindowClosed(false);
}

int CLapdexApp::run() {
    const LanguageArgument argument = languageArgument(arguments());
    if (!argument.error.isEmpty()) {
        std::fprintf(stderr, "Lapdex: %s\n", qPrintable(argument.error));
        return 2;
    }
    LanguageSwitch languages;
    languages.apply(chooseLanguage(argument.language, rememberedLanguage(), systemLanguage()));
    SingleInstance instance(SingleInstance::defaultFolder());
    if (!instance.acquire()) {
        instance.notifyFirst();  // the first copy shows its window; nothing here
        return 0;
    }
    // Another session or another user may run Lapdex on the same folder: it stays the only one,
    // and this copy leaves everything as it is.
    const std::string folder =
        determineDataFolder(systemFileSystem(), readExecutablePath(), processEnvironment());
    DataFolderLock folderLock(folder);
    if (folderLock.state() == DataFolderLock::State::InUse) {
        QMessageBox box(QMessageBox::Critical, kBoxTitle,
                        ui::localized(main_text::kFolderInUse).arg(QString::fromStdString(folder)),
                        QMessageBox::Ok);
        box.exec();
        return 0;
    }
    // The windows come back where the user left them (kept in the user's settings).
    keepWindowPlacesInUserSettings();
    EngineAdapter engine(folder);
    reportDataFolder(engine);
    // The windows' questions about runs: the index while it can answer, else the folders.
    RunQueryWorker queries(
        engine.runIndex(),
        [folder] { return makeFolderScanSource(systemFileSystem(), withTrailingSlash(folder)); },
        withTrailingSlash(folder));
    QtDesktop desktop;
    CLapdexDlg window(engine, desktop,
                      [&engine, &queries](QWidget* parent, PageHost& host) -> StopwatchPage* {
                          auto* page = new CUserDialog(parent, host);
                          page->setRunIndex(engine.runIndex());
                          page->setRunQueries(&queries);
                          return page;
                      });
    ViewMenu views(window, queries);
    ExportMenu exports(window, views);
    LanguageMenu languageMenu(*views.menu(), languages);
    // Other PCs' data folders, read-only beside this one, and the Settings menu that chooses them.
    ClubLink club(queries, withTrailingSlash(folder), processEnvironment());
    views.followClub(club);
    ClubMenu clubMenu(window, *window.menuBar(), club);
    connect(&instance, &SingleInstance::activationRequested, &window,
            [] { raiseWindowTitled(kWindowTitle); });
    // Demos on machines without a screen ask for a picture of the window.
    std::unique_ptr<WindowSnapshot> snapshot;
    if (const auto path = WindowSnapshot::requestedPath(arguments()))
        snapshot = std::make_unique<WindowSnapshot>(window, *path);
    // Shown as an ordinary window, not through exec(): an application-modal main window would
    // keep the user's clicks and keys from every window without a parent (All runs, the team day,
    // the stopwatch list). Its end (Exit, or closed by the window manager) still ends the loop.
    QEventLoop running;
    QObject::connect(&window, &QDialog::finished, &running, &QEventLoop::quit);
    window.show();
    running.exec();
    window.shutdown();
    // A question waiting behind a long refresh of the index must not hold up the exit.
    if (RunIndex* index = engine.runIndex()) index->requestStop();
    return 0;
}

}  // namespace lapdex::ui
