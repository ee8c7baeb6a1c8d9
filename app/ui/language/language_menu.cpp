#include "language_menu.h"

#include <QActionGroup>
#include <QEvent>
#include <QMenu>
#include <QMenuBar>

#include "language_choice.h"
#include "language_texts.h"
#include "ui_text.h"

namespace lapdex::ui {

LanguageMenu::LanguageMenu(QMenuBar& bar, LanguageSwitch& languages)
    : QObject(&bar), languages_(languages) {
    menu_ = bar.addMenu(QString());
    auto* group = new QActionGroup(menu_);
    japanese_ = menu_->addAction(QString());
    english_ = menu_->addAction(QString());
    for (QAction* action : {japanese_, english_}) {
        action->setCheckable(true);
        group->addAction(action);
    }
    connect(japanese_, &QAction::triggered, this, [this] { choose(Language::Japanese); });
    connect(english_, &QAction::triggered, this, [this] { choose(Language::English); });
    // The menu hears of a change however it came (this menu, --lang, a test).
    menu_->installEventFilter(this);
    retranslate();
    bar.adjustSize();
}

void LanguageMenu::choose(Language language) {
    rememberLanguage(language);
    if (language != languages_.shown()) languages_.apply(language);
    showChecked();
}

void LanguageMenu::retranslate() {
    menu_->setTitle(localized(language_text::kMenu));
    japanese_->setText(localized(language_text::kJapanese));
    english_->setText(localized(language_text::kEnglish));
    showChecked();
}

void LanguageMenu::showChecked() {
    japanese_->setChecked(languages_.shown() == Language::Japanese);
    english_->setChecked(languages_.shown() == Language::English);
}

bool LanguageMenu::eventFilter(QObject* watched, QEvent* event) {
    if (watched == menu_ && event->type() == QEvent::LanguageChange) retranslate();
    return QObject::eventFilter(watched, event);
}

}  // namespace lapdex::ui
