// The language shown: chosen from --lang, the remembered menu choice or the system; switched
// from the Language menu at once in the window, the page, open dialogs, later dialogs and
// Qt's own dialogs and buttons.
#include <QCheckBox>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <map>

#include "c_user_dialog.h"
#include "fake_port.h"
#include "language_choice.h"
#include "language_menu.h"
#include "language_switch.h"
#include "lapdex_dlg.h"
#include "status_dialogs.h"

using namespace lapdex;
using namespace lapdex::ui;
using lapdex::ui::test::FakeDesktop;
using lapdex::ui::test::FakePort;

namespace {

constexpr int kClockSync = 1023;

QStringList menuBarTexts(const CLapdexDlg& window) {
    QStringList texts;
    for (QAction* action : window.menuBar()->actions()) texts << action->text();
    return texts;
}

QStringList labelTexts(const QWidget& parent) {
    QStringList texts;
    for (const QLabel* label : parent.findChildren<QLabel*>()) texts << label->text();
    return texts;
}

// The settings file the remembered choice goes to, empty for each case.
void forgetChoice() {
    QDir(qEnvironmentVariable("XDG_CONFIG_HOME")).removeRecursively();
}

}  // namespace

class LanguageTest : public QObject {
    Q_OBJECT
private slots:
    void cleanup();
    void systemLanguageReadsTheLocaleVariablesInOrder_data();
    void systemLanguageReadsTheLocaleVariablesInOrder();
    void langArgument_data();
    void langArgument();
    void argumentThenRememberedThenSystem();
    void menuChoiceIsRememberedForTheUser();
    void windowPageAndOpenDialogsSwitchAtOnce();
    void qtDialogsAndButtonsSpeakTheLanguage();
};

void LanguageTest::cleanup() {
    LanguageSwitch().apply(Language::Japanese);
    forgetChoice();
}

void LanguageTest::systemLanguageReadsTheLocaleVariablesInOrder_data() {
    QTest::addColumn<QString>("lcAll");
    QTest::addColumn<QString>("lcMessages");
    QTest::addColumn<QString>("lang");
    QTest::addColumn<bool>("japanese");
    QTest::newRow("LANG Japanese") << "" << "" << "ja_JP.UTF-8" << true;
    QTest::newRow("LANG bare ja") << "" << "" << "ja" << true;
    QTest::newRow("LANG EUC with modifier") << "" << "" << "ja_JP.eucJP@euro" << true;
    QTest::newRow("LANG English") << "" << "" << "en_GB.UTF-8" << false;
    QTest::newRow("C locale") << "" << "" << "C.UTF-8" << false;
    QTest::newRow("nothing set") << "" << "" << "" << false;
    QTest::newRow("not a prefix match") << "" << "" << "jam_XX" << false;
    QTest::newRow("LC_MESSAGES before LANG") << "" << "en_US.UTF-8" << "ja_JP.UTF-8" << false;
    QTest::newRow("LC_MESSAGES Japanese") << "" << "ja_JP.UTF-8" << "en_US.UTF-8" << true;
    QTest::newRow("LC_ALL before all") << "ja_JP.UTF-8" << "en_US.UTF-8" << "en_US.UTF-8" << true;
    QTest::newRow("LC_ALL English") << "C" << "ja_JP.UTF-8" << "ja_JP.UTF-8" << false;
}

void LanguageTest::systemLanguageReadsTheLocaleVariablesInOrder() {
    QFETCH(QString, lcAll);
    QFETCH(QString, lcMessages);
    QFETCH(QString, lang);
    QFETCH(bool, japanese);
    const std::map<QString, QString> environment = {
        {"LC_ALL", lcAll}, {"LC_MESSAGES", lcMessages}, {"LANG", lang}};
    const Language found = systemLanguage([&](const char* name) { return environment.at(name); });
    QCOMPARE(found == Language::Japanese, japanese);
}

void LanguageTest::langArgument_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("chosen");  // "ja", "en", "" (none) or "error"
    QTest::newRow("none") << QStringList{"Lapdex"} << "";
    QTest::newRow("separate ja") << QStringList{"Lapdex", "--lang", "ja"} << "ja";
    QTest::newRow("joined en") << QStringList{"Lapdex", "--lang=en"} << "en";
    QTest::newRow("among others") << QStringList{"Lapdex", "--screenshot", "x.png", "--lang", "en"} << "en";
    QTest::newRow("last one counts") << QStringList{"Lapdex", "--lang", "en", "--lang", "ja"} << "ja";
    QTest::newRow("missing value") << QStringList{"Lapdex", "--lang"} << "error";
    QTest::newRow("unknown language") << QStringList{"Lapdex", "--lang", "fr"} << "error";
    QTest::newRow("wrong case") << QStringList{"Lapdex", "--lang=JA"} << "error";
}

void LanguageTest::langArgument() {
    QFETCH(QStringList, arguments);
    QFETCH(QString, chosen);
    const LanguageArgument argument = languageArgument(arguments);
    if (chosen == "error") {
        QVERIFY(!argument.error.isEmpty());
        QVERIFY(argument.error.contains("ja or en"));
        return;
    }
    QVERIFY(argument.error.isEmpty());
    QCOMPARE(argument.language ? languageCode(*argument.language) : QString(), chosen);
}

