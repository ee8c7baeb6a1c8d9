// The edit dialogs: stopwatch name, lap memo and run memo. Each edits one text value
// with a length limit and cleans it on OK.
#pragma once

#include <functional>

#include "template_dialog.h"
#include "text_cleaning.h"

class QLineEdit;
class QPlainTextEdit;

namespace lapdex::ui {

class EditDialog : public TemplateDialog {
    Q_OBJECT
  public:
    static constexpr int kEditField = 1014;

    // The edited text: set before opening, read after OK. Cancel leaves it untouched.
    QString text;

    int limit() const { return limit_; }
    // What the field currently holds.
    QString fieldText() const;
    // Shows the "too long" notice; replaceable so tests need no message box.
    std::function<void(const QString&)> showLimitNotice;

  public slots:
    void accept() override;

  protected:
    EditDialog(const QString& templateName, QWidget* owner, Language language, int limit,
               LineBreaks lineBreaks);
    void showEvent(QShowEvent* event) override;
    void setFieldText(const QString& value);

    bool settingField_ = false;  // the program, not the user, is filling the field

  private:
    int limit_;
    LineBreaks lineBreaks_;
};

class CUserIdEdit : public EditDialog {
    Q_OBJECT
  public:
    explicit CUserIdEdit(QWidget* owner, Language language = texts::currentLanguage())
        : EditDialog(QStringLiteral("user_id_edit"), owner, language, 20, LineBreaks::Keep) {}
};

class CLapMemo : public EditDialog {
    Q_OBJECT
  public:
    explicit CLapMemo(QWidget* owner, Language language = texts::currentLanguage())
        : EditDialog(QStringLiteral("lap_memo"), owner, language, 20, LineBreaks::Keep) {}
};

// The run memo: multi-line field of 200 characters; Enter presses OK, Ctrl+Enter is
// swallowed, Ctrl+A selects the whole text. Text pasted with line breaks or beyond the limit is
// neither cut nor joined without the user's consent: asked, the user keeps the change trimmed
// or gets the text back as it was before.
class CRunMemo : public EditDialog {
    Q_OBJECT
  public:
    explicit CRunMemo(QWidget* owner, Language language = texts::currentLanguage());

    // Asks a yes/no question over the dialog; replaceable, though tests answer the real box.
    std::function<bool(const QString&)> askYesNo;

  protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void fieldChanged();
    void checkField();
    void putBack();
    void cutOverLimit(const QString& text, int caret);

    QString before_;  // the field's last text that a memo can hold
    int beforeCaret_ = 0;
    bool checkQueued_ = false;
};

}  // namespace lapdex::ui
