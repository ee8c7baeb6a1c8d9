// The main window: tabs, context menu, battery picture, reactions to every notification,
// the progress display, Reload/Clear/Rename/Delete, closing and shutdown.
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTabBar>
#include <QTest>
#include <QTimer>

#include "bilingual_text.h"
#include "fake_port.h"
#include "lapdex_dlg.h"
#include "message_event.h"

using namespace lapdex;
using namespace lapdex::ui;
using lapdex::ui::test::FakeDesktop;
using lapdex::ui::test::FakePort;

namespace {

void notify(CLapdexDlg& w, MessageId id) {
    MessageEvent event(id);
    QCoreApplication::sendEvent(&w, &event);
}

QStringList tabTexts(const CLapdexDlg& w) {
    QStringList t;
    for (int i = 0; i < w.tabControl()->tabBar()->count(); ++i) t << w.tabControl()->tabBar()->tabText(i);
    return t;
}

const std::vector<unsigned>& pageMessages(const CLapdexDlg& w) {
    QCoreApplication::processEvents();
    return static_cast<EmptyPage*>(w.page())->received();
}

// Answers the next modal dialog of `w` once it runs.
void whenModal(std::function<void(QWidget*)> act) {
    QTimer::singleShot(0, [act] {
        QWidget* modal = QApplication::activeModalWidget();
        QVERIFY(modal);
        act(modal);
    });
}

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT
private slots:
    void startUpBuildsTabsAndControls();
    void placeholderTabHasNoMenuAndGreyBattery();
    void rightClickPicksTheContextTabWithoutSelecting();
    void tabChangeTellsThePage();
    void batteryFollowsTheLevel();
    void downloadDoneAndGone();
    void downloadDoneResumesEvenWhenDismissed();
    void clearAndNoDataResumeUnlessDismissed();
    void commandAckDismissesInOrderButKeepsTouchAndProgress();
    void errorsResumeUnlessDismissed();
    void progressDisablesExitAndClose();
    void reloadAndClearPromptForTouch();
    void renameRefusesDuplicatesAndReopensWithTheRejectedName();
    void deleteFollowsTheTabRules();
    void runFileErrorAndNewTab();
    void messagesInEnglish();
    void enterEscapeAndArrowsDoNotCloseOrMove();
    void successfulImportClosesWithoutSaving();
    void helpOpensTheManualAndClockSyncIsKept();
    void versionShowsTheDataFolder();
    void startUpSaysWhenTheDataFolderCannotBeWritten();
};

void MainWindowTest::startUpBuildsTabsAndControls() {
    FakePort port;
    port.titles = {"QTM-01", "QTM-02"};
    port.sync = false;
    FakeDesktop desktop;
    {
        CLapdexDlg w(port, desktop);
        QCOMPARE(w.windowTitle(), QString("Tarvik K7X Stopwatch"));
        QCOMPARE(tabTexts(w), (QStringList{"QTM-01", "QTM-02"}));
        QCOMPARE(w.registeredCount(), 2);
        QCOMPARE(w.currentTab(), 0);
        QVERIFY(port.started);
        QVERIFY(!qobject_cast<QCheckBox*>(w.control(1023))->isChecked());
        QCOMPARE(qobject_cast<QPushButton*>(w.control(1009))->text(), QString("終了"));
        QVERIFY(!w.progressDialog()->isVisible());
        const auto actions = w.menuBar()->actions();
        QCOMPARE(actions.size(), 6);
        QCOMPARE(actions[1]->text(), QString("ストップウオッチクリア(&C)"));
        QCOMPARE(actions[5]->text(), QString("インポート(&I)"));
        // The page sits in the tab control's display area, bottom edges together.
        const QRect area = w.tabControl()->displayArea();
        QCOMPARE(w.page()->geometry().left(), area.left());
        QCOMPARE(w.page()->geometry().bottom(), area.bottom());
    }
    QVERIFY(port.stopped);
    QVERIFY(port.saved);
}

