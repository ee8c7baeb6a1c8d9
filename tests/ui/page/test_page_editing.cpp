// The page's changes to stored runs: Delete and its selection rules, lap and run memo editing,
// and its keyboard, focus and tool tip behaviour.
#include <QDialog>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTreeWidget>
#include <QUrl>

#include "bilingual_text.h"
#include "page_test_support.h"
#include "run_file_reader.h"

using namespace lapdex;
using namespace lapdex::ui;
using namespace lapdex::ui::test;

namespace {

const QDate kDay(2024, 2, 14);

// The run memo (row 0, column 6) and lap memos as the file now holds them.
struct StoredMemos : RunCellStore {
    std::string runMemo;
    std::map<int, std::string> lapMemos;
    void storeCell(int row, int column, const std::string& text, int) override {
        if (row == 0 && column == 6) runMemo = text;
        if (row > 0 && column == 3) lapMemos[row - 1] = text;
    }
};

StoredMemos storedMemos(const std::string& path) {
    StoredMemos memos;
    (void)readRunFile(systemFileSystem(), path, -1, memos);
    return memos;
}

}  // namespace

class PageEditing : public QObject {
    Q_OBJECT
  private slots:
    void deletingTheLastRunSelectsTheNewLast();
    void deletingAnotherRunKeepsTheIndex();
    void deletingTheOnlyRunLeavesNoSelection();
    void deleteAnsweredNoOrRefusedChangesNothing();
    void lapMemoRoundTripsCommasAndQuotes();
    void doubleClicksOutsideTheMemoColumnDoNothing();
    void runMemoLosesPastedLineBreaks();
    void longMemosAreShownCut();
    void memoThatShiftJisCannotHoldIsRefused();
    void memoCorrectedAfterTheRefusalIsSaved();
    void memoOfAFileInUseReportsTheSaveFailure();
    void keyboardFilterAndFocusOrder();
    void memoBoxTakesTheFocusAndOpensOnOneClick();
    void toolTipsOnlyOverMemos();
    void allDataOpensTheStopwatchFolder();
    void englishMessagesToolTipsAndHeaders();
    void cleanup();
};

void PageEditing::cleanup() {
    lapdex::texts::setCurrentLanguage(lapdex::texts::Language::Japanese);
}

// Switched to English, the page asks, reports and explains in English and renames its lap columns.
void PageEditing::englishMessagesToolTipsAndHeaders() {
    PageFixture f;
    const std::string path = f.data.write(clockRun(kDay, 9, 0, 0, 2));
    f.page->initialisePage();
    f.pickDay(kDay);
    f.page->show();
    QVERIFY(QTest::qWaitForWindowExposed(f.page.get()));
    lapdex::texts::setCurrentLanguage(lapdex::texts::Language::English);
    QEvent change(QEvent::LanguageChange);
    QCoreApplication::sendEvent(f.page.get(), &change);
    QTreeWidget* laps = f.page->lapList();
    QCOMPARE(laps->headerItem()->text(0), QStringLiteral("No."));
    QCOMPARE(laps->headerItem()->text(2), QStringLiteral("Split"));
    QCOMPARE(
        f.page->toolTipAt(laps->viewport(), laps->visualRect(laps->model()->index(0, 3)).center()),
        QStringLiteral("Double-click to edit the memo."));
    {
        const auto lock =
            systemFileSystem().holdLock(path, LockMode::Shared);  // another program has it open
        f.page->deleteSelectedRun();
    }
    QCOMPARE(
        QString::fromStdString(f.host.questions.at(0)),
        QStringLiteral(
            "\"2024/02/14   09:00:00\" will be deleted,\nits saved CSV file too.\nDelete it?"));
    QCOMPARE(QString::fromStdString(f.host.errors.at(0)),
             QStringLiteral("\"2024/02/14   09:00:00\" could not be deleted.\n"
                            "Make sure its file is not open in another program."));
    lapdex::texts::setCurrentLanguage(lapdex::texts::Language::Japanese);
    QCoreApplication::sendEvent(f.page.get(), &change);
    QCOMPARE(laps->headerItem()->text(2), QStringLiteral("スプリット"));
}

