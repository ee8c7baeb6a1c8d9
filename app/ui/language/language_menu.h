// The Language submenu: 日本語 or English, applied at once and remembered.
#pragma once

#include <QObject>

#include "language_switch.h"

class QAction;
class QMenu;

namespace lapdex::ui {

class LanguageMenu : public QObject {
    Q_OBJECT
public:
    // Adds the submenu at the end of `parent`; `languages` must outlive it.
    LanguageMenu(QMenu& parent, LanguageSwitch& languages);

    QMenu* menu() const { return menu_; }
    QAction* japaneseAction() const { return japanese_; }
    QAction* englishAction() const { return english_; }

private:
    void choose(Language language);
    void retranslate();
    void showChecked();
    bool eventFilter(QObject* watched, QEvent* event) override;

    LanguageSwitch& languages_;
    QMenu* menu_ = nullptr;
    QAction* japanese_ = nullptr;
    QAction* english_ = nullptr;
};

}  // namespace lapdex::ui
