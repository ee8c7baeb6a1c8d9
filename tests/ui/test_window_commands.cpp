// The main window as a user meets it: the real window and page over the real engine and store
// in a temporary data folder (the reader library on the in-process stand-in), the real modal
// dialogs, message boxes and folder dialog, each answered with the keyboard or a click from
// inside its own event loop while the window repaints behind it.
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "c_user_dialog.h"
#include "contact_history.h"
#include "cp932.h"
#include "engine_adapter.h"
#include "keyboard_user.h"
#include "lapdex_dlg.h"
#include "model/stopwatch.h"
#include "month_calendar.h"
#include "month_year_choice.h"
#include "pictures.h"
#include "standin/pcsc_standin.h"

using namespace lapdex;
using namespace lapdex::ui;
using lapdex::ui::test::KeyboardUser;
using lapdex::ui::test::MetDialog;

namespace {

// Two stopwatches; the first is the stand-in's default stopwatch (serial 01 23 45 67 89 AB).
const QByteArray kTwoStopwatches =
    "[Config]\r\nLOCATION=JPN\r\nTIMECOMP=OFF\r\nPCTIME=ON\r\n[User]\r\n"
    "QTM01_SERIAL=ab8967452301\r\nQTM01_NAME=Alpha\r\nQTM02_SERIAL=0f0e0d0c0b0a\r\nQTM02_NAME="
    "Beta\r\n";

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeFile(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

int runFiles(const QString& folder) {
    return int(QDir(folder).entryList({"QTM*.csv"}, QDir::Files).size());
}

// The program as main() puts it together, over `folder`.
struct Program {
    explicit Program(const QString& folder)
        : adapter(folder.toStdString()),
          window(adapter, desktop,
                 [](QWidget* parent, PageHost& host) -> StopwatchPage* {
                     return new CUserDialog(parent, host);
                 }),
          user(window, adapter) {
        window.show();
        window.activateWindow();
    }
    QStringList tabs() const {
        QStringList t;
        for (int i = 0; i < window.tabControl()->tabBar()->count(); ++i)
            t << window.tabControl()->tabBar()->tabText(i);
        return t;
    }
    // A click on the menu bar's command `id`.
    void menu(int id) {
        for (QAction* action : window.menuBar()->actions()) {
            if (action->data().toInt() != id) continue;
            QTest::mouseClick(window.menuBar(), Qt::LeftButton, {},
                              window.menuBar()->actionGeometry(action).center());
            return;
        }
        QFAIL("no such menu command");
    }
    // A right click on tab `tab`, then a click on the context menu's command `id`.
    void tabMenu(int tab, int id) {
        QTabBar* bar = window.tabControl()->tabBar();
        QTest::mouseClick(bar, Qt::RightButton, {}, bar->tabRect(tab).center());
        QMenu* menu = window.contextMenu();
        QVERIFY(QTest::qWaitForWindowExposed(menu));
        for (QAction* action : menu->actions()) {
            if (action->data().toInt() == id) {
                QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(action).center());
                return;
            }
        }
        QFAIL("no such context command");
    }

    EngineAdapter adapter;
    QtDesktop desktop;
    CLapdexDlg window;
    KeyboardUser user;
};

// Types `text` over the whole text of the focused field, then Enter. Text beyond ASCII arrives
// as an input method commits it.
KeyboardUser::Answer typeAndEnter(const QString& text) {
    return [text](QWidget* modal) {
        QWidget* field = modal->focusWidget();
        if (!field) return;
        QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(field, Qt::Key_Delete);
        // A path arrives whole, as pasted: typed key by key, the file dialog's completer would
        // take whichever entry of each folder the file system lists first.
        bool ascii = !text.startsWith('/');
        for (QChar c : text) ascii = ascii && c.unicode() < 0x80;
        if (ascii) {
            QTest::keyClicks(field, text);
        } else {
            QInputMethodEvent commit;
            commit.setCommitString(text);
            QCoreApplication::sendEvent(field, &commit);
        }
        QTest::keyClick(field, Qt::Key_Return);
    };
}

// Checks what every dialog must allow: the window repainted behind it and the window thread
// did not hold the worker lock while it ran.
void checkMet(const MetDialog& met, const char* className) {
    QVERIFY2(met.seen, className);
    QCOMPARE(met.className, QString::fromLatin1(className));
    QVERIFY2(met.repainted, className);
    QVERIFY2(!met.lockHeld, className);
}

}  // namespace