void PageEditing::deletingTheLastRunSelectsTheNewLast() {
    PageFixture f;
    for (int minute : {0, 10, 20}) f.data.write(clockRun(kDay, 9, minute, 0));
    f.page->initialisePage();
    f.pickDay(kDay);
    f.page->runList()->setCurrentRow(2);
    const std::string doomed = f.page->runPaths()[2];
    const QString name = f.page->content().runLines[2];
    f.page->deleteSelectedRun();
    QCOMPARE(QString::fromStdString(f.host.questions.at(0)),
             QStringLiteral(
                 "\"%1\"を削除します。\n保存されたCSVファイルも削除されます。\nよろしいですか？")
                 .arg(name));
    QCOMPARE(systemFileSystem().kindOf(doomed), EntryKind::None);
    QCOMPARE(f.page->selectedRun(), 1);
    QCOMPARE(f.page->runList()->count(), 2);
    QCOMPARE(f.page->runList()->currentRow(), 1);
    QVERIFY(!f.page->content().runLines.contains(name));
    QCOMPARE(f.host.pauses, 1);
    QCOMPARE(f.host.resumes, 1);
    QCOMPARE(f.fs.unguardedChanges, 0);
}

void PageEditing::deletingAnotherRunKeepsTheIndex() {
    PageFixture f;
    for (int minute : {0, 10, 20}) f.data.write(clockRun(kDay, 9, minute, 0));
    f.page->initialisePage();
    f.pickDay(kDay);
    f.page->runList()->setCurrentRow(1);
    const QString following = f.page->content().runLines[2];
    f.page->deleteSelectedRun();
    QCOMPARE(f.page->selectedRun(), 1);
    QCOMPARE(f.page->runList()->count(), 2);
    // The run that followed is listed and shown in its place.
    QCOMPARE(f.page->runList()->currentItem()->text(), following);
    QVERIFY(f.page->runLoaded());
    QCOMPARE(f.page->lapList()->topLevelItemCount(), 3);
}

void PageEditing::deletingTheOnlyRunLeavesNoSelection() {
    PageFixture f;
    f.data.write(clockRun(kDay, 9, 0, 0));
    f.page->initialisePage();
    f.pickDay(kDay);
    f.page->deleteSelectedRun();
    QCOMPARE(f.page->selectedRun(), -1);
    QCOMPARE(f.page->runList()->count(), 0);
    QCOMPARE(f.page->lapList()->topLevelItemCount(), 0);
    QVERIFY(!f.page->calendar()->isBold(kDay));
    // Nothing is selected, so a second Delete asks nothing.
    f.page->deleteSelectedRun();
    QCOMPARE(f.host.questions.size(), std::size_t(1));
}

void PageEditing::deleteAnsweredNoOrRefusedChangesNothing() {
    PageFixture f;
    const std::string path = f.data.write(clockRun(kDay, 9, 0, 0));
    f.page->initialisePage();
    f.pickDay(kDay);
    f.host.answerYes = false;
    f.page->deleteSelectedRun();
    QCOMPARE(systemFileSystem().kindOf(path), EntryKind::File);
    QCOMPARE(f.host.resumes, 1);
    f.host.answerYes = true;
    {
        const auto lock =
            systemFileSystem().holdLock(path, LockMode::Shared);  // another program has it open
        f.page->deleteSelectedRun();
    }
    QCOMPARE(systemFileSystem().kindOf(path), EntryKind::File);
    QCOMPARE(
        QString::fromStdString(f.host.errors.at(0)),
        QStringLiteral(
            "\"2024/02/14   "
            "09:00:00\"の削除に失敗しました。\n対象ファイルを開いていないか確認してください。"));
    QCOMPARE(f.page->selectedRun(), 0);
    QCOMPARE(f.page->runList()->count(), 1);
    QCOMPARE(f.host.resumes, 2);
}