void MainWindowTest::placeholderTabHasNoMenuAndGreyBattery() {
    FakePort port;
    FakeDesktop desktop;
    CLapdexDlg w(port, desktop);
    w.show();
    QCOMPARE(tabTexts(w), QStringList{""});
    QCOMPARE(w.registeredCount(), 0);
    QCOMPARE(w.batteryPictureShown(), 140);
    QTabBar* bar = w.tabControl()->tabBar();
    QTest::mouseClick(bar, Qt::RightButton, {}, bar->tabRect(0).center());
    QVERIFY(!w.contextMenu()->isVisible());
}

void MainWindowTest::rightClickPicksTheContextTabWithoutSelecting() {
    FakePort port;
    port.titles = {"A", "B", "C"};
    FakeDesktop desktop;
    CLapdexDlg w(port, desktop);
    w.show();
    QTabBar* bar = w.tabControl()->tabBar();
    QTest::mouseClick(bar, Qt::RightButton, {}, bar->tabRect(2).center());
    QCOMPARE(w.contextTab(), 2);
    QCOMPARE(w.currentTab(), 0);
    QCOMPARE(bar->currentIndex(), 0);
    QVERIFY(w.contextMenu()->isVisible());
    QCOMPARE(w.contextMenu()->actions().value(0)->text(), QString("名前の変更"));
    w.contextMenu()->hide();
    // From the keyboard: the menu key and Shift+F10 open the selected tab's menu.
    for (const auto& [key, modifiers] :
         {std::pair{Qt::Key_Menu, Qt::NoModifier}, std::pair{Qt::Key_F10, Qt::ShiftModifier}}) {
        QTest::keyClick(bar, key, modifiers);
        QCOMPARE(w.contextTab(), 0);
        QVERIFY(w.contextMenu()->isVisible());
        w.contextMenu()->hide();
    }
}

void MainWindowTest::tabChangeTellsThePage() {
    FakePort port;
    port.titles = {"A", "B"};
    FakeDesktop desktop;
    CLapdexDlg w(port, desktop);
    pageMessages(w);
    w.tabControl()->tabBar()->setCurrentIndex(1);
    QCOMPARE(w.currentTab(), 1);
    QCOMPARE(pageMessages(w).back(), unsigned(PAGE_STOPWATCH_CHANGED));
}

void MainWindowTest::batteryFollowsTheLevel() {
    FakePort port;
    port.titles = {"A", "B"};
    port.battery = {{"A", 5}, {"B", 1}};
    FakeDesktop desktop;
    CLapdexDlg w(port, desktop);
    notify(w, NTF_BATTERY);
    QCOMPARE(w.batteryPictureShown(), 143);
    w.tabControl()->tabBar()->setCurrentIndex(1);
    QCOMPARE(w.batteryPictureShown(), 141);
    port.battery["B"] = 2;
    notify(w, NTF_BATTERY);
    QCOMPARE(w.batteryPictureShown(), 142);
    port.battery.erase("B");  // no slot of that name
    notify(w, NTF_BATTERY);
    QCOMPARE(w.batteryPictureShown(), 140);
}

void MainWindowTest::downloadDoneAndGone() {
    FakePort port;
    port.titles = {"A", "B"};
    FakeDesktop desktop;
    CLapdexDlg w(port, desktop);
    pageMessages(w);
    port.notified = 1;
    notify(w, NTF_DOWNLOAD_DONE);
    QVERIFY(w.readEnd().shown);
    QVERIFY(w.readEnd().dialog->isVisible());
    QVERIFY(port.commands.empty());
    notify(w, NTF_DOWNLOAD_DONE_GONE);
    QVERIFY(!w.readEnd().shown);
    QCOMPARE(w.readEnd().dialog->result(), 1);
    QCOMPARE(port.commands, std::vector<MessageId>{CMD_DOWNLOAD_NEW});
    QCOMPARE(w.currentTab(), 1);
    QCOMPARE(w.tabControl()->tabBar()->currentIndex(), 1);
    // Selected by the reaction: the page hears of new data, not of a tab change.
    QCOMPARE(pageMessages(w), std::vector<unsigned>{PAGE_DATA_CHANGED});
}

