// The status dialogs: touch prompt, download finished, cleared, no data, communication
// error, registry full. They hold only their texts and icons; the main window opens and
// closes them.
#pragma once

#include <vector>

#include "personal_bests.h"
#include "template_dialog.h"

class QLabel;

namespace lapdex::ui {

class CTouchDlg : public TemplateDialog {
    Q_OBJECT
  public:
    explicit CTouchDlg(QWidget* owner, Language language = texts::currentLanguage())
        : TemplateDialog(QStringLiteral("touch"), owner, language) {}
};

// Download finished. Below the template's text it names the personal bests that the download's
// runs set, when they set any; the template's controls stay as they are.
class CReadEndDlg : public TemplateDialog {
    Q_OBJECT
  public:
    explicit CReadEndDlg(QWidget* owner, Language language = texts::currentLanguage());

    // The bests of this download; none hides the line and gives the dialog its template size.
    void showBests(std::vector<BestSet> bests);
    // The line naming the bests (hidden while there are none).
    QLabel* bestsLabel() const { return bests_; }

  protected:
    void retranslated() override;

  private:
    void applyBests();

    QSize templateSize_;
    QLabel* bests_;
    std::vector<BestSet> shown_;
};

class CClearEndDlg : public TemplateDialog {
    Q_OBJECT
  public:
    explicit CClearEndDlg(QWidget* owner, Language language = texts::currentLanguage())
        : TemplateDialog(QStringLiteral("clear_end"), owner, language) {}
};

class CNoDataDlg : public TemplateDialog {
    Q_OBJECT
  public:
    explicit CNoDataDlg(QWidget* owner, Language language = texts::currentLanguage())
        : TemplateDialog(QStringLiteral("no_data"), owner, language) {}
};

class CTransErrDlg : public TemplateDialog {
    Q_OBJECT
  public:
    explicit CTransErrDlg(QWidget* owner, Language language = texts::currentLanguage())
        : TemplateDialog(QStringLiteral("trans_err"), owner, language) {}
};

class CUserFullDlg : public TemplateDialog {
    Q_OBJECT
  public:
    explicit CUserFullDlg(QWidget* owner, Language language = texts::currentLanguage())
        : TemplateDialog(QStringLiteral("user_full"), owner, language) {}
};

class CAboutBox : public TemplateDialog {
    Q_OBJECT
  public:
    // The label that names the data folder.
    static constexpr int kDataFolderLabel = 1101;

    explicit CAboutBox(QWidget* owner, Language language = texts::currentLanguage())
        : TemplateDialog(QStringLiteral("about_box"), owner, language), language_(language) {
        showVersion();
    }

    // The project's version as its first line shows it: "1.0" for 1.0.0, else all three numbers.
    static QString versionText();

    // Shows where the program keeps its data: shortened in the middle to fit the line, whole
    // in the tool tip.
    void setDataFolder(const QString& folder);

  protected:
    void retranslated() override {
        language_ = texts::currentLanguage();
        showVersion();
        if (!folder_.isNull()) setDataFolder(folder_);
    }

  private:
    void showVersion();

    Language language_;
    QString folder_;
};

// The transfer progress: modeless, created once and only shown and hidden; the user
// cannot close it (no close box, Escape and Enter do nothing).
class CDownloadDlg : public TemplateDialog {
    Q_OBJECT
  public:
    explicit CDownloadDlg(QWidget* owner, Language language = texts::currentLanguage());

    // Range 0 … max(1, transferLength / 192), position 0.
    void startTransfer(int transferLength);
    // One tick: the position grows by one and stays at the maximum once reached.
    void advance();
    int position() const;
    int maximum() const;

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
};

}  // namespace lapdex::ui
