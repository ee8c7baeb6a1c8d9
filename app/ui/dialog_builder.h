// Turns a dialog template into widgets placed by dialog units.
#pragma once

#include <QWidget>
#include <map>
#include <vector>

#include "dialog_template.h"
#include "dialog_units.h"

namespace lapdex::ui {

// The widgets of one built template. Owned by their parent widget.
class ControlSet {
public:
    QWidget* control(int id) const;
    template <typename T>
    T* as(int id) const { return qobject_cast<T*>(control(id)); }
    // Every widget in template order, with and without ids.
    const std::vector<QWidget*>& all() const { return all_; }
    void add(int id, QWidget* widget);

private:
    std::map<int, QWidget*> byId_;
    std::vector<QWidget*> all_;
};

// Creates the template's controls as children of `parent` at their pixel rectangles and
// gives `parent` the template's client size. Widgets are named "ctl<id>" (or "static<n>"
// for controls without an id) and carry the property "controlId".
ControlSet buildControls(const DialogTemplate& t, QWidget* parent, const DialogUnits& units);

}  // namespace lapdex::ui
