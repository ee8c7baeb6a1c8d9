// The Settings menu and its club folders dialog.
#include "club_menu.h"

#include <QEvent>
#include <QMenu>
#include <QMenuBar>

#include "club_folders_dlg.h"
#include "club_texts.h"

namespace lapdex::ui {

ClubMenu::ClubMenu(QWidget& window, QMenuBar& bar, ClubLink& link)
    : QObject(&window), window_(window), bar_(bar), link_(link) {
    menu_ = bar.addMenu(QString());
    clubFolders_ = menu_->addAction(QString());
    connect(clubFolders_, &QAction::triggered, this, &ClubMenu::showClubFolders);
    applyTexts();
}

void ClubMenu::showClubFolders() {
    if (!dialog_) {
        dialog_ = new ClubFoldersDlg(link_, &window_);
        dialog_->setAttribute(Qt::WA_DeleteOnClose);
        dialog_->setWindowModality(Qt::WindowModal);
    }
    dialog_->show();
    dialog_->raise();
    dialog_->activateWindow();
}

bool ClubMenu::event(QEvent* event) {
    // The window forwards the language change to its children, this menu among them.
    if (event->type() == QEvent::LanguageChange) applyTexts();
    return QObject::event(event);
}

void ClubMenu::applyTexts() {
    menu_->setTitle(localized(club_text::kSettingsMenu));
    clubFolders_->setText(localized(club_text::kClubFoldersAction));
    bar_.adjustSize();
}

}  // namespace lapdex::ui
