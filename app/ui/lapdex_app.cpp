#include "lapdex_app.h"

#include <memory>

#include "c_user_dialog.h"
#include "desktop.h"
#include "engine_adapter.h"
#include "lapdex_dlg.h"
#include "single_instance.h"
#include "export_menu.h"
#include "view_menu.h"
#include "window_snapshot.h"

namespace lapdex::ui {

namespace {
const QString kWindowTitle = QStringLiteral("Tarvik K7X Stopwatch");
}

CLapdexApp::CLapdexApp(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationName(QStringLiteral("Lapdex"));
    setQuitOnLastWindowClosed(false);
}

int CLapdexApp::run() {
    SingleInstance instance(SingleInstance::defaultFolder());
    if (!instance.acquire()) {
        instance.notifyFirst();  // the first copy shows its window; nothing here
        return 0;
    }
    EngineAdapter engine;
    QtDesktop desktop;
    CLapdexDlg window(engine, desktop,
                      [&engine](QWidget* parent, PageHost& host) -> StopwatchPage* {
                          auto* page = new CUserDialog(parent, host);
                          page->setRunIndex(engine.runIndex());
                          return page;
                      });
    ViewMenu views(window, engine.runIndex());
    ExportMenu exports(window, views, engine.runIndex());
    connect(&instance, &SingleInstance::activationRequested, &window, [] { raiseWindowTitled(kWindowTitle); });
    // Demos on machines without a screen ask for a picture of the window.
    std::unique_ptr<WindowSnapshot> snapshot;
    if (const auto path = WindowSnapshot::requestedPath(arguments())) snapshot = std::make_unique<WindowSnapshot>(window, *path);
    window.exec();
    window.shutdown();
    return 0;
}

}  // namespace lapdex::ui