class WindowCommandsTest : public QObject {
    Q_OBJECT
  private slots:
    void init();
    void cleanup();
    void everyCommandOpensItsDialogAndClosesByKeyboard();
    void importTakesTheFolderChosenInTheFolderDialog();
    void deleteRemovesTheRightClickedStopwatch();
    void clearSavesNewRunsBeforeItErases();
    void namesWithBlanksAreTrimmedRefusedAsDuplicatesOrEmptyAndSurviveARestart();
    void batteryAndClearFollowTheStopwatch();
    void memoTypedWithJisFormsIsStoredAndUnstorableTextIsKept();
    void aClickOnTheMonthTitleChoosesMonthAndYear();

  private:
    std::unique_ptr<QTemporaryDir> data_;
    // The home trash that removals use, kept in a folder of the test's own.
    std::unique_ptr<QTemporaryDir> home_;
    QString folder() const { return data_->path(); }
};

void WindowCommandsTest::init() {
    sim::Standin::instance().reset();
    data_ = std::make_unique<QTemporaryDir>();
    home_ = std::make_unique<QTemporaryDir>();
    qputenv("HOME", home_->path().toLocal8Bit());
    qputenv("XDG_DATA_HOME", home_->filePath(".local/share").toLocal8Bit());
    QVERIFY(QDir(home_->path()).mkpath(".local/share"));
    QVERIFY(writeFile(data_->filePath("Lapdex.dat"), kTwoStopwatches));
    QVERIFY(QDir(folder()).mkpath("QTM-01"));
    QVERIFY(QDir(folder()).mkpath("QTM-02"));
}

void WindowCommandsTest::cleanup() {
    sim::Standin::instance().reset();
    data_.reset();
    home_.reset();
}

void WindowCommandsTest::everyCommandOpensItsDialogAndClosesByKeyboard() {
    Program p(folder());
    QCOMPARE(p.tabs(), (QStringList{"Alpha", "Beta"}));
    struct Step {
        bool tabMenu;
        int id;
        const char* dialog;
        Qt::Key key;
    };
    const Step steps[] = {
        {false, kCmdReload, "lapdex::ui::CTouchDlg", Qt::Key_Escape},
        {false, kCmdClear, "QMessageBox", Qt::Key_Return},  // No is the default
        {false, kCmdHelp, "QMessageBox",
         Qt::Key_Return},  // no viewer in the test: the path is shown
        {false, kCmdVersion, "lapdex::ui::CAboutBox", Qt::Key_Return},
        {false, kCmdExport, "QFileDialog", Qt::Key_Escape},
        {false, kCmdImport, "QFileDialog", Qt::Key_Escape},
        {true, kCmdRename, "lapdex::ui::CUserIdEdit", Qt::Key_Escape},
        {true, kCmdDelete, "QMessageBox", Qt::Key_Escape},
    };
    for (int round = 0; round < 2; ++round) {  // the second round proves the window still answers
        for (const Step& step : steps) {
            p.user.expect(KeyboardUser::press(step.key));
            if (step.tabMenu)
                p.tabMenu(1, step.id);
            else
                p.menu(step.id);
            QVERIFY2(p.user.waitAnswered(), step.dialog);
            checkMet(p.user.last(), step.dialog);
            QTRY_VERIFY2(QApplication::activeModalWidget() == nullptr, step.dialog);
        }
    }
    // Nothing was changed, cleared or removed; no touch prompt is left waiting.
    QVERIFY(!p.window.touchPrompt().shown);
    QCOMPARE(p.tabs(), (QStringList{"Alpha", "Beta"}));
    QCOMPARE(readFile(data_->filePath("Lapdex.dat")).count("_SERIAL="), 2);
    QVERIFY(QDir(data_->filePath("QTM-02")).exists());
}

void WindowCommandsTest::importTakesTheFolderChosenInTheFolderDialog() {
    QTemporaryDir holder;
    const QString source = holder.filePath("export");
    QVERIFY(writeFile(
        source + "/Lapdex.dat",
        "[Config]\r\nLOCATION=JPN\r\n[User]\r\nQTM05_SERIAL=111111111111\r\nQTM05_NAME=Gamma\r\n"));
    QVERIFY(writeFile(source + "/QTM-05/QTM240101_101010_111111111111.csv", "run"));
    Program p(folder());
    p.user.expect({typeAndEnter(source), KeyboardUser::press(Qt::Key_Return)});
    p.menu(kCmdImport);
    QVERIFY(p.user.waitAnswered());
    QCOMPARE(p.user.met().size(), size_t(2));
    checkMet(p.user.met()[0], "QFileDialog");
    checkMet(p.user.met()[1], "QMessageBox");
    QCOMPARE(
        p.user.met()[1].text,
        QStringLiteral("インポートした内容を反映するためにアプリケーションを再起動してください。"));
    QTRY_VERIFY(!p.window.isVisible());  // the window ends for a restart
    QVERIFY(readFile(data_->filePath("Lapdex.dat")).contains("QTM05_NAME=Gamma"));
    QVERIFY(QFile::exists(data_->filePath("QTM-05/QTM240101_101010_111111111111.csv")));
    QVERIFY(!QDir(data_->filePath("QTM-02")).exists());
}