void MainWindowTest::downloadDoneResumesEvenWhenDismissed() {
    FakePort port;
    port.titles = {"A"};
    FakeDesktop desktop;
    CLapdexDlg w(port, desktop);
    notify(w, NTF_DOWNLOAD_DONE);
    notify(w, NTF_DOWNLOAD_DONE);  // already shown: continues at once
    QCOMPARE(port.commands.size(), size_t(1));
    notify(w, NTF_COMMAND_ACK);
    QCOMPARE(w.readEnd().dialog->result(), 7);
    QCOMPARE(port.commands.size(), size_t(2));
}

void MainWindowTest::clearAndNoDataResumeUnlessDismissed() {
    FakePort port;
    port.titles = {"A", "B"};
    FakeDesktop desktop;
    CLapdexDlg w(port, desktop);
    pageMessages(w);
    port.notified = 1;
    notify(w, NTF_CLEAR_DONE);
    notify(w, NTF_CLEAR_DONE);  // already shown: nothing
    QVERIFY(w.clearEnd().shown);
    notify(w, NTF_CLEAR_DONE_GONE);
    QCOMPARE(port.commands, std::vector<MessageId>{CMD_DOWNLOAD_NEW});
    QCOMPARE(w.currentTab(), 1);
    QCOMPARE(pageMessages(w), std::vector<unsigned>{PAGE_DATA_CHANGED});

    port.notified = 0;
    notify(w, NTF_NO_DATA);
    QVERIFY(w.noData().shown);
    notify(w, NTF_COMMAND_ACK);
    QVERIFY(!w.noData().shown);
    QCOMPARE(w.noData().dialog->result(), 7);
    QCOMPARE(port.commands.size(), size_t(1));  // no resume after the dismissal
    QCOMPARE(w.currentTab(), 1);
    notify(w, NTF_NO_DATA);
    qobject_cast<TemplateDialog*>(w.noData().dialog)->reject();  // the close box
    QCOMPARE(port.commands.size(), size_t(2));
    QCOMPARE(w.currentTab(), 0);
}

void MainWindowTest::commandAckDismissesInOrderButKeepsTouchAndProgress() {
    FakePort port;
    port.titles = {"A"};
    FakeDesktop desktop;
    CLapdexDlg w(port, desktop);
    QStringList order;
    const StatusSlot* statusSlots[] = {&w.noData(), &w.readEnd(), &w.clearEnd(), &w.transErr(), &w.userFull()};
    for (const StatusSlot* s : statusSlots)
        QObject::connect(s->dialog, &QDialog::finished, [&order, s](int r) {
            order << QString(s->dialog->metaObject()->className()) + QString(":%1").arg(r);
        });
    w.runCommand(kCmdReload);
    notify(w, NTF_TRANSFER_START);
    for (MessageId id : {NTF_REGISTRY_FULL, NTF_COMM_ERROR, NTF_CLEAR_DONE, NTF_DOWNLOAD_DONE, NTF_NO_DATA})
        notify(w, id);
    notify(w, NTF_COMMAND_ACK);
    QCOMPARE(order, (QStringList{"lapdex::ui::CNoDataDlg:7", "lapdex::ui::CReadEndDlg:7",
                                 "lapdex::ui::CClearEndDlg:7", "lapdex::ui::CTransErrDlg:7",
                                 "lapdex::ui::CUserFullDlg:7"}));
    QVERIFY(w.touchPrompt().shown);
    QVERIFY(w.progressShown());
    notify(w, NTF_STOPWATCH_FOUND);
    QVERIFY(!w.touchPrompt().shown);
    QCOMPARE(w.touchPrompt().dialog->result(), 1);
}