void LanguageTest::argumentThenRememberedThenSystem() {
    QCOMPARE(chooseLanguage(Language::English, Language::Japanese, Language::Japanese), Language::English);
    QCOMPARE(chooseLanguage(std::nullopt, Language::English, Language::Japanese), Language::English);
    QCOMPARE(chooseLanguage(std::nullopt, Language::Japanese, Language::English), Language::Japanese);
    QCOMPARE(chooseLanguage(std::nullopt, std::nullopt, Language::English), Language::English);
}

void LanguageTest::menuChoiceIsRememberedForTheUser() {
    QVERIFY(!rememberedLanguage());
    FakePort port;
    FakeDesktop desktop;
    CLapdexDlg window(port, desktop);
    LanguageSwitch languages;
    LanguageMenu menu(*window.menuBar(), languages);
    QVERIFY(menu.japaneseAction()->isChecked());
    menu.englishAction()->trigger();
    QCOMPARE(rememberedLanguage(), std::optional<Language>(Language::English));
    QVERIFY(menu.englishAction()->isChecked());
    QVERIFY(!menu.japaneseAction()->isChecked());
    // Kept in the user's settings, not in the data folder's configuration.
    QVERIFY(QFile::exists(qEnvironmentVariable("XDG_CONFIG_HOME") + "/Lapdex/Lapdex.conf"));
    menu.japaneseAction()->trigger();
    QCOMPARE(rememberedLanguage(), std::optional<Language>(Language::Japanese));
}

void LanguageTest::windowPageAndOpenDialogsSwitchAtOnce() {
    FakePort port;
    port.titles = {"QTM-01"};
    FakeDesktop desktop;
    CLapdexDlg window(port, desktop, [](QWidget* parent, PageHost& host) -> StopwatchPage* {
        return new CUserDialog(parent, host);
    });
    LanguageSwitch languages;
    LanguageMenu menu(*window.menuBar(), languages);
    window.show();
    CTouchDlg touch(&window);
    touch.show();
    const QSize japaneseTouch = touch.size();
    auto* clockSync = qobject_cast<QCheckBox*>(window.control(kClockSync));
    QVERIFY(menuBarTexts(window).contains("再読み込み(&R)"));
    QVERIFY(labelTexts(*window.page()).contains("ラップ数"));

    menu.englishAction()->trigger();
    QVERIFY(menuBarTexts(window).contains("&Reload"));
    QVERIFY(menuBarTexts(window).contains("&Language (言語)"));
    QVERIFY(!menuBarTexts(window).contains("再読み込み(&R)"));
    QCOMPARE(clockSync->text(), QString("Synchronize the time of stopwatch to the time of PC."));
    QVERIFY(labelTexts(*window.page()).contains("Number of laps"));
    QVERIFY(!labelTexts(*window.page()).contains("ラップ数"));
    // The open dialog takes the English texts and the English layout.
    QVERIFY(qobject_cast<QPushButton*>(touch.control(2)));
    QCOMPARE(qobject_cast<QPushButton*>(touch.control(2))->text(), QString("Cancel"));
    QVERIFY(touch.width() > japaneseTouch.width());
    // So does the About box created at start-up, and any dialog made from now on.
    QCOMPARE(window.aboutBox()->windowTitle(), QString("About"));
    CReadEndDlg later(&window);
    QVERIFY(labelTexts(later).join("").contains("Download"));
    // Every text-bearing control of the window's English set fits in the window.
    for (QWidget* child : window.findChildren<QWidget*>()) {
        if (!child->isVisibleTo(&window) || child->parentWidget() == nullptr) continue;
        QVERIFY2(child->geometry().right() <= child->parentWidget()->width(), qPrintable(child->objectName()));
    }

    menu.japaneseAction()->trigger();
    QVERIFY(menuBarTexts(window).contains("再読み込み(&R)"));
    QCOMPARE(clockSync->text(), QString("ストップウオッチ本体の時刻をPCの時刻と同期する"));
    QVERIFY(labelTexts(*window.page()).contains("ラップ数"));
    QCOMPARE(qobject_cast<QPushButton*>(touch.control(2))->text(), QString("キャンセル"));
    QCOMPARE(touch.size(), japaneseTouch);
    QCOMPARE(window.aboutBox()->windowTitle(), QString("バージョン情報"));
}

void LanguageTest::qtDialogsAndButtonsSpeakTheLanguage() {
    LanguageSwitch languages;
    languages.apply(Language::Japanese);
    QVERIFY2(languages.qtTextsFollow(), "qtbase_ja.qm is not installed");
    QMessageBox box(QMessageBox::Question, "K7X Stopwatch", "?", QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    QCOMPARE(box.button(QMessageBox::Cancel)->text(), QString("キャンセル"));
    QFileDialog folders(nullptr, "x", QDir::tempPath());
    folders.setOption(QFileDialog::DontUseNativeDialog);
    folders.setFileMode(QFileDialog::Directory);
    const QString lookIn = folders.findChild<QLabel*>("lookInLabel")->text();
    QVERIFY2(!lookIn.contains("Look in"), qPrintable(lookIn));

    languages.apply(Language::English);
    QMessageBox english(QMessageBox::Question, "K7X Stopwatch", "?", QMessageBox::Cancel);
    QVERIFY(english.button(QMessageBox::Cancel)->text().contains("Cancel"));
    QFileDialog englishFolders(nullptr, "x", QDir::tempPath());
    englishFolders.setOption(QFileDialog::DontUseNativeDialog);
    QVERIFY(englishFolders.findChild<QLabel*>("lookInLabel")->text().contains("Look in"));
}

QTEST_MAIN(LanguageTest)
#include "test_language.moc"
