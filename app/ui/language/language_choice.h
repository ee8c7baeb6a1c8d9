// Which language the program shows: `--lang ja|en` for one start, else the choice remembered
// from the Language menu, else the system's (Japanese where it is Japanese, English elsewhere).
#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

#include "bilingual_text.h"

namespace lapdex::ui {

using texts::Language;

// The system's language as the C library and Qt read it: LC_ALL, then LC_MESSAGES, then LANG;
// the first one set decides. `getenv` stands in for the environment.
Language systemLanguage(const std::function<QString(const char*)>& getenv);
Language systemLanguage();

struct LanguageArgument {
    std::optional<Language> language;  // --lang given and valid
    QString error;                     // --lang given with a missing or unknown value
};

// Reads `--lang ja|en` or `--lang=ja|en` from the program's arguments.
LanguageArgument languageArgument(const QStringList& arguments);

// The choice made in the Language menu, kept for the user in Qt's settings (not Lapdex.dat,
// which is data other programs read).
std::optional<Language> rememberedLanguage();
void rememberLanguage(Language language);

Language chooseLanguage(std::optional<Language> argument, std::optional<Language> remembered,
                        Language system);

QString languageCode(Language language);
std::optional<Language> languageFromCode(const QString& code);

}  // namespace lapdex::ui
