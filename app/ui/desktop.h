// The message boxes, folder browser and document opener the window uses; the program's
// implementation uses Qt's, tests script them.
#pragma once

#include <QString>
#include <QWidget>
#include <functional>
#include <optional>

namespace lapdex::ui {

inline const QString kBoxTitle = QStringLiteral("K7X Stopwatch");

// The button that Enter presses in a Yes/No question.
enum class DefaultAnswer { Yes, No };

class Desktop {
  public:
    virtual ~Desktop() = default;
    // Information icon; true for Yes.
    virtual bool askYesNo(QWidget* owner, const QString& text,
                          DefaultAnswer answer = DefaultAnswer::Yes) = 0;
    virtual bool askOkCancel(QWidget* owner, const QString& text) = 0;  // information icon
    virtual void showNotice(QWidget* owner, const QString& text) = 0;   // OK, information icon
    virtual void showError(QWidget* owner, const QString& text) = 0;    // OK, error icon
    // Like showError, but returns at once (for notifications, which must not nest loops);
    // `closed` runs when the user has closed the box.
    virtual void showErrorLater(QWidget* owner, const QString& text,
                                std::function<void()> closed = {}) = 0;
    virtual std::optional<QString> browseFolder(QWidget* owner, const QString& title,
                                                bool newFolderButton) = 0;
    // A notice about files written into `folder`, with a button that opens the folder. Without
    // one of its own a desktop shows the plain notice.
    virtual void showNoticeWithFolder(QWidget* owner, const QString& text, const QString& folder) {
        (void)folder;
        showNotice(owner, text);
    }
    // Asks the desktop to open a document or folder; false when nothing could open it.
    virtual bool openDocument(const QString& path) = 0;
    // Path of a file shipped with the program (the manual): in the program's folder.
    virtual QString programFile(const QString& name) const = 0;
    // Moves a file or folder to the desktop's trash, from which the user can put it back; false
    // when no trash takes it (then it is left where it was).
    virtual bool moveToTrash(const QString& path) = 0;
};

class QtDesktop : public Desktop {
  public:
    bool askYesNo(QWidget* owner, const QString& text,
                  DefaultAnswer answer = DefaultAnswer::Yes) override;
    bool askOkCancel(QWidget* owner, const QString& text) override;
    void showNotice(QWidget* owner, const QString& text) override;
    void showError(QWidget* owner, const QString& text) override;
    void showErrorLater(QWidget* owner, const QString& text,
                        std::function<void()> closed = {}) override;
    // Qt's own chooser, starting in the folder last chosen (remembered in QSettings) or else in
    // the user's documents folder or home, with no name typed in.
    std::optional<QString> browseFolder(QWidget* owner, const QString& title,
                                        bool newFolderButton) override;
    void showNoticeWithFolder(QWidget* owner, const QString& text, const QString& folder) override;
    bool openDocument(const QString& path) override;
    // Beside the executable; an installed program keeps it in <prefix>/share/doc/lapdex/.
    QString programFile(const QString& name) const override;
    // The freedesktop.org trash: the home trash ($XDG_DATA_HOME/Trash), or the trash at the top of
    // another file system.
    bool moveToTrash(const QString& path) override;
};

}  // namespace lapdex::ui
