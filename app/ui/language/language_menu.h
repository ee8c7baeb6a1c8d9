// The Language menu of the main window: 日本語 or English, applied at once and remembered.
#pragma once

#include <QObject>

#include "language_switch.h"

class QAction;
class QMenu;
class QMenuBar;

namespace lapdex::ui {

class LanguageMenu : public QObject {
    Q_OBJECT
public:
    // Adds the menu to `bar`; `languages` must outlive the menu.
    LanguageMenu(QMenuBar& bar, LanguageSwitch& languages);

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
