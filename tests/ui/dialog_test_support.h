// Helpers for the widget tests: finding a template dialog's static text.
#pragma once

#include <QLabel>
#include <QStringList>

#include "template_dialog.h"

namespace lapdex::ui::test {

// The texts of the dialog's labels without a control id, in template order.
inline QStringList staticTexts(const TemplateDialog& dialog) {
    QStringList texts;
    for (QWidget* w : dialog.controls().all()) {
        auto* label = qobject_cast<QLabel*>(w);
        if (label && label->property("controlId").toInt() == kNoControlId && label->pixmap().isNull())
            texts << label->text();
    }
    return texts;
}

}  // namespace lapdex::ui::test
