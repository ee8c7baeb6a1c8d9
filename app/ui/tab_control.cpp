#include "tab_control.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionTab>
#include <QStylePainter>

namespace lapdex::ui {

void LabelTabBar::paintEvent(QPaintEvent*) {
    // The frames come from the style; the label is ours: at most 99 characters, centred
    // both ways on a button-face fill.
    QStylePainter painter(this);
    const QColor face = palette().color(QPalette::Button);
    for (int i = 0; i < count(); ++i) {
        QStyleOptionTab option;
        initStyleOption(&option, i);
        option.text.clear();
        painter.drawControl(QStyle::CE_TabBarTabShape, option);
        const QRect label = tabRect(i).adjusted(2, 2, -2, -1);
        painter.fillRect(label, face);
        painter.setPen(palette().color(QPalette::ButtonText));
        painter.drawText(label, Qt::AlignCenter, tabText(i).left(99));
    }
}

TabControl::TabControl(QWidget* parent) : QWidget(parent), bar_(new LabelTabBar(this)) {
    bar_->setDrawBase(false);
    bar_->setExpanding(false);
    bar_->setUsesScrollButtons(true);
    bar_->setElideMode(Qt::ElideNone);
    bar_->installEventFilter(this);
    setFocusProxy(bar_);
}

QRect TabControl::displayArea() const {
    const int top = bar_->sizeHint().height();
    return QRect(geometry().x() + 2, geometry().y() + top + 2, width() - 4, height() - top - 4);
}

void TabControl::resizeEvent(QResizeEvent*) {
    bar_->setGeometry(0, 0, width(), bar_->sizeHint().height());
}

void TabControl::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const int top = bar_->sizeHint().height();
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawRect(QRect(0, top, width() - 1, height() - top - 1));
}

bool TabControl::eventFilter(QObject* watched, QEvent* event) {
    if (watched == bar_ && event->type() == QEvent::MouseButtonPress) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::RightButton) {
            emit contextRequested(mouse->position().toPoint(), mouse->globalPosition().toPoint());
            return true;  // the selected tab does not change on a right click
        }
    }
    if (watched == bar_ && event->type() == QEvent::KeyPress) {
        // The menu key and Shift+F10 open the menu of the selected tab, as a right click on it.
        auto* key = static_cast<QKeyEvent*>(event);
        const bool menuKey = key->key() == Qt::Key_Menu ||
                             (key->key() == Qt::Key_F10 && key->modifiers() == Qt::ShiftModifier);
        if (menuKey && bar_->currentIndex() >= 0) {
            const QPoint at = bar_->tabRect(bar_->currentIndex()).center();
            emit contextRequested(at, bar_->mapToGlobal(at));
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace lapdex::ui
