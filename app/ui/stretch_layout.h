// Moves and stretches a window's controls from their places at its smallest size by their shares
// of the room the window has beyond it (the template's "grow" shares).
#pragma once

#include <QPointer>
#include <QRect>
#include <QSize>
#include <QWidget>
#include <vector>

#include "dialog_builder.h"
#include "dialog_template.h"

namespace lapdex::ui {

class StretchLayout {
  public:
    // `widget` is at its place for no extra room now; `share` says how it follows extra room.
    void add(QWidget* widget, const GrowShare& share);
    // Every control of `set` that the template `t` gives a share (the set built from `t`).
    void addTemplate(const DialogTemplate& t, const ControlSet& set);
    // Places every control for `extra` pixels beyond the smallest size (negative counts as 0).
    void apply(QSize extra);
    // Puts every control back at its smallest-size place; placeAgain() then records where each
    // one is as its new place (after a change of language placed some anew) and applies the extra
    // room again.
    void removeExtra() { apply(QSize(0, 0)); }
    void placeAgain();
    QSize extra() const { return extra_; }

  private:
    struct Item {
        QPointer<QWidget> widget;
        QRect base;
        GrowShare share;
    };
    std::vector<Item> items_;
    QSize extra_{0, 0};
};

}  // namespace lapdex::ui
