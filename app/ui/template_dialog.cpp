#include "template_dialog.h"

#include <QKeyEvent>
#include <QPushButton>

namespace lapdex::ui {

TemplateDialog::TemplateDialog(const QString& templateName, QWidget* owner, Language language)
    : QDialog(owner),
      templateName_(templateName),
      template_(loadTemplate(templateName, language)),
      units_(dialogFont()) {
    setFont(dialogFont());
    setWindowTitle(template_.title);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    controls_ = buildControls(template_, this, units_);
    // Buttons 1 and 2 are OK and Cancel wherever they appear.
    if (auto* ok = qobject_cast<QPushButton*>(control(kResultOk)))
        connect(ok, &QPushButton::clicked, this, &TemplateDialog::accept);
    if (auto* cancel = qobject_cast<QPushButton*>(control(kResultCancel)))
        connect(cancel, &QPushButton::clicked, this, &TemplateDialog::reject);
}

void TemplateDialog::centreOverOwner() {
    QWidget* owner = parentWidget();
    if (!owner) return;
    const QPoint centre = owner->mapToGlobal(owner->rect().center());
    move(centre - QPoint(width() / 2, height() / 2));
}

void TemplateDialog::showEvent(QShowEvent* event) {
    centreOverOwner();
    QDialog::showEvent(event);
}

void TemplateDialog::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() != QEvent::LanguageChange) return;
    DialogTemplate other = loadTemplate(templateName_, texts::currentLanguage());
    if (other.name.isEmpty()) return;
    template_ = std::move(other);
    setWindowTitle(template_.title);
    retranslateControls(template_, controls_, this, units_, Placement::Everything);
    retranslated();
}

void TemplateDialog::keyPressEvent(QKeyEvent* event) {
    // Enter presses the focused push button, else the default one, else acts as OK,
    // also where no OK button is shown.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        if (auto* focused = qobject_cast<QPushButton*>(focusWidget())) {
            focused->click();
            return;
        }
        for (QWidget* w : controls_.all()) {
            auto* button = qobject_cast<QPushButton*>(w);
            if (button && button->isDefault() && button->isEnabled()) {
                button->click();
                return;
            }
        }
        accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

}  // namespace lapdex::ui
