// The page's keyboard filter, the lap list's focus rule, the memo box's clicks and the tool tips.
#include <QHelpEvent>
#include <QKeyEvent>
#include <QListWidget>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QToolTip>
#include <QTreeWidget>

#include "c_user_dialog.h"
#include "month_calendar.h"
#include "page_texts.h"

namespace lapdex::ui {

void CUserDialog::installFilters() {
    for (QObject* watched :
         std::initializer_list<QObject*>{calendar_, runList_, allData_, delete_, lapList_,
                                         lapList_->viewport(), memoBox_, memoBox_->viewport()})
        watched->installEventFilter(this);
}

QString CUserDialog::toolTipAt(const QWidget* viewport, QPoint position) const {
    if (viewport == memoBox_->viewport())
        return content_.runLoaded ? ui::localized(page_text::kRunMemoToolTip) : QString();
    if (viewport == lapList_->viewport()) {
        // Only over a row's memo column.
        const QModelIndex index = lapList_->indexAt(position);
        return index.isValid() && index.column() == 3 ? ui::localized(page_text::kMemoToolTip)
                                                      : QString();
    }
    return {};
}

bool CUserDialog::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::KeyPress:
            return filterKey(watched, static_cast<QKeyEvent*>(event));
        case QEvent::FocusIn:
            if (watched == lapList_ && lapList_->topLevelItemCount() > 0 &&
                !lapList_->currentIndex().isValid()) {
                lapList_->setCurrentItem(lapList_->topLevelItem(0));
                lapList_->topLevelItem(0)->setSelected(true);
            }
            return false;
        case QEvent::ToolTip: {
            const auto* help = static_cast<QHelpEvent*>(event);
            const QString tip = toolTipAt(qobject_cast<QWidget*>(watched), help->pos());
            if (watched != lapList_->viewport() && watched != memoBox_->viewport()) return false;
            if (tip.isEmpty())
                QToolTip::hideText();
            else
                QToolTip::showText(help->globalPos(), tip, static_cast<QWidget*>(watched));
            return true;
        }
        default:
            return filterMouse(watched, event);
    }
}

bool CUserDialog::filterKey(QObject* watched, QKeyEvent* event) {
    const int key = event->key();
    const bool onButton = watched == allData_ || watched == delete_;
    const bool enter = key == Qt::Key_Return || key == Qt::Key_Enter;
    if (event->modifiers() == Qt::NoModifier || event->modifiers() == Qt::KeypadModifier) {
        // The memo of the selected lap and the run's memo are edited from the keyboard too.
        if (watched == lapList_ && (enter || key == Qt::Key_F2)) {
            editLapMemo(lapList_->currentIndex().row());
            return true;
        }
        if (watched == memoBox_ && (enter || key == Qt::Key_F2 || key == Qt::Key_Space)) {
            editRunMemo();
            return true;
        }
    }
    if (enter) {
        // Enter runs a focused button's action; elsewhere it presses nothing.
        if (watched == allData_)
            openAllData();
        else if (watched == delete_)
            deleteSelectedRun();
        return true;
    }
    if (key == Qt::Key_Escape) return true;
    const bool arrow =
        key == Qt::Key_Left || key == Qt::Key_Right || key == Qt::Key_Up || key == Qt::Key_Down;
    return onButton && arrow;
}

bool CUserDialog::filterMouse(QObject* watched, QEvent* event) {
    if (watched == lapList_->viewport() && event->type() == QEvent::MouseButtonDblClick) {
        // Only a row's memo column edits; elsewhere, below the rows included, nothing happens.
        const QModelIndex index =
            lapList_->indexAt(static_cast<QMouseEvent*>(event)->position().toPoint());
        if (!index.isValid() || index.column() != 3) return false;
        editLapMemo(index.row());
        return true;
    }
    if (watched != memoBox_->viewport()) return false;
    // One click opens the editor (a double click's second click finds it open already).
    const bool leftRelease = event->type() == QEvent::MouseButtonRelease &&
                             static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton;
    if (leftRelease) {
        memoBox_->setFocus(Qt::MouseFocusReason);
        if (content_.runLoaded) editRunMemo();
        return true;
    }
    return event->type() == QEvent::MouseButtonDblClick;
}

}  // namespace lapdex::ui
