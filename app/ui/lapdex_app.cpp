#include "lapdex_app.h"

#include "desktop.h"
#include "engine_adapter.h"
#include "lapdex_dlg.h"
#include "single_instance.h"

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
    CLapdexDlg window(engine, desktop);
    connect(&instance, &SingleInstance::activationRequested, &window, [] { raiseWindowTitled(kWindowTitle); });
    window.exec();
    window.shutdown();
    return 0;
}

}  // namespace lapdex::ui
