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

// What a change of language moves: every control to the other set's place (and the parent to
// its size), or only the controls that show a fixed text (windows that place lists and
// pictures themselves and fill labels that have an id with values).
enum class Placement { Everything, TextControls };

// Gives controls built from a template the texts and places of `t`, the same template in
// another language: the sets hold the same controls in the same order.
void retranslateControls(const DialogTemplate& t, const ControlSet& set, QWidget* parent,
                         const DialogUnits& units, Placement placement);

}  // namespace lapdex::ui