void PageEditing::lapMemoRoundTripsCommasAndQuotes() {
    PageFixture f;
    const std::string path = f.data.write(clockRun(kDay, 9, 0, 0));
    f.page->initialisePage();
    f.pickDay(kDay);
    const QString memo = QStringLiteral("向かい風, \"強\",,");
    f.answerDialogsWith(memo);
    f.page->editLapMemo(1);
    QCOMPARE(f.dialogsShown, 1);
    QCOMPARE(f.dialogTextOnOpen, QString());
    QCOMPARE(f.page->lapList()->topLevelItem(1)->text(3), memo);
    QCOMPARE(storedMemos(path).lapMemos[1], memo.toStdString());
    QCOMPARE(storedMemos(path).lapMemos[0], std::string());
    QVERIFY(systemFileSystem().isReadOnly(path));
    QCOMPARE(f.host.pauses, f.host.resumes);
    QCOMPARE(f.fs.unguardedChanges, 0);
    // A reload shows what the file holds, and the dialog opens with it.
    f.page->handlePageMessage(PAGE_DATA_CHANGED);
    QCOMPARE(f.page->lapList()->topLevelItem(1)->text(3), memo);
    f.answerDialogsWith(QStringLiteral("二回目"));
    f.page->editLapMemo(1);
    QCOMPARE(f.dialogTextOnOpen, memo);
}

void PageEditing::doubleClicksOutsideTheMemoColumnDoNothing() {
    PageFixture f;
    f.data.write(clockRun(kDay, 9, 0, 0, 2));
    f.page->initialisePage();
    f.pickDay(kDay);
    f.page->show();
    QVERIFY(QTest::qWaitForWindowExposed(f.page.get()));
    f.answerDialogsWith(QStringLiteral("x"));
    QTreeWidget* laps = f.page->lapList();
    QWidget* viewport = laps->viewport();
    for (int column = 0; column < 3; ++column)
        QTest::mouseDClick(viewport, Qt::LeftButton, {},
                           laps->visualRect(laps->model()->index(0, column)).center());
    const QRect lastRow = laps->visualRect(laps->model()->index(1, 3));
    QTest::mouseDClick(viewport, Qt::LeftButton, {},
                       QPoint(lastRow.center().x(), lastRow.bottom() + 10));
    QCOMPARE(f.dialogsShown, 0);
    QCOMPARE(f.host.pauses, 0);
    QTest::mouseDClick(viewport, Qt::LeftButton, {}, lastRow.center());
    QCOMPARE(f.dialogsShown, 1);
    QCOMPARE(laps->topLevelItem(1)->text(3), QStringLiteral("x"));
}

void PageEditing::runMemoLosesPastedLineBreaks() {
    PageFixture f;
    const std::string path = f.data.write(clockRun(kDay, 9, 0, 0));
    f.page->initialisePage();
    f.pickDay(kDay);
    f.page->show();
    f.answerDialogsWith(QStringLiteral("晴れ, \"無風\"\r\n二行目\n三行目"));
    QTest::mouseClick(f.page->memoBox()->viewport(), Qt::LeftButton, {}, QPoint(5, 5));
    QCOMPARE(f.dialogsShown, 1);
    const QString expected = QStringLiteral("晴れ, \"無風\"二行目三行目");
    QCOMPARE(f.page->memoBox()->toPlainText(), expected);
    QCOMPARE(storedMemos(path).runMemo, expected.toStdString());
    QCOMPARE(f.host.pauses, 1);
    QCOMPARE(f.host.resumes, 1);
    QCOMPARE(f.fs.unguardedChanges, 0);
    // Without a loaded run the memo box does not open the dialog.
    f.pickDay(kDay.addDays(1));
    QTest::mouseClick(f.page->memoBox()->viewport(), Qt::LeftButton, {}, QPoint(5, 5));
    QCOMPARE(f.dialogsShown, 1);
}

void PageEditing::longMemosAreShownCut() {
    PageFixture f;
    const std::string path = f.data.write(clockRun(kDay, 9, 0, 0));
    const QString runMemo = QString(120, QChar(u'あ')) + QString(130, QChar(u'b'));
    const QString lapMemo = QStringLiteral("一二三四五六七八九十壱弐参四五六七八九拾超過");
    QVERIFY(rewriteMemo(systemFileSystem(), path, runMemo.toStdString(), MemoKind::Run, 0).ok());
    QVERIFY(rewriteMemo(systemFileSystem(), path, lapMemo.toStdString(), MemoKind::Lap, 2).ok());
    f.page->initialisePage();
    f.pickDay(kDay);
    QCOMPARE(f.page->memoBox()->toPlainText(), runMemo.left(200));
    QCOMPARE(f.page->lapList()->topLevelItem(2)->text(3), lapMemo.left(20));
}

