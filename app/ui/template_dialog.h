// Base of every dialog built from a template: results OK, Cancel and the dismissal 7,
// the standard dialog keys, centring over the owner.
#pragma once

#include <QDialog>

#include "dialog_builder.h"

namespace lapdex::ui {

// The results a dialog ends with, as the caller sees them.
enum DialogResult : int { kResultOk = 1, kResultCancel = 2, kResultDismissed = 7 };

class TemplateDialog : public QDialog {
    Q_OBJECT
public:
    TemplateDialog(const QString& templateName, QWidget* owner,
                   Language language = texts::currentLanguage());

    QWidget* control(int id) const { return controls_.control(id); }
    const ControlSet& controls() const { return controls_; }
    const DialogTemplate& dialogTemplate() const { return template_; }
    const DialogUnits& units() const { return units_; }

    // Ends the modal loop as if OK had been pressed (the owner's way to close it).
    void closeAsOk() { done(kResultOk); }
    // Ends the dialog with the dismissal result 7.
    void dismiss() { done(kResultDismissed); }
    void centreOverOwner();

public slots:
    void accept() override { done(kResultOk); }
    void reject() override { done(kResultCancel); }

protected:
    void showEvent(QShowEvent* event) override;
    // A change of language gives the dialog the other set's texts and layout, then calls
    // retranslated() for the texts a subclass sets itself.
    void changeEvent(QEvent* event) override;
    virtual void retranslated() {}
    void keyPressEvent(QKeyEvent* event) override;

private:
    QString templateName_;
    DialogTemplate template_;
    DialogUnits units_;
    ControlSet controls_;
};

}  // namespace lapdex::ui