void MainWindowTest::errorsResumeUnlessDismissed() {
    FakePort port;
    FakeDesktop desktop;
    CLapdexDlg w(port, desktop);
    notify(w, NTF_COMM_ERROR);
    notify(w, NTF_COMM_ERROR);  // already shown: nothing more
    qobject_cast<QPushButton*>(w.transErr().dialog->control(1))->click();
    QCOMPARE(port.commands, std::vector<MessageId>{CMD_DOWNLOAD_NEW});
    notify(w, NTF_REGISTRY_FULL);
    QVERIFY(w.userFull().dialog->isVisible());
    notify(w, NTF_COMMAND_ACK);
    QCOMPARE(port.commands.size(), size_t(1));
    notify(w, NTF_REGISTRY_FULL);
    w.userFull().dialog->reject();
    QCOMPARE(port.commands.size(), size_t(2));
}

void MainWindowTest::progressDisablesExitAndClose() {
    FakePort port;
    FakeDesktop desktop;
    CLapdexDlg w(port, desktop);
    w.show();
    auto* exitButton = qobject_cast<QPushButton*>(w.control(1009));
    port.transfer = 100;
    notify(w, NTF_PROGRESS_TICK);  // not shown: ignored
    QCOMPARE(w.progressPosition(), 0);
    notify(w, NTF_TRANSFER_START);
    QVERIFY(w.progressDialog()->isVisible());
    QCOMPARE(w.progressDialog()->maximum(), 1);
    QVERIFY(!exitButton->isEnabled());
    QVERIFY(!w.close());
    QVERIFY(w.isVisible());
    notify(w, NTF_PROGRESS_TICK);
    notify(w, NTF_PROGRESS_TICK);
    QCOMPARE(w.progressPosition(), 2);
    QCOMPARE(w.progressDialog()->position(), 1);
    notify(w, NTF_TRANSFER_END);
    QVERIFY(!w.progressDialog()->isVisible());
    QVERIFY(exitButton->isEnabled());
    notify(w, NTF_TRANSFER_END);
    QCOMPARE(port.ticker, (std::vector<MessageId>{TICK_START, TICK_STOP, TICK_STOP}));
    port.transfer = 192 * 10;
    notify(w, NTF_TRANSFER_START);
    QCOMPARE(w.progressDialog()->maximum(), 10);
    QCOMPARE(w.progressPosition(), 0);
    notify(w, NTF_TRANSFER_END);
    exitButton->click();
    QVERIFY(!w.isVisible());
    QCOMPARE(w.result(), 2);
}

void MainWindowTest::reloadAndClearPromptForTouch() {
    FakePort port;
    port.titles = {"A"};
    FakeDesktop desktop;
    CLapdexDlg w(port, desktop);
    w.runCommand(kCmdReload);
    QCOMPARE(port.locked, std::vector<MessageId>{CMD_DOWNLOAD_ALL});
    QVERIFY(w.touchPrompt().dialog->isVisible());
    w.touchPrompt().dialog->reject();  // Cancel: polling for new runs again
    QCOMPARE(port.commands, std::vector<MessageId>{CMD_DOWNLOAD_NEW});

    port.commands.clear();
    desktop.answers = {false};
    w.runCommand(kCmdClear);
    QCOMPARE(
        desktop.shown.back(),
        QString("yesno: ストップウオッチ本体の全データをクリアします。\n"
                "まだダウンロードしていない計測データは、クリアする前にファイルに保存します。\n"
                "保存できなかったときはクリアしません。\nよろしいですか？"));
    QCOMPARE(port.commands, (std::vector<MessageId>{CMD_PAUSE, CMD_DOWNLOAD_NEW}));
    QCOMPARE(port.locked.size(), size_t(1));

    port.commands.clear();
    w.runCommand(kCmdClear);
    QCOMPARE(port.locked.back(), CMD_CLEAR);
    QVERIFY(w.touchPrompt().shown);
    notify(w, NTF_STOPWATCH_FOUND);  // OK: the worker goes on, nothing is resumed
    QCOMPARE(port.commands, std::vector<MessageId>{CMD_PAUSE});
}

