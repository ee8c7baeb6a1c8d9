#include "edit_dialogs.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextCursor>
#include <algorithm>

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
    if (auto* multi = qobject_cast<QPlainTextEdit*>(control(kEditField)))
        return multi->toPlainText();
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
    connect(field, &QPlainTextEdit::textChanged, this, &CRunMemo::fieldChanged);
    askYesNo = [this](const QString& question) {
        return QMessageBox::question(this, windowTitle(), question) == QMessageBox::Yes;
    };
}

void CRunMemo::showEvent(QShowEvent* event) {
    EditDialog::showEvent(event);
    before_ = fieldText();
    beforeCaret_ = static_cast<int>(before_.size());
}

void CRunMemo::fieldChanged() {
    if (settingField_ || checkQueued_) return;
    const QString now = fieldText();
    const bool breaks = now.contains(QChar(u'\n')) || now.contains(QChar(u'\r'));
    // A text that fits, or one the user is shortening (a long memo from the file), is kept.
    if (!breaks && (now.size() <= limit() || now.size() <= before_.size())) {
        before_ = now;
        beforeCaret_ = qobject_cast<QPlainTextEdit*>(control(kEditField))->textCursor().position();
        return;
    }
    auto* field = qobject_cast<QPlainTextEdit*>(control(kEditField));
    if (!breaks && now.size() == before_.size() + 1) {
        // One more key at the limit is refused, as a field with a length limit does.
        settingField_ = true;
        field->textCursor().deletePreviousChar();
        settingField_ = false;
        return;
    }
    // Asked once the paste has finished changing the field.
    checkQueued_ = true;
    QMetaObject::invokeMethod(this, &CRunMemo::checkField, Qt::QueuedConnection);
}

void CRunMemo::checkField() {
    checkQueued_ = false;
    if (!isVisible()) return;  // OK or Cancel came first; OK cleans the text itself
    QString now = fieldText();
    int caret = qobject_cast<QPlainTextEdit*>(control(kEditField))->textCursor().position();
    if (now.contains(QChar(u'\n')) || now.contains(QChar(u'\r'))) {
        if (!askYesNo(ui::localized(dialog_text::kDropLineBreaks))) return putBack();
        const QString head = now.left(caret);
        caret -= static_cast<int>(head.count(QChar(u'\n')) + head.count(QChar(u'\r')));
        now.remove(QChar(u'\r'));
        now.remove(QChar(u'\n'));
    }
    if (now.size() > limit() &&
        !askYesNo(ui::localized(dialog_text::kCutOverLimit).arg(limit()).arg(now.size() - limit())))
        return putBack();
    cutOverLimit(now, caret);
}

void CRunMemo::putBack() {
    auto* field = qobject_cast<QPlainTextEdit*>(control(kEditField));
    setFieldText(before_);
    QTextCursor cursor = field->textCursor();
    cursor.setPosition(std::min(beforeCaret_, static_cast<int>(before_.size())));
    field->setTextCursor(cursor);
}

void CRunMemo::cutOverLimit(const QString& text, int caret) {
    // What the paste added is cut at its end, where the caret stands; text after the caret stays.
    auto* field = qobject_cast<QPlainTextEdit*>(control(kEditField));
    caret = std::clamp(caret, 0, static_cast<int>(text.size()));
    const int excess = std::max(0, static_cast<int>(text.size()) - limit());
    const int start = std::max(0, caret - excess);
    QString kept = text.left(start) + text.mid(start + excess);
    kept.truncate(limit());
    setFieldText(kept);
    before_ = kept;
    beforeCaret_ = std::min(start, static_cast<int>(kept.size()));
    QTextCursor cursor = field->textCursor();
    cursor.setPosition(beforeCaret_);
    field->setTextCursor(cursor);
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
