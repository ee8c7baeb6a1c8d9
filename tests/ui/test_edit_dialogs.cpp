// Edit dialogs: limits, the 17-character cleaning, the run memo's keys, results.
#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <deque>

#include "dialog_test_support.h"
#include "edit_dialogs.h"

using namespace lapdex::ui;
using lapdex::ui::test::staticTexts;

namespace {

const QString kControls = QString::fromUtf16(
    u"\u200E\u200F\u200D\u200C\u202A\u202B\u202D\u202E\u202C\u206E\u206F\u206B\u206A\u206D\u206C"
    u"\u001E\u001F");

QLineEdit* lineField(EditDialog& d) {
    return qobject_cast<QLineEdit*>(d.control(1014));
}
QPlainTextEdit* memoField(EditDialog& d) {
    return qobject_cast<QPlainTextEdit*>(d.control(1014));
}

// Answers the message boxes that come up, one answer each in turn, and notes their texts.
class BoxAnswers : public QObject {
  public:
    explicit BoxAnswers(std::vector<QMessageBox::StandardButton> given)
        : answers(given.begin(), given.end()) {
        connect(&timer_, &QTimer::timeout, this, [this] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box || !box->isVisible() || answers.empty()) return;
            seen << box->text();
            QAbstractButton* button = box->button(answers.front());
            answers.pop_front();
            if (button) QTest::mouseClick(button, Qt::LeftButton);
        });
        timer_.start(5);
    }
    std::deque<QMessageBox::StandardButton> answers;
    QStringList seen;

  private:
    QTimer timer_;
};

}  // namespace

class EditDialogsTest : public QObject {
    Q_OBJECT
  private slots:
    void textsAndLimits();
    void openingSelectsTheWholeValue();
    void typingStopsAtTheLimit();
    void cleaningRemovesTheSeventeenCharacters();
    void onlyControlCharactersBecomeEmptyAndAreAccepted();
    void jisFormsBecomeTheFormsCodePage932Holds();
    void runMemoJoinsPastedLines();
    void runMemoAsksBeforeCuttingOrJoiningPastedText();
    void runMemoKeys();
    void overLongValueIsRefusedWithTheNotice();
    void cancelLeavesTheValue();
};

void EditDialogsTest::textsAndLimits() {
    QWidget owner;
    CUserIdEdit name(&owner);
    CLapMemo lap(&owner);
    CRunMemo run(&owner);
    QCOMPARE(staticTexts(name), QStringList{"ID名編集"});
    QCOMPARE(staticTexts(lap), (QStringList{"ラップメモ編集（20文字まで登録できます）",
                                            "取得データが更新されます。"}));
    QCOMPARE(staticTexts(run),
             (QStringList{"メモ編集（200文字まで登録できます）", "取得データが更新されます。"}));
    QCOMPARE(name.limit(), 20);
    QCOMPARE(lap.limit(), 20);
    QCOMPARE(run.limit(), 200);
    QCOMPARE(lineField(name)->maxLength(), 20);
    QVERIFY(memoField(run));
    for (EditDialog* d : {static_cast<EditDialog*>(&name), static_cast<EditDialog*>(&lap),
                          static_cast<EditDialog*>(&run)}) {
        QCOMPARE(d->windowTitle(), QString("K7X Stopwatch"));
        QCOMPARE(qobject_cast<QPushButton*>(d->control(1))->text(), QString("OK"));
        QCOMPARE(qobject_cast<QPushButton*>(d->control(2))->text(), QString("キャンセル"));
    }
}

void EditDialogsTest::openingSelectsTheWholeValue() {
    QWidget owner;
    CUserIdEdit name(&owner);
    name.text = "QTM-01";
    name.open();
    QCOMPARE(lineField(name)->text(), QString("QTM-01"));
    QCOMPARE(lineField(name)->selectedText(), QString("QTM-01"));
    QCOMPARE(name.focusWidget(), lineField(name));
}

void EditDialogsTest::typingStopsAtTheLimit() {
    QWidget owner;
    CLapMemo lap(&owner);
    lap.open();
    QTest::keyClicks(lineField(lap), QString(25, QChar('x')));
    QCOMPARE(lineField(lap)->text().size(), 20);
    CRunMemo run(&owner);
    run.open();
    QTest::keyClicks(memoField(run), QString(205, QChar('y')));
    QCOMPARE(memoField(run)->toPlainText().size(), 200);
}