void MainWindowTest::renameRefusesDuplicatesAndReopensWithTheRejectedName() {
    FakePort port;
    port.titles = {"A", "B", "C"};
    FakeDesktop desktop;
    CLapdexDlg w(port, desktop);
    w.show();
    QTabBar* bar = w.tabControl()->tabBar();
    QTest::mouseClick(bar, Qt::RightButton, {}, bar->tabRect(1).center());
    w.contextMenu()->hide();
    QStringList seen;
    std::function<void(QWidget*)> answer;
    int round = 0;
    answer = [&](QWidget* modal) {
        auto* edit = qobject_cast<CUserIdEdit*>(modal);
        QVERIFY(edit);
        auto* field = qobject_cast<QLineEdit*>(edit->control(1014));
        seen << field->text();
        field->setText(round == 0 ? "C" : "B");
        ++round;
        if (round < 2) whenModal(answer);
        edit->accept();
    };
    whenModal(answer);
    w.runCommand(kCmdRename);
    QCOMPARE(seen, (QStringList{"B", "C"}));  // reopened with the rejected name
    QCOMPARE(desktop.shown, QStringList{"notice: 既に同じ名前を登録済みです。\n再度入力してください。"});
    QCOMPARE(round, 2);  // its own name was accepted
    QCOMPARE(tabTexts(w), (QStringList{"A", "B", "C"}));
    QCOMPARE(port.renames.size(), size_t(1));
    QCOMPARE(port.renames[0].second, std::string("B"));
    QCOMPARE(port.commands, (std::vector<MessageId>{CMD_PAUSE, CMD_DOWNLOAD_NEW}));
}

namespace {

// Removes tab `context` of `titles` with `current` selected; the removal succeeds.
QStringList removeTab(std::vector<std::string> titles, int current, int context, int* currentAfter,
                      std::string* removedName, FakeDesktop& desktop) {
    FakePort port;
    port.titles = titles;
    port.removal = [&](ProcedureUi& ui, const std::string& name) {
        *removedName = name;
        ui.pauseWorker();
        if (!ui.askYesNo("confirm")) return ProcedureOutcome::Cancelled;
        ui.stopwatchRemoved(0);
        ui.resumeWorker();
        return ProcedureOutcome::Done;
    };
    CLapdexDlg w(port, desktop);
    w.show();
    QTabBar* bar = w.tabControl()->tabBar();
    bar->setCurrentIndex(current);
    QTest::mouseClick(bar, Qt::RightButton, {}, bar->tabRect(context).center());
    w.contextMenu()->hide();
    w.runCommand(kCmdDelete);
    *currentAfter = w.currentTab();
    if (bar->currentIndex() != w.currentTab()) return {"selection out of step"};
    if (w.registeredCount() != int(titles.size()) - 1) return {"count not lowered"};
    if (w.batteryPictureShown() != 140 && titles.size() == 1) return {"battery not grey"};
    return tabTexts(w);
}

}  // namespace

void MainWindowTest::deleteFollowsTheTabRules() {
    FakeDesktop desktop;
    int current = -1;
    std::string name;
    // The only stopwatch: one empty tab remains.
    QCOMPARE(removeTab({"A"}, 0, 0, &current, &name, desktop), QStringList{""});
    QCOMPARE(name, std::string("A"));
    QCOMPARE(current, 0);
    // The selected last tab: the new last one is selected.
    QCOMPARE(removeTab({"A", "B", "C"}, 2, 2, &current, &name, desktop), (QStringList{"A", "B"}));
    QCOMPARE(current, 1);
    // A tab left of the selected one: the same stopwatch stays selected.
    QCOMPARE(removeTab({"A", "B", "C"}, 2, 0, &current, &name, desktop), (QStringList{"B", "C"}));
    QCOMPARE(current, 1);
    // The selected tab in the middle: its right neighbour moves in.
    QCOMPARE(removeTab({"A", "B", "C"}, 1, 1, &current, &name, desktop), (QStringList{"A", "C"}));
    QCOMPARE(current, 1);
    // A tab right of the selected one.
    QCOMPARE(removeTab({"A", "B", "C"}, 0, 2, &current, &name, desktop), (QStringList{"A", "B"}));
    QCOMPARE(current, 0);
    // Declined: nothing changes.
    desktop.answers = {false};
    FakePort port;
    port.titles = {"A", "B"};
    port.removal = [](ProcedureUi& ui, const std::string&) {
        return ui.askYesNo("confirm") ? ProcedureOutcome::Done : ProcedureOutcome::Cancelled;
    };
    CLapdexDlg w(port, desktop);
    w.runCommand(kCmdDelete);
    QCOMPARE(tabTexts(w), (QStringList{"A", "B"}));
    QCOMPARE(w.registeredCount(), 2);
}