void WindowCommandsTest::deleteRemovesTheRightClickedStopwatch() {
    QVERIFY(writeFile(data_->filePath("QTM-02/QTM240101_101010_0f0e0d0c0b0a.csv"), "run"));
    Program p(folder());
    p.user.expect(KeyboardUser::press(Qt::Key_Return));  // Yes is the default
    p.tabMenu(1, kCmdDelete);
    QVERIFY(p.user.waitAnswered());
    checkMet(p.user.last(), "QMessageBox");
    QCOMPARE(p.user.last().text, QStringLiteral("\"Beta\"の全てのデータを削除します。\n保存されたCS"
                                                "Vファイルも削除されます。\nよろしいですか？"));
    QTRY_COMPARE(p.tabs(), QStringList{"Alpha"});
    QVERIFY(!QDir(data_->filePath("QTM-02")).exists());
    QVERIFY(!readFile(data_->filePath("Lapdex.dat")).contains("0f0e0d0c0b0a"));
    QVERIFY(QDir(data_->filePath("QTM-01")).exists());
    // And the window answers the next command.
    p.user.expect(KeyboardUser::press(Qt::Key_Escape));
    p.tabMenu(0, kCmdRename);
    QVERIFY(p.user.waitAnswered());
    checkMet(p.user.last(), "lapdex::ui::CUserIdEdit");
}

void WindowCommandsTest::clearSavesNewRunsBeforeItErases() {
    Program p(folder());
    p.user.expect(KeyboardUser::click(QMessageBox::Yes));
    p.menu(kCmdClear);
    QVERIFY(p.user.waitAnswered());
    checkMet(p.user.last(), "QMessageBox");
    QVERIFY(p.user.last().text.contains(QStringLiteral("クリアする前にファイルに保存します")));
    QTRY_VERIFY(p.window.touchPrompt().shown);
    // Three runs that were never downloaded lie on the stopwatch.
    std::shared_ptr<sim::Stopwatch> watch =
        sim::Standin::instance().layCard(sim::generateRuns(5, 3));
    QTRY_VERIFY_WITH_TIMEOUT(p.window.clearEnd().shown, 20000);
    QCOMPARE(runFiles(data_->filePath("QTM-01")), 3);
    sim::Standin::instance().locked([&](sim::Standin&) { QVERIFY(watch->runs.empty()); });
    sim::Standin::instance().locked([](sim::Standin& s) { s.card = nullptr; });
    QTRY_VERIFY_WITH_TIMEOUT(!p.window.clearEnd().shown, 20000);
    QCOMPARE(p.tabs(), (QStringList{"Alpha", "Beta"}));
}

