// Writes PNG pictures of the main window and of every dialog into the folder given as the
// first argument (build/screens/ by default), for review of layout and text; a second argument
// "ja" or "en" shows that language and names the pictures *_ja.png or *_en.png.
#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QPlainTextEdit>

#include "edit_dialogs.h"
#include "fake_port.h"
#include "lapdex_dlg.h"
#include "message_event.h"
#include "picture_language.h"
#include "status_dialogs.h"

using namespace lapdex;
using namespace lapdex::ui;

namespace {

QString suffix;  // "_ja", "_en" or none

bool save(QWidget& w, const QString& folder, const QString& name) {
    w.show();
    QApplication::processEvents();
    return w.grab().save(QDir(folder).filePath(name + suffix + ".png"));
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const std::optional<QString> language = test::pictureLanguage(argc, argv);
    if (!language) return 2;
    suffix = *language;
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("screens");
    QDir().mkpath(folder);
    test::FakePort port;
    port.titles = {"QTM-01", "QTM-02", "陸上部"};
    port.battery = {{"QTM-01", 4}};
    test::FakeDesktop desktop;
    CLapdexDlg window(port, desktop);
    bool ok = save(window, folder, "main_window");
    port.transfer = 192 * 20;
    // sendEvent leaves the event with the caller, unlike postEvent.
    MessageEvent start(NTF_TRANSFER_START);
    QCoreApplication::sendEvent(&window, &start);
    for (int i = 0; i < 8; ++i) {
        MessageEvent tick(NTF_PROGRESS_TICK);
        QCoreApplication::sendEvent(&window, &tick);
    }
    ok = save(*window.progressDialog(), folder, "download") && ok;
    CTouchDlg touch(&window);
    CReadEndDlg readEnd(&window);
    CClearEndDlg clearEnd(&window);
    CNoDataDlg noData(&window);
    CTransErrDlg transErr(&window);
    CUserFullDlg userFull(&window);
    CAboutBox about(&window);
    CUserIdEdit rename(&window);
    rename.text = "QTM-01";
    CLapMemo lap(&window);
    lap.text = "向かい風";
    CRunMemo run(&window);
    run.text = "晴れ、気温18度。スタートで出遅れ。";
    const std::pair<QWidget*, const char*> dialogs[] = {
        {&touch, "touch"}, {&readEnd, "read_end"}, {&clearEnd, "clear_end"}, {&noData, "no_data"},
        {&transErr, "trans_err"}, {&userFull, "user_full"}, {&about, "about_box"},
        {&rename, "user_id_edit"}, {&lap, "lap_memo"}, {&run, "run_memo"}};
    for (const auto& [dialog, name] : dialogs) ok = save(*dialog, folder, name) && ok;
    // A download that set a lap best and a three-lap total best.
    readEnd.showBests({{BestSet::Kind::Lap,
                        0,
                        TimeFormat::Clock,
                        {6300, 2, "QTM240502_073000_0123456789ab.csv", "2024-05-02T07:30:00"},
                        6470},
                       {BestSet::Kind::Total,
                        3,
                        TimeFormat::Clock,
                        {19850, 0, "QTM240503_073000_0123456789ab.csv", "2024-05-03T07:30:00"},
                        20000}});
    ok = save(readEnd, folder, "read_end_bests") && ok;
    window.shutdown();
    return ok ? 0 : 1;
}
