// The page in another language: the template's labels and buttons take the other set's texts
// and places; the lists, the memo box and the calendar keep theirs, the stars get their tool tips
// again.
#include <QEvent>

#include "c_user_dialog.h"

namespace lapdex::ui {

void CUserDialog::changeEvent(QEvent* event) {
    StopwatchPage::changeEvent(event);
    if (event->type() != QEvent::LanguageChange || !runList_) return;
    const DialogTemplate page = loadTemplate(QStringLiteral("page"), texts::currentLanguage());
    if (page.name.isEmpty()) return;
    stretch_.removeExtra();
    retranslateControls(page, controls_, this, DialogUnits(font()), Placement::TextControls);
    stretch_.placeAgain();
    markBestRuns();  // the stars' tool tips
}

}  // namespace lapdex::ui
