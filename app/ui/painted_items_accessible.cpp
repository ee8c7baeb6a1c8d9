// The children of a widget that paints its own items, as screen readers see them.
#include "painted_items_accessible.h"

#include <QPointer>
#include <QWidget>
#include <QWindow>

namespace lapdex::ui {
namespace {

class PaintedItem : public QAccessibleInterface {
  public:
    PaintedItem(QWidget* widget, int index) : widget_(widget), index_(index) {}

    int index() const { return index_; }
    bool isValid() const override {
        const PaintedItemsAccessible* items = owner();
        return items && index_ < items->itemCount();
    }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override {
        return widget_ ? widget_->window()->windowHandle() : nullptr;
    }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* parent() const override { return owner(); }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    void setText(QAccessible::Text, const QString&) override {}
    QAccessible::Role role() const override {
        const PaintedItemsAccessible* items = owner();
        return items ? items->itemRole() : QAccessible::NoRole;
    }

    QString text(QAccessible::Text t) const override {
        if (!isValid()) return {};
        if (t == QAccessible::Name) return owner()->itemName(index_);
        if (t == QAccessible::Description) return owner()->itemDescription(index_);
        return {};
    }

    QRect rect() const override {
        if (!isValid()) return {};
        const QRect local = owner()->itemRect(index_);
        return QRect(widget_->mapToGlobal(local.topLeft()), local.size());
    }

    QAccessible::State state() const override {
        QAccessible::State state;
        if (!isValid()) {
            state.invalid = true;
            return state;
        }
        const PaintedItemsAccessible* items = owner();
        state.selectable = true;
        state.focusable = true;
        state.selected = items->itemSelected(index_);
        state.focused = state.selected && widget_->hasFocus();
        state.disabled = !items->itemEnabled(index_);
        state.invisible = !widget_->isVisible();
        return state;
    }

  private:
    PaintedItemsAccessible* owner() const {
        if (!widget_) return nullptr;
        return dynamic_cast<PaintedItemsAccessible*>(
            QAccessible::queryAccessibleInterface(widget_));
    }

    QPointer<QWidget> widget_;
    int index_;
};

}  // namespace

PaintedItemsAccessible::PaintedItemsAccessible(QWidget* widget, QAccessible::Role role,
                                               QAccessible::Role itemRole)
    : QAccessibleWidget(widget, role), itemRole_(itemRole) {}

PaintedItemsAccessible::~PaintedItemsAccessible() {
    for (QAccessible::Id id : ids_)
        if (id != 0) QAccessible::deleteAccessibleInterface(id);
}

QAccessibleInterface* PaintedItemsAccessible::child(int index) const {
    if (index < 0 || index >= itemCount()) return nullptr;
    if (static_cast<std::size_t>(index) >= ids_.size()) ids_.resize(index + 1, 0);
    QAccessible::Id& id = ids_[static_cast<std::size_t>(index)];
    if (id == 0) id = QAccessible::registerAccessibleInterface(new PaintedItem(widget(), index));
    return QAccessible::accessibleInterface(id);
}

int PaintedItemsAccessible::indexOfChild(const QAccessibleInterface* child) const {
    const auto* item = dynamic_cast<const PaintedItem*>(child);
    return item && item->isValid() && item->parent() == this ? item->index() : -1;
}

QAccessibleInterface* PaintedItemsAccessible::childAt(int x, int y) const {
    const QPoint local = widget()->mapFromGlobal(QPoint(x, y));
    for (int i = 0; i < itemCount(); ++i)
        if (itemRect(i).contains(local)) return child(i);
    return nullptr;
}

QAccessibleInterface* PaintedItemsAccessible::focusChild() const {
    if (!widget()->hasFocus()) return nullptr;
    for (int i = 0; i < itemCount(); ++i)
        if (itemSelected(i)) return child(i);
    return nullptr;
}

void announceSelectedItem(QWidget* widget, int index) {
    if (!QAccessible::isActive() || index < 0) return;
    QAccessibleEvent selection(widget, QAccessible::Selection);
    selection.setChild(index);
    QAccessible::updateAccessibility(&selection);
    if (!widget->hasFocus()) return;
    QAccessibleEvent focus(widget, QAccessible::Focus);
    focus.setChild(index);
    QAccessible::updateAccessibility(&focus);
}

void announceItemsChanged(QWidget* widget) {
    if (!QAccessible::isActive()) return;
    QAccessibleEvent reorder(widget, QAccessible::ObjectReorder);
    QAccessible::updateAccessibility(&reorder);
}

}  // namespace lapdex::ui
