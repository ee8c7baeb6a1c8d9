// The message boxes, folder browser and document opener the window uses; the program's
// implementation uses Qt's, tests script them.
#pragma once

#include <QString>
#include <QWidget>
#include <optional>

namespace lapdex::ui {

inline const QString kBoxTitle = QStringLiteral("K7X Stopwatch");

class Desktop {
public:
    virtual ~Desktop() = default;
    virtual bool askYesNo(QWidget* owner, const QString& text) = 0;     // information icon
    virtual bool askOkCancel(QWidget* owner, const QString& text) = 0;  // information icon
    virtual void showNotice(QWidget* owner, const QString& text) = 0;   // OK, information icon
    virtual void showError(QWidget* owner, const QString& text) = 0;    // OK, error icon
    // Like showError, but returns at once (for notifications, which must not nest loops).
    virtual void showErrorLater(QWidget* owner, const QString& text) = 0;
    virtual std::optional<QString> browseFolder(QWidget* owner, const QString& title, bool newFolderButton) = 0;
    // Asks the desktop to open a document or folder; failures are not reported.
    virtual void openDocument(const QString& path) = 0;
    // Path of a file shipped with the program (the manual): in the program's folder.
    virtual QString programFile(const QString& name) const = 0;
};

class QtDesktop : public Desktop {
public:
    bool askYesNo(QWidget* owner, const QString& text) override;
    bool askOkCancel(QWidget* owner, const QString& text) override;
    void showNotice(QWidget* owner, const QString& text) override;
    void showError(QWidget* owner, const QString& text) override;
    void showErrorLater(QWidget* owner, const QString& text) override;
    std::optional<QString> browseFolder(QWidget* owner, const QString& title, bool newFolderButton) override;
    void openDocument(const QString& path) override;
    // Beside the executable; an installed program keeps it in <prefix>/share/doc/lapdex/.
    QString programFile(const QString& name) const override;
};

}  // namespace lapdex::ui