void PageEditing::memoThatShiftJisCannotHoldIsRefused() {
    PageFixture f;
    const std::string path = f.data.write(clockRun(kDay, 9, 0, 0));
    f.page->initialisePage();
    f.pickDay(kDay);
    const QByteArray before = QByteArray::fromStdString(systemFileSystem().readFile(path).bytes);
    f.answerDialogsInTurn({QStringLiteral("好天😀€")});
    f.page->editRunMemo();
    // The dialog opened again with what was typed; the user then gave up.
    QCOMPARE(f.textsOnOpen, (QStringList{QString(), QStringLiteral("好天😀€")}));
    f.answerDialogsInTurn({QStringLiteral("好天😀€")});
    f.page->editLapMemo(0);
    QCOMPARE(f.host.errors.size(), std::size_t(2));
    const QString message = QString::fromStdString(f.host.errors[0]);
    QVERIFY(message.contains(QStringLiteral("😀")));
    QVERIFY(message.contains(QStringLiteral("€")));
    QVERIFY(!message.contains(QStringLiteral("好")));
    QCOMPARE(QByteArray::fromStdString(systemFileSystem().readFile(path).bytes), before);
    QCOMPARE(f.page->memoBox()->toPlainText(), QString());
    QCOMPARE(f.page->lapList()->topLevelItem(0)->text(3), QString());
    QCOMPARE(f.host.pauses, 2);
    QCOMPARE(f.host.resumes, 2);
}

void PageEditing::memoCorrectedAfterTheRefusalIsSaved() {
    PageFixture f;
    const std::string path = f.data.write(clockRun(kDay, 9, 0, 0));
    f.page->initialisePage();
    f.pickDay(kDay);
    f.answerDialogsInTurn({QStringLiteral("晴れ😀"), QStringLiteral("晴れ")});
    f.page->editRunMemo();
    QCOMPARE(f.dialogsShown, 2);
    QCOMPARE(f.host.errors.size(), std::size_t(1));
    QCOMPARE(f.page->memoBox()->toPlainText(), QStringLiteral("晴れ"));
    StoredMemos stored;
    QVERIFY(readRunFile(systemFileSystem(), path, -1, stored));
    QCOMPARE(QString::fromStdString(stored.runMemo), QStringLiteral("晴れ"));
    QCOMPARE(f.host.pauses, 1);
    QCOMPARE(f.host.resumes, 1);
}

void PageEditing::memoOfAFileInUseReportsTheSaveFailure() {
    PageFixture f;
    const std::string path = f.data.write(clockRun(kDay, 9, 0, 0));
    f.page->initialisePage();
    f.pickDay(kDay);
    f.answerDialogsWith(QStringLiteral("new"));
    {
        const auto lock = systemFileSystem().holdLock(path, LockMode::Shared);
        f.page->editRunMemo();
    }
    QCOMPARE(QString::fromStdString(f.host.errors.at(0)),
             QStringLiteral(
                 "データの保存に失敗しました。\n対象のファイルを開いていないか確認してください。"));
    QCOMPARE(f.page->memoBox()->toPlainText(), QString());
    QCOMPARE(storedMemos(path).runMemo, std::string());
}

