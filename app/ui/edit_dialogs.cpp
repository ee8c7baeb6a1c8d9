#include "edit_dialogs.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextCursor>

#include "dialog_texts.h"

namespace lapdex::ui {

EditDialog::EditDialog(const QString& templateName, QWidget* owner, Language language, int limit,
                       LineBreaks lineBreaks)
    : TemplateDialog(templateName, owner, language), limit_(limit), lineBreaks_(lineBreaks) {
    if (auto* line = qobject_cast<QLineEdit*>(control(kEditField))) line->setMaxLength(limit_);
    showLimitNotice = [this](const QString& message) {
        QMessageBox::warning(this, windowTitle(), message);
    };
}

QString EditDialog::fieldText() const {
    if (auto* line = qobject_cast<QLineEdit*>(control(kEditField))) return line->text();
    if (auto* multi = qobject_cast<QPlainTextEdit*>(control(kEditField))) return multi->toPlainText();
    return {};
}

void EditDialog::setFieldText(const QString& value) {
    if (auto* line = qobject_cast<QLineEdit*>(control(kEditField))) {
        // The limit applies to typing only; a longer value set by the program stays whole
        // so that OK can refuse it.
        line->setMaxLength(std::max(limit_, static_cast<int>(value.size())));
        line->setText(value);
    } else if (auto* multi = qobject_cast<QPlainTextEdit*>(control(kEditField))) {
        settingField_ = true;
        multi->setPlainText(value);
        settingField_ = false;
    }
}

void EditDialog::showEvent(QShowEvent* event) {
    TemplateDialog::showEvent(event);
    setFieldText(text);
    if (auto* line = qobject_cast<QLineEdit*>(control(kEditField))) {
        line->selectAll();
    } else if (auto* multi = qobject_cast<QPlainTextEdit*>(control(kEditField))) {
        multi->selectAll();
    }
    control(kEditField)->setFocus(Qt::OtherFocusReason);
}

void EditDialog::accept() {
    const QString cleaned = cleanEditedText(fieldText(), lineBreaks_);
    setFieldText(cleaned);
    const QString value = fieldText();
    if (value.size() > limit_) {
        showLimitNotice(ui::localized(dialog_text::kLengthLimit).arg(limit_));
        control(kEditField)->setFocus(Qt::OtherFocusReason);
        return;
    }
    text = value;
    TemplateDialog::accept();
}

CRunMemo::CRunMemo(QWidget* owner, Language language)
    : EditDialog(QStringLiteral("run_memo"), owner, language, 200, LineBreaks::Remove) {
    auto* field = qobject_cast<QPlainTextEdit*>(control(kEditField));
    field->installEventFilter(this);
    connect(field, &QPlainTextEdit::textChanged, this, &CRunMemo::enforceLimit);
}

void CRunMemo::enforceLimit() {
    // A multi-line field has no built-in limit: cut what typing or pasting adds beyond it,
    // keeping the caret where the input ended.
    auto* field = qobject_cast<QPlainTextEdit*>(control(kEditField));
    const QString current = field->toPlainText();
    if (current.size() <= limit() || settingField_) return;
    QTextCursor cursor = field->textCursor();
    const int excess = current.size() - limit();
    const int end = cursor.position();
    const int start = std::max(0, end - excess);
    cursor.setPosition(start);
    cursor.setPosition(std::min(end, start + excess), QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
    if (field->toPlainText().size() > limit()) {  // the caret was not after the excess
        QTextCursor tail(field->document());
        tail.setPosition(limit());
        tail.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
        tail.removeSelectedText();
    }
}

bool CRunMemo::eventFilter(QObject* watched, QEvent* event) {
    if (watched != control(kEditField) || event->type() != QEvent::KeyPress)
        return EditDialog::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    const bool ctrl = key->modifiers().testFlag(Qt::ControlModifier);
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
        if (!ctrl) accept();  // Enter presses OK; Ctrl+Enter does nothing at all
        return true;
    }
    if (ctrl && key->key() == Qt::Key_A) {
        auto* field = qobject_cast<QPlainTextEdit*>(control(kEditField));
        field->selectAll();
        field->ensureCursorVisible();
        field->setFocus(Qt::ShortcutFocusReason);
        return true;
    }
    return EditDialog::eventFilter(watched, event);
}

}  // namespace lapdex::ui
