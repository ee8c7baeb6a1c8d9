// Screen reader support for a widget that paints its own items (a calendar's days, a chart's
// bars): the widget is a parent with one child per item, since no child widget exists for them.
#pragma once

#include <QAccessibleWidget>
#include <vector>

namespace lapdex::ui {

// Subclasses say what the items are now; an item is known by its index, valid while it is below
// itemCount(). Child interfaces are made on first use and live as long as this interface (that
// is, as long as the widget).
class PaintedItemsAccessible : public QAccessibleWidget {
  public:
    PaintedItemsAccessible(QWidget* widget, QAccessible::Role role, QAccessible::Role itemRole);
    ~PaintedItemsAccessible() override;

    virtual int itemCount() const = 0;
    virtual QString itemName(int index) const = 0;
    virtual QString itemDescription(int index) const = 0;
    // In widget coordinates.
    virtual QRect itemRect(int index) const = 0;
    virtual bool itemSelected(int index) const = 0;
    virtual bool itemEnabled(int index) const { return index >= 0; }
    QAccessible::Role itemRole() const { return itemRole_; }

    int childCount() const override { return itemCount(); }
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* childAt(int x, int y) const override;
    QAccessibleInterface* focusChild() const override;

  private:
    QAccessible::Role itemRole_;
    mutable std::vector<QAccessible::Id> ids_;
};

// Tells screen readers that item `index` of `widget` is now the selected one (and has the focus
// when the widget has it). Costs nothing while no screen reader listens.
void announceSelectedItem(QWidget* widget, int index);
// Tells screen readers that `widget`'s items changed (other months, other bars).
void announceItemsChanged(QWidget* widget);

}  // namespace lapdex::ui
