// Shows the program in another language at once: our texts, Qt's own dialogs and buttons,
// and every window already open.
#pragma once

#include <QObject>
#include <QTranslator>
#include <memory>

#include "bilingual_text.h"

namespace lapdex::ui {

using texts::Language;

class LanguageSwitch : public QObject {
    Q_OBJECT
public:
    explicit LanguageSwitch(QObject* parent = nullptr);

    // Sets the language shown and tells every window, which re-applies its texts.
    void apply(Language language);
    Language shown() const { return texts::currentLanguage(); }
    // True when Qt's own texts (file dialogs, standard buttons) follow the language shown.
    bool qtTextsFollow() const { return qtTextsFollow_; }

signals:
    void languageChanged(Language language);

private:
    std::unique_ptr<QTranslator> qtTexts_;
    bool qtTextsFollow_ = true;
};

}  // namespace lapdex::ui