// Shown in English, the window's own messages are English; their numbers and folders stay.
void MainWindowTest::messagesInEnglish() {
    FakePort port;
    FakeDesktop desktop;
    CLapdexDlg w(port, desktop);
    lapdex::texts::setCurrentLanguage(lapdex::texts::Language::English);
    port.shortfall = {"/data/QTM-01", 2, 5};
    notify(w, NTF_RUN_FILE_ERROR);
    port.shortfall = {"/data/QTM-01", 5, 5};
    notify(w, NTF_RUN_FILE_ERROR);
    lapdex::texts::setCurrentLanguage(lapdex::texts::Language::Japanese);
    QCOMPARE(desktop.shown, (QStringList{
        "error: Runs downloaded: 5. Runs that could not be saved to files: 2.\nFolder: /data/QTM-01\n"
        "Check the free space and the permission to write, then reload.",
        "error: None of the downloaded runs could be saved to files (runs downloaded: 5).\nFolder: /data/QTM-01\n"
        "Check the free space and the permission to write, then reload."}));
}

void MainWindowTest::runFileErrorAndNewTab() {
    FakePort port;
    FakeDesktop desktop;
    CLapdexDlg w(port, desktop);
    // The message names the folder and how many runs lack a file.
    port.shortfall = {"/data/QTM-01", 2, 5};
    notify(w, NTF_RUN_FILE_ERROR);
    port.shortfall = {"/data/QTM-01", 5, 5};
    notify(w, NTF_RUN_FILE_ERROR);
    QCOMPARE(desktop.shown, (QStringList{
        "error: 計測データ 5 件のうち 2 件をファイルに保存できませんでした。\n保存先: /data/QTM-01\n"
        "空き容量と書き込み権限を確認してから、再読み込みしてください。",
        "error: 計測データ 5 件をファイルに保存できませんでした（1 件も保存されていません）。\n"
        "保存先: /data/QTM-01\n空き容量と書き込み権限を確認してから、再読み込みしてください。"}));
    // The placeholder takes the first registered name, later ones are appended.
    port.titles = {"QTM-01"};
    notify(w, NTF_TAB_ADDED);
    QCOMPARE(tabTexts(w), QStringList{"QTM-01"});
    QCOMPARE(w.registeredCount(), 1);
    port.titles = {"QTM-01", "QTM-02"};
    notify(w, NTF_TAB_ADDED);
    QCOMPARE(tabTexts(w), (QStringList{"QTM-01", "QTM-02"}));
    QCOMPARE(w.registeredCount(), 2);
    QCOMPARE(w.currentTab(), 0);
}

void MainWindowTest::enterEscapeAndArrowsDoNotCloseOrMove() {
    FakePort port;
    FakeDesktop desktop;
    CLapdexDlg w(port, desktop);
    w.show();
    QTest::keyClick(&w, Qt::Key_Escape);
    QTest::keyClick(&w, Qt::Key_Return);
    auto* exitButton = qobject_cast<QPushButton*>(w.control(1009));
    exitButton->setFocus();
    QTest::keyClick(exitButton, Qt::Key_Return);
    QTest::keyClick(exitButton, Qt::Key_Left);
    QVERIFY(w.isVisible());
    QCOMPARE(w.focusWidget(), exitButton);
    auto* sync = qobject_cast<QCheckBox*>(w.control(1023));
    sync->setFocus();
    QTest::keyClick(sync, Qt::Key_Down);
    QCOMPARE(w.focusWidget(), sync);
}