void EditDialogsTest::cleaningRemovesTheSeventeenCharacters() {
    QCOMPARE(cleanEditedText("a" + kControls + "b\r\nc", LineBreaks::Keep), QString("ab\r\nc"));
    QCOMPARE(cleanEditedText("a" + kControls + "b\r\nc", LineBreaks::Remove), QString("abc"));
    // Neighbouring marks that are not on the list stay.
    QCOMPARE(cleanEditedText(QString::fromUtf16(u"x\u200By\u2060z\u001D"), LineBreaks::Remove),
             QString::fromUtf16(u"x\u200By\u2060z\u001D"));
    QWidget owner;
    CUserIdEdit name(&owner);
    name.open();
    lineField(name)->setText(QString::fromUtf16(u"\u202EQTM\u200E-7"));
    qobject_cast<QPushButton*>(name.control(1))->click();
    QCOMPARE(name.result(), 1);
    QCOMPARE(name.text, QString("QTM-7"));
    QCOMPARE(lineField(name)->text(), QString("QTM-7"));  // written back into the field
}

void EditDialogsTest::jisFormsBecomeTheFormsCodePage932Holds() {
    // What input methods on Linux type, and what the same keys give on Windows.
    const std::pair<char16_t, char16_t> forms[] = {{u'\u301C', u'\uFF5E'}, {u'\u2212', u'\uFF0D'},
                                                   {u'\u2016', u'\u2225'}, {u'\u2014', u'\u2015'},
                                                   {u'\u00A2', u'\uFFE0'}, {u'\u00A3', u'\uFFE1'},
                                                   {u'\u00AC', u'\uFFE2'}};
    for (const auto& [jis, windows] : forms) {
        const QString typed = QStringLiteral("a") + QChar(jis) + QChar(jis) + QStringLiteral("b");
        const QString stored =
            QStringLiteral("a") + QChar(windows) + QChar(windows) + QStringLiteral("b");
        QCOMPARE(cleanEditedText(typed, LineBreaks::Remove), stored);
        QCOMPARE(cleanEditedText(stored, LineBreaks::Keep), stored);  // already stored forms stay
    }
    // Every dialog cleans on OK: the name and both memos.
    QWidget owner;
    CUserIdEdit name(&owner);
    name.open();
    lineField(name)->setText(QString::fromUtf16(u"\u301C\u2212"));
    qobject_cast<QPushButton*>(name.control(1))->click();
    QCOMPARE(name.text, QString::fromUtf16(u"\uFF5E\uFF0D"));
    CRunMemo memo(&owner);
    memo.open();
    memoField(memo)->setPlainText(QString::fromUtf16(u"1\u301C2"));
    qobject_cast<QPushButton*>(memo.control(1))->click();
    QCOMPARE(memo.text, QString::fromUtf16(u"1\uFF5E2"));
}

void EditDialogsTest::onlyControlCharactersBecomeEmptyAndAreAccepted() {
    QWidget owner;
    CRunMemo run(&owner);
    run.text = "old";
    run.open();
    memoField(run)->setPlainText(kControls);
    run.accept();
    QCOMPARE(run.result(), 1);
    QCOMPARE(run.text, QString());
}

void EditDialogsTest::runMemoJoinsPastedLines() {
    QWidget owner;
    CRunMemo run(&owner);
    run.open();
    QApplication::clipboard()->setText("first line\r\nsecond\nthird");
    memoField(run)->paste();
    run.accept();
    QCOMPARE(run.result(), 1);
    QCOMPARE(run.text, QString("first linesecondthird"));
}

