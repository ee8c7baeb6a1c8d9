// The main window's Settings menu: the club folders dialog.
#pragma once

#include <QObject>
#include <QPointer>

#include "club_folders_dlg.h"

class QAction;
class QMenu;
class QMenuBar;
class QWidget;

namespace lapdex::ui {

class ClubLink;

class ClubMenu : public QObject {
    Q_OBJECT
  public:
    // Adds the menu at the end of `bar`. `window` (the menu bar's window, whose language changes
    // reach this menu as its child) and `link` must outlive the menu.
    ClubMenu(QWidget& window, QMenuBar& bar, ClubLink& link);

    // Opens the club folders dialog over the window (window-modal; it saves on OK).
    void showClubFolders();

    QMenu* menu() const { return menu_; }
    QAction* clubFoldersAction() const { return clubFolders_; }
    // The dialog while it is open, else null.
    ClubFoldersDlg* dialog() const { return dialog_; }

  protected:
    bool event(QEvent* event) override;

  private:
    void applyTexts();

    QWidget& window_;
    QMenuBar& bar_;
    ClubLink& link_;
    QMenu* menu_ = nullptr;
    QAction* clubFolders_ = nullptr;
    QPointer<ClubFoldersDlg> dialog_;
};

}  // namespace lapdex::ui