void MainWindowTest::successfulImportClosesWithoutSaving() {
    FakePort port;
    FakeDesktop desktop;
    port.import = [&](ProcedureUi& ui) {
        ui.pauseWorker();
        port.keepImported = true;
        ui.showNotice("インポートした内容を反映するためにアプリケーションを再起動してください。");
        ui.closeMainWindow();
        ui.resumeWorker();
        return ProcedureOutcome::Done;
    };
    CLapdexDlg w(port, desktop);
    w.show();
    w.runCommand(kCmdImport);
    QVERIFY(!w.isVisible());
    QCOMPARE(w.result(), 2);
    w.shutdown();
    QVERIFY(port.stopped);
    QVERIFY(!port.saved);
}

void MainWindowTest::helpOpensTheManualAndClockSyncIsKept() {
    FakePort port;
    FakeDesktop desktop;
    CLapdexDlg w(port, desktop);
    w.runCommand(kCmdHelp);
    QCOMPARE(desktop.opened, QStringList{"/program/Manual_Lapdex.pdf"});
    QVERIFY(port.commands.empty());  // Help does not pause the worker
    QVERIFY(desktop.shown.isEmpty());
    // Without a viewer the user learns where the manual is.
    desktop.opens = false;
    w.runCommand(kCmdHelp);
    QCOMPARE(desktop.shown, QStringList{"notice: "
                                        "開くためのアプリケーションが見つかりませんでした。\n場所："
                                        "/program/Manual_Lapdex.pdf"});
    auto* sync = qobject_cast<QCheckBox*>(w.control(1023));
    QVERIFY(sync->isChecked());
    sync->click();
    QVERIFY(!port.sync);
    whenModal([](QWidget* modal) { qobject_cast<QDialog*>(modal)->accept(); });
    w.runCommand(kCmdVersion);
    QCOMPARE(port.commands, (std::vector<MessageId>{CMD_PAUSE, CMD_DOWNLOAD_NEW}));
}

void MainWindowTest::versionShowsTheDataFolder() {
    FakePort port;
    FakeDesktop desktop;
    CLapdexDlg w(port, desktop);
    QString shown, tip;
    whenModal([&](QWidget* modal) {
        auto* label = qobject_cast<QLabel*>(qobject_cast<CAboutBox*>(modal)->control(CAboutBox::kDataFolderLabel));
        shown = label->text();
        tip = label->toolTip();
        qobject_cast<QDialog*>(modal)->accept();
    });
    w.runCommand(kCmdVersion);
    QCOMPARE(shown, QString("データフォルダー: /data/"));
    QCOMPARE(tip, QString("/data/"));
    // A long path is shortened in the middle and stays whole in the tool tip.
    CAboutBox about(&w);
    const QString longPath = "/home/" + QString(200, 'x') + "/.local/share/Lapdex/";
    about.setDataFolder(longPath);
    auto* label = qobject_cast<QLabel*>(about.control(CAboutBox::kDataFolderLabel));
    QVERIFY(label->text().endsWith("Lapdex/"));
    QVERIFY(label->text().contains(QChar(0x2026)));
    QVERIFY(label->fontMetrics().horizontalAdvance(label->text()) <= label->width());
    QCOMPARE(label->toolTip(), longPath);
}

void MainWindowTest::startUpSaysWhenTheDataFolderCannotBeWritten() {
    FakePort port;
    FakeDesktop desktop;
    {
        CLapdexDlg w(port, desktop);
        QCoreApplication::processEvents();
        QVERIFY(desktop.shown.isEmpty());
    }
    port.folderCheck = FolderCheck::NotWritable;
    CLapdexDlg w(port, desktop);
    QTRY_COMPARE(desktop.shown, QStringList{
        "error: データフォルダーに書き込めません。\n/data/\n"
        "このままではストップウオッチのデータを保存できません。フォルダーの書き込み権限と空き容量を確認してください。"});
}

QTEST_MAIN(MainWindowTest)
#include "test_main_window.moc"