void EditDialogsTest::runMemoAsksBeforeCuttingOrJoiningPastedText() {
    const QString cutQuestion = QStringLiteral(
        "メモは 200 文字までです。\n超えた %1 文字を切り捨てますか？\n"
        "「いいえ」を選ぶと入力する前の内容に戻ります。");
    const QString breakQuestion = QStringLiteral(
        "メモには改行を保存できません。\n貼り付けた文字列の改行を"
        "取り除きますか？\n「いいえ」を選ぶと貼り付ける前の内容に戻ります。");
    using B = QMessageBox::StandardButton;
    const QString many(300, QChar(u'メ'));
    struct Case {
        const char* name;
        QString pasted;
        std::vector<B> answers;
        QStringList questions;
        QString kept;  // after "ab" typed first, the paste and the answers
    };
    const Case cases[] = {
        {"long, cut", many, {B::Yes}, {cutQuestion.arg(102)}, "ab" + many.left(198)},
        {"long, put back", many, {B::No}, {cutQuestion.arg(102)}, "ab"},
        {"lines, joined", "one\r\ntwo\nthree", {B::Yes}, {breakQuestion}, "abonetwothree"},
        {"lines, put back", "one\ntwo", {B::No}, {breakQuestion}, "ab"},
        {"lines and long, joined and cut",
         "x\n" + many,
         {B::Yes, B::Yes},
         {breakQuestion, cutQuestion.arg(103)},
         "abx" + many.left(197)},
        {"lines and long, joined but not cut",
         "x\n" + many,
         {B::Yes, B::No},
         {breakQuestion, cutQuestion.arg(103)},
         "ab"},
        {"short, nothing asked", "cd", {}, {}, "abcd"},
    };
    for (const Case& c : cases) {
        QWidget owner;
        CRunMemo run(&owner);
        run.open();
        QTest::keyClicks(memoField(run), "ab");
        BoxAnswers boxes(c.answers);
        QApplication::clipboard()->setText(c.pasted);
        memoField(run)->paste();
        QTRY_VERIFY2(boxes.answers.empty(), c.name);
        QTRY_COMPARE(memoField(run)->toPlainText(), c.kept);
        QTest::qWait(20);  // nothing more is asked
        QVERIFY2(!qobject_cast<QMessageBox*>(QApplication::activeModalWidget()), c.name);
        QCOMPARE(boxes.seen, c.questions);
        run.accept();
        QCOMPARE(run.text, c.kept);
    }
    // A memo over the limit (from an edited file) is shortened key by key without a question.
    QWidget owner;
    CRunMemo longMemo(&owner);
    longMemo.text = QString(250, QChar('m'));
    longMemo.open();
    BoxAnswers none({});
    QTest::keyClick(memoField(longMemo), Qt::Key_End);
    QTest::keyClick(memoField(longMemo), Qt::Key_Backspace);
    QTest::qWait(20);
    QCOMPARE(memoField(longMemo)->toPlainText().size(), 249);
    QVERIFY(none.seen.isEmpty());
}

void EditDialogsTest::runMemoKeys() {
    QWidget owner;
    CRunMemo run(&owner);
    run.text = "memo";
    run.open();
    QTest::keyClick(memoField(run), Qt::Key_End);
    QTest::keyClick(memoField(run), Qt::Key_Return, Qt::ControlModifier);
    QVERIFY(run.isVisible());
    QCOMPARE(memoField(run)->toPlainText(), QString("memo"));
    QTest::keyClick(memoField(run), Qt::Key_End);
    QVERIFY(!memoField(run)->textCursor().hasSelection());
    QTest::keyClick(memoField(run), Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(memoField(run)->textCursor().selectedText(), QString("memo"));
    QTest::keyClick(memoField(run), Qt::Key_End);
    QTest::keyClicks(memoField(run), "!");
    QTest::keyClick(memoField(run), Qt::Key_Return);
    QCOMPARE(run.result(), 1);
    QCOMPARE(run.text, QString("memo!"));
}

void EditDialogsTest::overLongValueIsRefusedWithTheNotice() {
    QWidget owner;
    CUserIdEdit name(&owner);
    QStringList notices;
    name.showLimitNotice = [&](const QString& m) { notices << m; };
    name.text = QString(25, QChar('n'));  // from an edited configuration file
    name.open();
    name.accept();
    QCOMPARE(notices, QStringList{"20 文字以内で入力してください。"});
    QVERIFY(name.isVisible());
    QCOMPARE(name.text.size(), 25);
    lineField(name)->setText("short");
    name.accept();
    QCOMPARE(name.result(), 1);
    QCOMPARE(name.text, QString("short"));
}

void EditDialogsTest::cancelLeavesTheValue() {
    QWidget owner;
    CLapMemo lap(&owner);
    lap.text = "keep";
    lap.open();
    lineField(lap)->setText("changed");
    QTest::keyClick(&lap, Qt::Key_Escape);
    QCOMPARE(lap.result(), 2);
    QCOMPARE(lap.text, QString("keep"));
}

QTEST_MAIN(EditDialogsTest)
#include "test_edit_dialogs.moc"
