// Status dialogs and the About box: texts, icons, buttons, results and keys.
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include "dialog_test_support.h"
#include "status_dialogs.h"

using namespace lapdex::ui;
using lapdex::ui::test::staticTexts;

class StatusDialogsTest : public QObject {
    Q_OBJECT
  private slots:
    void textsIconsAndButtons();
    void englishSetHasTheSameControls();
    void touchPromptEndsWithCancelByButtonEscapeOrClose();
    void ownerClosesAsOkOrDismisses();
    void enterActsAsOkWhereNoButtonIsShown();
    void progressRangeAndSteps();
    void progressCannotBeClosedByTheUser();
    void aboutBoxShowsTheVersionLine();
    void readEndNamesTheBestsInEitherTimeFormat();
};

void StatusDialogsTest::textsIconsAndButtons() {
    QWidget owner;
    struct Expect {
        TemplateDialog* dialog;
        QString text;
        int icon;
        QString iconKind;
        int button;
    };
    CTouchDlg touch(&owner);
    CReadEndDlg readEnd(&owner);
    CClearEndDlg clearEnd(&owner);
    CNoDataDlg noData(&owner);
    CTransErrDlg transErr(&owner);
    CUserFullDlg userFull(&owner);
    const Expect expects[] = {
        {&touch, "リーダーの接続を確認の上、タッチしてください。", 1015, "information", 2},
        {&readEnd, "ダウンロードが終わりました。\nストップウオッチをリーダーから外してください。",
         1017, "information", 0},
        {&clearEnd, "クリアしました。\nストップウオッチをリーダーから外してください。", 1016,
         "information", 0},
        {&noData, "データがありません。\nストップウオッチをリーダーから外してください。", 1020,
         "information", 0},
        // What to do next follows the error itself.
        {&transErr,
         "通信エラーが発生しました。\nストップウオッチをもう一度リーダーに置いてください。", 1021,
         "warning", 1},
        {&userFull, "これ以上、ストップウオッチの登録はできません。", 1022, "information", 1},
    };
    for (const Expect& e : expects) {
        QCOMPARE(e.dialog->windowTitle(), QString("K7X Stopwatch"));
        QCOMPARE(staticTexts(*e.dialog), QStringList{e.text});
        QVERIFY(e.dialog->control(e.icon));
        QCOMPARE(e.dialog->control(e.icon)->property("iconKind").toString(), e.iconKind);
        const auto buttons = e.dialog->findChildren<QPushButton*>();
        QCOMPARE(buttons.size(), e.button == 0 ? 0 : 1);
        if (e.button == 2) QCOMPARE(buttons[0]->text(), QString("キャンセル"));
        if (e.button == 1) {
            QCOMPARE(buttons[0]->text(), QString("OK"));
            QVERIFY(buttons[0]->isDefault());
        }
    }
}

void StatusDialogsTest::englishSetHasTheSameControls() {
    CTouchDlg touch(nullptr, Language::English);
    QCOMPARE(
        staticTexts(touch),
        QStringList{"Confirm that the reader is connected to PC correctly,\nand then place the "
                    "stopwatch on the reader."});
    QCOMPARE(touch.dialogTemplate().size, QSize(252, 57));
    CTransErrDlg error(nullptr, Language::English);
    QCOMPARE(
        staticTexts(error),
        QStringList{"A communication error occurred.\nPlace the stopwatch on the reader again."});
    CUserFullDlg full(nullptr, Language::English);
    QVERIFY(full.control(1022));
    QVERIFY(full.control(1));
}

void StatusDialogsTest::touchPromptEndsWithCancelByButtonEscapeOrClose() {
    QWidget owner;
    CTouchDlg touch(&owner);
    touch.open();
    QVERIFY(touch.isVisible());
    qobject_cast<QPushButton*>(touch.control(2))->click();
    QCOMPARE(touch.result(), int(kResultCancel));
    QVERIFY(!touch.isVisible());

    touch.open();
    QTest::keyClick(&touch, Qt::Key_Escape);
    QCOMPARE(touch.result(), int(kResultCancel));

    touch.open();
    QVERIFY(touch.close());  // the close box
    QCOMPARE(touch.result(), int(kResultCancel));
}

