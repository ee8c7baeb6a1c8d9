// The main window's layout: the template's controls and the page's strip inside a scroll area,
// stretched by the room the window has beyond the template's size, and the order of Tab.
#include <QCheckBox>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QResizeEvent>
#include <QScrollArea>
#include <QStyle>
#include <QTimer>
#include <algorithm>

#include "lapdex_dlg.h"
#include "pictures.h"
#include "window_place.h"

namespace lapdex::ui {

namespace {

int menuHeight(const QMenuBar* bar) {
    return bar->sizeHint().height();
}

}  // namespace

void CLapdexDlg::buildContent() {
    scroll_ = new QScrollArea(this);
    scroll_->setFrameShape(QFrame::NoFrame);
    scroll_->setFocusPolicy(Qt::NoFocus);
    scroll_->setWidgetResizable(true);
    // See-through, so the window still paints (and is seen to paint) behind its controls.
    scroll_->viewport()->setAutoFillBackground(false);
    content_ = new QWidget;
    content_->setAutoFillBackground(false);
    client_ = new QWidget(content_);
    controls_ = buildControls(template_, client_, DialogUnits(font()));
    clientMinimum_ = client_->size();
    client_->setMinimumSize(0, 0);
    client_->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    stretch_.addTemplate(template_, controls_);
}

void CLapdexDlg::finishContent() {
    const DialogUnits units(font());
    const int stripRoom = strip_ ? stripHeight_ + units.toPixelsY(5) : 0;
    contentMinimum_ = QSize(clientMinimum_.width(), clientMinimum_.height() + stripRoom);
    content_->setMinimumSize(contentMinimum_);
    content_->resize(contentMinimum_);
    scroll_->setWidget(content_);
    content_->installEventFilter(this);
    client_->installEventFilter(this);
    resize(contentMinimum_.width(), menuHeight(menuBar_) + contentMinimum_.height());
    fitMinimumToScreen();
    layoutContent();
}

void CLapdexDlg::placePage() {
    // The page's left edge on the display area's left edge, its bottom edge on the display area's
    // bottom edge; it grows with the tab control.
    const QRect area = tabs_->displayArea();
    page_->move(area.left(), area.bottom() + 1 - page_->height());
    page_->show();
    page_->raise();
}

void CLapdexDlg::placeStrip() {
    strip_ = page_->stripBelow();
    if (!strip_) return;
    // The template's controls keep their places; the strip takes the room below them.
    const DialogUnits units(font());
    const int margin = units.toPixelsX(7);
    stripHeight_ = units.toPixelsY(80);
    strip_->setParent(content_);
    strip_->setGeometry(margin, clientMinimum_.height(), clientMinimum_.width() - 2 * margin,
                        stripHeight_);
    strip_->show();
}

void CLapdexDlg::layoutContent() {
    const int dx = std::max(0, content_->width() - contentMinimum_.width());
    const int dy = std::max(0, content_->height() - contentMinimum_.height());
    // The page (its lists and memo box) takes half of the extra height, the strip the rest.
    const int pageDy = strip_ ? dy / 2 : dy;
    client_->setGeometry(0, 0, clientMinimum_.width() + dx, clientMinimum_.height() + pageDy);
    stretch_.apply(QSize(dx, pageDy));
    page_->resize(pageMinimum_ + QSize(dx, pageDy));
    placePage();
    if (!strip_) return;
    const int margin = DialogUnits(font()).toPixelsX(7);
    strip_->setGeometry(margin, client_->height(), content_->width() - 2 * margin,
                        stripHeight_ + dy - pageDy);
}

void CLapdexDlg::fitMinimumToScreen() {
    // At 100 % the template's layout is the least the window shows; a screen too small for it (or
    // a large scale factor) gets scroll bars instead of a window that reaches past its edges.
    const QSize natural(contentMinimum_.width(), menuHeight(menuBar_) + contentMinimum_.height());
    const QSize room = availableArea(*this).size() - (frameGeometry().size() - size());
    // A scroll bar for one direction takes room in the other, where there may be plenty.
    QSize least = natural;
    const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, scroll_);
    if (natural.height() > room.height()) least.rwidth() += bar;
    if (natural.width() > room.width()) least.rheight() += bar;
    setMinimumSize(least.boundedTo(room));
}

void CLapdexDlg::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    const int top = menuHeight(menuBar_);
    menuBar_->resize(width(), menuBar_->height());
    if (scroll_) scroll_->setGeometry(0, top, width(), height() - top);
}

void CLapdexDlg::showEvent(QShowEvent* event) {
    fitMinimumToScreen();
    QDialog::showEvent(event);
    // Once the window manager has framed the window, its frame counts too.
    QTimer::singleShot(0, this, [this] {
        fitMinimumToScreen();
        fitIntoScreen(*this);
    });
}

void CLapdexDlg::paintLogo() {
    QPainter painter(client_);
    QPixmap logo = logoPicture();
    logo.setMask(logo.createMaskFromColor(Qt::white));
    painter.drawPixmap(QPoint(30, 20), logo);
    refreshBattery();
}

void CLapdexDlg::chainFocus() {
    // The tabs, the page's controls from the calendar to the memo box, then the clock check box
    // and Exit.
    std::vector<QWidget*> order{tabs_->tabBar()};
    for (QWidget* control : page_->focusOrder()) order.push_back(control);
    order.push_back(clockSync_);
    order.push_back(exit_);
    for (std::size_t i = 1; i < order.size(); ++i) setTabOrder(order[i - 1], order[i]);
}

}  // namespace lapdex::ui
