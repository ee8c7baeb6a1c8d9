// Dialog templates as data: the controls of one window in one language set.
#pragma once

#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>
#include <vector>

#include "bilingual_text.h"

namespace lapdex::ui {

using texts::Language;

// Control id of a control that has none (labels, group boxes, static pictures).
inline constexpr int kNoControlId = -1;

// The shares of a window's extra room (beyond the template's size) by which a control moves
// (x, y) and grows (width, height); all zero for a control that stays where the template puts it.
struct GrowShare {
    double x = 0, y = 0, width = 0, height = 0;
    bool none() const { return x == 0 && y == 0 && width == 0 && height == 0; }
};

struct ControlSpec {
    int id = kNoControlId;
    QString kind;       // label, button, checkbox, edit, tab, picture, icon, progress,
                        // group, list, listview, calendar
    QString text;       // for a picture: its resource number; for an icon: its kind
    QString name;       // what a screen reader calls a control that shows no text of its own
    QStringList style;  // tabstop, default, centre, right, multiline, readonly, vscroll, ...
    QRect rect;         // dialog units
    GrowShare grow;     // "grow": [x, y, width, height], optional
    bool hasStyle(const QString& s) const { return style.contains(s); }
};

struct MenuItemSpec {
    int id = 0;
    QString text;
};

struct DialogTemplate {
    QString name;
    int resource = 0;
    QString title;
    QSize size;  // client area in dialog units
    bool child = false;
    bool noClose = false;
    std::vector<ControlSpec> controls;
    std::vector<MenuItemSpec> menuBar;
    std::vector<MenuItemSpec> contextMenu;

    const ControlSpec* find(int id) const;
};

// Loads the template `name` (the file name without ".json" under the templates resource)
// in the given language. An unknown name or a malformed file gives an empty template
// whose name is empty; the files are compiled in, so that is a build fault.
DialogTemplate loadTemplate(const QString& name, Language language = texts::currentLanguage());

}  // namespace lapdex::ui