void WindowCommandsTest::namesWithBlanksAreTrimmedRefusedAsDuplicatesOrEmptyAndSurviveARestart() {
    const QString duplicate =
        QStringLiteral("既に同じ名前を登録済みです。\n再度入力してください。");
    const QString emptyName =
        QStringLiteral("名前を入力してください。\n空の名前は登録できません。");
    {
        Program p(folder());
        p.user.expect(typeAndEnter("Run"));
        p.tabMenu(0, kCmdRename);
        QVERIFY(p.user.waitAnswered());
        // "Run " is "Run" once Lapdex.dat has read it back: refused, and the dialog reopens
        // with what was typed.
        QString reopenedWith;
        p.user.expect(
            {typeAndEnter("Run "), KeyboardUser::press(Qt::Key_Return), [&](QWidget* modal) {
                 reopenedWith = qobject_cast<EditDialog*>(modal)->fieldText();
                 QTest::keyClick(modal->focusWidget(), Qt::Key_Escape);
             }});
        p.tabMenu(1, kCmdRename);
        QVERIFY(p.user.waitAnswered());
        QCOMPARE(p.user.met().size(), size_t(3));
        QCOMPARE(p.user.met()[1].text, duplicate);
        QCOMPARE(reopenedWith, QStringLiteral("Run "));
        for (const MetDialog& met : p.user.met()) QVERIFY(met.repainted && !met.lockHeld);
        // Blanks at the ends go; a name of nothing but blanks is no name and is refused.
        p.user.expect(typeAndEnter(QStringLiteral(" Two\u3000")));
        p.tabMenu(1, kCmdRename);
        QVERIFY(p.user.waitAnswered());
        for (const QString& blank : {QString(), QStringLiteral(" "), QStringLiteral("\u3000 ")}) {
            p.user.expect(
                {typeAndEnter(blank), KeyboardUser::press(Qt::Key_Return), [&](QWidget* modal) {
                     reopenedWith = qobject_cast<EditDialog*>(modal)->fieldText();
                     QTest::keyClick(modal->focusWidget(), Qt::Key_Escape);
                 }});
            p.tabMenu(0, kCmdRename);
            QVERIFY(p.user.waitAnswered());
            QCOMPARE(p.user.met().size(), size_t(3));
            QCOMPARE(p.user.met()[1].text, emptyName);
            QCOMPARE(reopenedWith, blank);
            QTRY_VERIFY(QApplication::activeModalWidget() == nullptr);
        }
        QCOMPARE(p.tabs(), (QStringList{"Run", "Two"}));
    }
    // After a restart each tab still leads to its own stopwatch.
    Program again(folder());
    QCOMPARE(again.tabs(), (QStringList{"Run", "Two"}));
    QCOMPARE(again.adapter.slotOf("Run"), 0);
    QCOMPARE(again.adapter.slotOf("Two"), 1);
    const QByteArray dat = readFile(data_->filePath("Lapdex.dat"));
    QVERIFY(dat.contains("QTM01_NAME=Run\r\n"));
    QVERIFY(dat.contains("QTM02_NAME=Two\r\n"));
}

void WindowCommandsTest::batteryAndClearFollowTheStopwatch() {
    // Alpha's last contact read a full battery; Beta was never read.
    ContactRecord contact;
    contact.localTime = "2024-01-05 10:00:00";
    contact.serialText = "ab8967452301";
    contact.tabName = "Alpha";
    contact.batteryLevel = 5;
    contact.result = "ok";
    QVERIFY(
        appendContact(DataFolder(systemFileSystem(), folder().toStdString() + "/"), contact).ok());
    Program p(folder());
    QCOMPARE(p.adapter.batteryLevel("Alpha"), 5);
    QCOMPARE(p.adapter.batteryLevel("Beta"), 0);
    QCOMPARE(p.window.batteryPictureShown(), batteryPictureFor(5));
    // Clear chosen while Beta's page is shown, Alpha laid on: the page follows Alpha.
    p.window.tabControl()->tabBar()->setCurrentIndex(1);
    QTRY_COMPARE(p.window.currentTab(), 1);
    QCOMPARE(p.window.batteryPictureShown(), batteryPictureFor(0));
    p.user.expect(KeyboardUser::click(QMessageBox::Yes));
    p.menu(kCmdClear);
    QVERIFY(p.user.waitAnswered());
    QTRY_VERIFY(p.window.touchPrompt().shown);
    sim::Standin::instance().layCard({sim::SimRun{2024, 1, 7, 9, 0, 0, {sim::Split{0, 1, 2, 30}}}});
    QTRY_VERIFY_WITH_TIMEOUT(p.window.clearEnd().shown, 20000);
    sim::Standin::instance().locked([](sim::Standin& s) { s.card = nullptr; });
    QTRY_VERIFY_WITH_TIMEOUT(!p.window.clearEnd().shown, 20000);
    QCOMPARE(p.window.currentTab(), 0);
    QCOMPARE(p.window.tabControl()->tabBar()->currentIndex(), 0);
    auto* page = static_cast<CUserDialog*>(p.window.page());
    // The run the clear saved first is shown on Alpha's page, on its day.
    QTRY_COMPARE(page->selectedDate(), QDate(2024, 1, 7));
    QTRY_COMPARE(page->runPaths().size(), size_t(1));
    QVERIFY(QString::fromStdString(page->runPaths()[0]).contains("/QTM-01/"));
}