void StatusDialogsTest::ownerClosesAsOkOrDismisses() {
    QWidget owner;
    CReadEndDlg readEnd(&owner);
    QSignalSpy finished(&readEnd, &QDialog::finished);
    readEnd.open();
    readEnd.closeAsOk();
    QCOMPARE(finished.takeFirst().at(0).toInt(), 1);
    readEnd.open();
    readEnd.dismiss();
    QCOMPARE(finished.takeFirst().at(0).toInt(), 7);
    CTransErrDlg error(&owner);
    error.open();
    qobject_cast<QPushButton*>(error.control(1))->click();
    QCOMPARE(error.result(), 1);
}

void StatusDialogsTest::enterActsAsOkWhereNoButtonIsShown() {
    QWidget owner;
    CNoDataDlg noData(&owner);
    noData.open();
    QTest::keyClick(&noData, Qt::Key_Return);
    QCOMPARE(noData.result(), int(kResultOk));
    QVERIFY(!noData.isVisible());
}

void StatusDialogsTest::progressRangeAndSteps() {
    QWidget owner;
    CDownloadDlg progress(&owner);
    QCOMPARE(staticTexts(progress), QStringList{"ダウンロード中…"});
    progress.startTransfer(0);
    QCOMPARE(progress.maximum(), 1);
    progress.startTransfer(191);
    QCOMPARE(progress.maximum(), 1);
    progress.startTransfer(192 * 3 + 191);
    QCOMPARE(progress.maximum(), 3);
    QCOMPARE(progress.position(), 0);
    for (int i = 0; i < 5; ++i) progress.advance();
    QCOMPARE(progress.position(), 3);  // stays full
    progress.startTransfer(65535);
    QCOMPARE(progress.maximum(), 341);
    QCOMPARE(progress.position(), 0);
}

void StatusDialogsTest::progressCannotBeClosedByTheUser() {
    QWidget owner;
    CDownloadDlg progress(&owner);
    QVERIFY(!progress.windowFlags().testFlag(Qt::WindowCloseButtonHint));
    QVERIFY(!progress.isModal());
    progress.show();
    QTest::keyClick(&progress, Qt::Key_Escape);
    QTest::keyClick(&progress, Qt::Key_Return);
    QVERIFY(!progress.close());
    QVERIFY(progress.isVisible());
}

void StatusDialogsTest::aboutBoxShowsTheVersionLine() {
    QWidget owner;
    CAboutBox about(&owner);
    QCOMPARE(about.windowTitle(), QString("バージョン情報"));
    QCOMPARE(staticTexts(about).value(0), QString("K7X Stopwatch, Version 1.0"));
    QCOMPARE(staticTexts(about).size(), 3);
    about.open();
    QTest::keyClick(&about, Qt::Key_Return);
    QCOMPARE(about.result(), 1);
}

void StatusDialogsTest::readEndNamesTheBestsInEitherTimeFormat() {
    using lapdex::BestSet;
    using lapdex::TimeFormat;
    CReadEndDlg dialog(nullptr);
    const QSize templateSize = dialog.size();
    const struct {
        std::vector<BestSet> bests;
        QString said;  // "" while the line is hidden
    } kCases[] = {
        // 65.20 s and 1:05.26 are 1.086 and 1.087 thousandths of a minute (six hundredths each).
        {{{BestSet::Kind::Lap,
           0,
           TimeFormat::DecimalMinute,
           {6520, 4, "a.csv", "2024-05-02T07:05:09"},
           6526}},
         QStringLiteral(
             "自己ベストを更新しました:\n"
             "最速ラップ 001.086（2024/05/02 07:05 の走行のラップ 4、これまで 001.087）")},
        {{{BestSet::Kind::Total,
           10,
           TimeFormat::Clock,
           {372000, 0, "b.csv", "2024-05-03T18:00:00"},
           372001}},
         QStringLiteral(
             "自己ベストを更新しました:\n"
             "10 ラップのトータル 01:02:00.00（2024/05/03 18:00 の走行、これまで 01:02:00.01）")},
        {{}, ""},
    };
    for (const auto& c : kCases) {
        dialog.showBests(c.bests);
        QCOMPARE(dialog.bestsLabel()->isHidden(), c.said.isEmpty());
        QCOMPARE(dialog.bestsLabel()->text(), c.said);
        QCOMPARE(dialog.size() == templateSize, c.said.isEmpty());
    }
}

QTEST_MAIN(StatusDialogsTest)
#include "test_status_dialogs.moc"
