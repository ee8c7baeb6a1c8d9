// Copy as text as the user meets it: Ctrl+C on the page's lap list and on a table of runs puts
// tab-separated lines with a header on the clipboard.
#include <QApplication>
#include <QClipboard>
#include <QStandardItemModel>
#include <QTableView>
#include <QTreeWidget>

#include "copy_as_text.h"
#include "page_test_support.h"

using namespace lapdex;
using namespace lapdex::ui;
using namespace lapdex::ui::test;

namespace {

const QDate kDay(2024, 2, 14);

void pressCopy(QWidget* widget) {
    QApplication::clipboard()->clear();
    widget->setFocus();
    QTest::keySequence(widget, QKeySequence::Copy);
}

// Shows `run` on a page of its own and copies its lap list; false when the page never became
// active.
bool copyLapsOf(PageFixture& f, const RunRecord& run) {
    f.data.write(run);
    f.page->initialisePage();
    f.pickDay(kDay);
    f.page->show();
    if (!QTest::qWaitForWindowActive(f.page.get())) return false;
    pressCopy(f.page->lapList());
    return true;
}

}  // namespace

class CopyAsText : public QObject {
    Q_OBJECT
  private slots:
    void lapListCopiesEveryLapWithAHeader();
    void emptyLapListCopiesNothing();
    void tableCopiesTheSelectedRowsInOrder();
    void memosThatLookLikeFormulasStayText();
};

void CopyAsText::lapListCopiesEveryLapWithAHeader() {
    PageFixture f;
    RunRecord run = clockRun(kDay, 9, 30, 15, 3);
    run.laps[1].memo = "追い風, 強い";
    QVERIFY(copyLapsOf(f, run));
    QCOMPARE(QApplication::clipboard()->text(),
             QStringLiteral("No.\tラップ\tスプリット\tラップメモ（20文字まで）\n"
                            "1\t00:01'10\"51\t00:01'10\"51\t\n"
                            "2\t00:01'10\"52\t00:02'21\"03\t追い風, 強い\n"
                            "3\t00:01'10\"53\t00:03'31\"56\t\n"));
}

void CopyAsText::emptyLapListCopiesNothing() {
    PageFixture f;
    f.page->initialisePage();
    f.pickDay(kDay);
    f.page->show();
    QVERIFY(QTest::qWaitForWindowActive(f.page.get()));
    QApplication::clipboard()->setText(QStringLiteral("before"));
    f.page->lapList()->setFocus();
    QTest::keySequence(f.page->lapList(), QKeySequence::Copy);
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("before"));
}

void CopyAsText::tableCopiesTheSelectedRowsInOrder() {
    QStandardItemModel model(4, 3);
    model.setHorizontalHeaderLabels(
        {QStringLiteral("タブ名"), QStringLiteral("開始"), QStringLiteral("メモ")});
    for (int r = 0; r < 4; ++r) {
        model.setItem(r, 0, new QStandardItem(QStringLiteral("走者%1").arg(r)));
        model.setItem(r, 1, new QStandardItem(QStringLiteral("2024/02/14 09:3%1:00").arg(r)));
        model.setItem(
            r, 2, new QStandardItem(r == 3 ? QStringLiteral("一行目\n二行目\tタブ") : QString()));
    }
    QTableView table;
    table.setModel(&model);
    table.setSelectionBehavior(QAbstractItemView::SelectRows);
    table.setSelectionMode(QAbstractItemView::ExtendedSelection);
    installCopyAsText(&table, CopyRows::Selected);
    table.show();
    QVERIFY(QTest::qWaitForWindowActive(&table));
    table.selectRow(3);
    table.selectionModel()->select(model.index(1, 0),
                                   QItemSelectionModel::Select | QItemSelectionModel::Rows);
    pressCopy(&table);
    QCOMPARE(QApplication::clipboard()->text(),
             QStringLiteral("タブ名\t開始\tメモ\n"
                            "走者1\t2024/02/14 09:31:00\t\n"
                            "走者3\t2024/02/14 09:33:00\t一行目 二行目 タブ\n"));
}

// Pasted into a spreadsheet, a copied memo is text, as in runs.csv: never a formula.
void CopyAsText::memosThatLookLikeFormulasStayText() {
    const struct {
        const char* memo;
        const char* copied;
    } kCases[] = {{"=1+2", "'=1+2"},   {"+81 90", "'+81 90"}, {"-3 s", "'-3 s"},
                  {"@home", "'@home"}, {"a=b", "a=b"},        {"", ""}};
    PageFixture f;
    RunRecord run = clockRun(kDay, 9, 30, 15, static_cast<int>(std::size(kCases)));
    for (std::size_t i = 0; i < std::size(kCases); ++i) run.laps[i].memo = kCases[i].memo;
    QVERIFY(copyLapsOf(f, run));
    const QStringList lines = QApplication::clipboard()->text().split(u'\n');
    QCOMPARE(lines.size(), static_cast<qsizetype>(std::size(kCases)) + 2);
    for (std::size_t i = 0; i < std::size(kCases); ++i)
        QCOMPARE(lines[static_cast<qsizetype>(i) + 1].section(u'\t', 3),
                 QString::fromUtf8(kCases[i].copied));
}

QTEST_MAIN(CopyAsText)
#include "test_copy_as_text.moc"