void WindowCommandsTest::memoTypedWithJisFormsIsStoredAndUnstorableTextIsKept() {
    const QString run = data_->filePath("QTM-01/QTM240105_101010_ab8967452301.csv");
    Program p(folder());
    // Download a run, so that the page lists it.
    sim::Standin::instance().layCard(
        {sim::SimRun{2024, 1, 5, 10, 10, 10, {sim::Split{0, 1, 2, 30}}}});
    QTRY_VERIFY_WITH_TIMEOUT(p.window.readEnd().shown, 20000);
    sim::Standin::instance().locked([](sim::Standin& s) { s.card = nullptr; });
    QTRY_VERIFY_WITH_TIMEOUT(!p.window.readEnd().shown, 20000);
    QVERIFY(QFile::exists(run));
    auto* page = static_cast<CUserDialog*>(p.window.page());
    // The calendar went to the downloaded run's month and lists it.
    QTRY_COMPARE(page->selectedDate(), QDate(2024, 1, 5));
    QTRY_COMPARE(page->runPaths().size(), size_t(1));
    QTRY_VERIFY(page->runLoaded());

    // 〜 and − as a Linux input method types them, and an emoji that Shift_JIS cannot hold.
    QString reopenedWith;
    const QString typed = QStringLiteral("1\u301C2\u2212\U0001F600\u2016");
    p.user.expect({typeAndEnter(typed), KeyboardUser::press(Qt::Key_Return), [&](QWidget* modal) {
                       reopenedWith = qobject_cast<EditDialog*>(modal)->fieldText();
                       typeAndEnter(QStringLiteral("1\u301C2\u2212"))(modal);
                   }});
    QTest::mouseClick(page->memoBox()->viewport(), Qt::LeftButton, {}, QPoint(5, 5));
    QVERIFY(p.user.waitAnswered());
    QCOMPARE(p.user.met().size(), size_t(3));
    // The box names the emoji; the mapped characters are not in it.
    QVERIFY2(p.user.met()[1].text.contains(QStringLiteral("\U0001F600")),
             qPrintable(p.user.met()[1].text));
    QVERIFY(!p.user.met()[1].text.contains(QStringLiteral("\u301C")));
    QCOMPARE(reopenedWith, QStringLiteral("1\uFF5E2\uFF0D\U0001F600\u2225"));
    const TextConversion stored = utf8ToCp932("1\uFF5E2\uFF0D");
    QVERIFY(stored.ok());
    QTRY_VERIFY(readFile(run).contains(QByteArray::fromStdString(stored.text)));
    QCOMPARE(page->content().texts[kMemo], QStringLiteral("1\uFF5E2\uFF0D"));
}

void WindowCommandsTest::aClickOnTheMonthTitleChoosesMonthAndYear() {
    Program p(folder());
    auto* page = static_cast<CUserDialog*>(p.window.page());
    MonthCalendar* calendar = page->calendar();
    const QDate shownLeft = calendar->firstShownMonth();
    // The user picks March 2021 for the right-hand month: year field first, then the month.
    p.user.expect([](QWidget* modal) {
        auto* choice = qobject_cast<MonthYearChoice*>(modal);
        if (!choice) return;
        choice->yearBox()->setFocus();
        QTest::keyClick(choice->yearBox(), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(choice->yearBox(), "2021");
        choice->monthBox()->setFocus();
        QTest::keyClick(choice->monthBox(), Qt::Key_Home);
        QTest::keyClick(choice->monthBox(), Qt::Key_Down);
        QTest::keyClick(choice->monthBox(), Qt::Key_Down);
        QTest::keyClick(choice->monthBox(), Qt::Key_Return);
    });
    QTest::mouseClick(calendar, Qt::LeftButton, {}, calendar->titleRect(1).center());
    QVERIFY(p.user.waitAnswered());
    checkMet(p.user.last(), "lapdex::ui::MonthYearChoice");
    QCOMPARE(calendar->firstShownMonth(), QDate(2021, 2, 1));
    QCOMPARE(calendar->selectedDate().month(), 3);  // the selection moved with the view
    QTRY_COMPARE(page->selectedDate(), calendar->selectedDate());
    // Escape leaves the calendar where it was.
    p.user.expect(KeyboardUser::press(Qt::Key_Escape));
    QTest::mouseClick(calendar, Qt::LeftButton, {}, calendar->titleRect(0).center());
    QVERIFY(p.user.waitAnswered());
    QCOMPARE(calendar->firstShownMonth(), QDate(2021, 2, 1));
    QVERIFY(shownLeft != calendar->firstShownMonth());
}

QTEST_MAIN(WindowCommandsTest)
#include "test_window_commands.moc"
