// The page's strip (the lap chart) below the tab control: the window grows by it and every
// control of the window and the page keeps its place.
#include <QScrollArea>
#include <QTest>

#include "fake_port.h"
#include "lapdex_dlg.h"

using namespace lapdex;
using namespace lapdex::ui;
using lapdex::ui::test::FakeDesktop;
using lapdex::ui::test::FakePort;

namespace {

class StripPage : public EmptyPage {
  public:
    explicit StripPage(QWidget* parent) : EmptyPage(parent), strip(new QWidget) {}
    QWidget* stripBelow() override { return strip; }
    QWidget* strip;
};

}  // namespace

class PageStripTest : public QObject {
    Q_OBJECT
  private slots:
    void windowGrowsBelowTheTabsForTheStrip();
};

void PageStripTest::windowGrowsBelowTheTabsForTheStrip() {
    FakePort port;
    port.titles = {"QTM-01"};
    FakeDesktop desktop;
    CLapdexDlg plain(port, desktop);
    StripPage* page = nullptr;
    CLapdexDlg grown(port, desktop, [&page](QWidget* parent, PageHost&) -> StopwatchPage* {
        return page = new StripPage(parent);
    });
    QVERIFY(page);
    QWidget* strip = page->strip;
    QVERIFY(grown.isAncestorOf(strip));
    QVERIFY(!strip->isHidden());
    // The layout grows, not the screen: a window taller than the screen scrolls instead.
    QCOMPARE(grown.layoutMinimum().width(), plain.layoutMinimum().width());
    QVERIFY(grown.layoutMinimum().height() > plain.layoutMinimum().height() + strip->height() - 1);
    // Below the tab control and inside the window's scrolled content, clear of its edges.
    QWidget* content = grown.scrollArea()->widget();
    const QRect tabs(grown.tabControl()->mapTo(content, QPoint(0, 0)), grown.tabControl()->size());
    const QRect placed(strip->mapTo(content, QPoint(0, 0)), strip->size());
    QVERIFY(placed.top() >= tabs.bottom());
    QVERIFY(placed.left() > 0);
    QVERIFY(placed.right() < content->width() - 1);
    QVERIFY(placed.bottom() < content->height());
    // The window's own controls keep their places.
    QCOMPARE(grown.tabControl()->geometry(), plain.tabControl()->geometry());
    QCOMPARE(grown.page()->geometry(), plain.page()->geometry());
}

QTEST_MAIN(PageStripTest)
#include "test_page_strip.moc"