void PageEditing::keyboardFilterAndFocusOrder() {
    QDialog window;
    DataFolder data;
    ScriptedHost host(data.path());
    data.write(clockRun(kDay, 9, 0, 0));
    auto* page = new CUserDialog(&window, host, systemFileSystem(), ScreenFacts{96, true, true});
    page->initialisePage();
    page->show();  // the window shows the page after placing it
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    // The focus order: calendar, run list, All data, Delete, lap list.
    QWidget* expected[] = {page->calendar(), page->runList(), page->control(kPageAllData),
                           page->control(kPageDelete), page->lapList()};
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    page->calendar()->setFocus();
    for (QWidget* next : expected) {
        QCOMPARE(QApplication::focusWidget(), next);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    // Escape and Enter in a list neither close nor accept the window.
    QTest::keyClick(page->runList(), Qt::Key_Escape);
    QTest::keyClick(page->runList(), Qt::Key_Return);
    QVERIFY(window.isVisible());
    QCOMPARE(window.result(), 0);
    // Enter on Delete runs Delete (on a day without runs it asks nothing); arrows stay put.
    page->control(kPageDelete)->setFocus();
    QTest::keyClick(page->control(kPageDelete), Qt::Key_Right);
    QCOMPARE(QApplication::focusWidget(), page->control(kPageDelete));
    page->runList()->setCurrentRow(-1);
    QTest::keyClick(page->control(kPageDelete), Qt::Key_Return);
    QVERIFY(host.questions.empty());
    QVERIFY(window.isVisible());
}

void PageEditing::memoBoxTakesTheFocusAndOpensOnOneClick() {
    PageFixture f;
    f.data.write(clockRun(kDay, 9, 0, 0, 4));
    f.page->initialisePage();
    f.pickDay(kDay);
    f.page->show();
    QVERIFY(QTest::qWaitForWindowExposed(f.page.get()));
    f.answerDialogsInTurn({});  // the editor opens and is cancelled
    f.page->runList()->setFocus();
    QTest::mouseClick(f.page->memoBox()->viewport(), Qt::LeftButton, {}, QPoint(5, 5));
    QCOMPARE(f.dialogsShown, 1);
    QCOMPARE(QApplication::focusWidget(), f.page->memoBox());
    QCOMPARE(f.page->memoBox()->contextMenuPolicy(), Qt::NoContextMenu);
    // The lap list, focused without a selection, selects its first row.
    f.page->lapList()->setCurrentItem(nullptr);
    f.page->lapList()->setFocus();
    QCOMPARE(f.page->lapList()->currentIndex().row(), 0);
    QVERIFY(f.page->lapList()->topLevelItem(0)->isSelected());
}

void PageEditing::toolTipsOnlyOverMemos() {
    PageFixture f;
    f.data.write(clockRun(kDay, 9, 0, 0, 2));
    f.page->initialisePage();
    f.pickDay(kDay);
    f.page->show();
    QVERIFY(QTest::qWaitForWindowExposed(f.page.get()));
    QTreeWidget* laps = f.page->lapList();
    const QString tip = QStringLiteral("ダブルクリックでメモの編集が出来ます。");
    const QRect memoCell = laps->visualRect(laps->model()->index(0, 3));
    QCOMPARE(f.page->toolTipAt(laps->viewport(), memoCell.center()), tip);
    QCOMPARE(
        f.page->toolTipAt(laps->viewport(), laps->visualRect(laps->model()->index(0, 1)).center()),
        QString());
    QCOMPARE(
        f.page->toolTipAt(laps->viewport(), QPoint(memoCell.center().x(), memoCell.bottom() + 40)),
        QString());
    QCOMPARE(f.page->toolTipAt(f.page->memoBox()->viewport(), QPoint(3, 3)),
             QStringLiteral("クリック、またはEnterキーでメモの編集が出来ます。"));
    f.pickDay(kDay.addDays(1));
    QCOMPARE(f.page->toolTipAt(f.page->memoBox()->viewport(), QPoint(3, 3)), QString());
}

void PageEditing::allDataOpensTheStopwatchFolder() {
    PageFixture f;
    f.page->initialisePage();
    qobject_cast<QPushButton*>(f.page->control(kPageAllData))->click();
    f.page->control(kPageAllData)->setFocus();
    QTest::keyClick(f.page->control(kPageAllData), Qt::Key_Enter);
    QCOMPARE(f.host.opened, (std::vector<std::string>{f.data.folder(), f.data.folder()}));
    QCOMPARE(f.host.pauses, 0);
}

QTEST_MAIN(PageEditing)
#include "test_page_editing.moc"
