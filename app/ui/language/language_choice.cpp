#include "language_choice.h"

#include <QSettings>
#include <cstdlib>

namespace lapdex::ui {

namespace {
const QString kOrganisation = QStringLiteral("Lapdex");
const QString kApplication = QStringLiteral("Lapdex");
const QString kSettingsKey = QStringLiteral("language");
}

QString languageCode(Language language) {
    return language == Language::Japanese ? QStringLiteral("ja") : QStringLiteral("en");
}

std::optional<Language> languageFromCode(const QString& code) {
    if (code == QLatin1String("ja")) return Language::Japanese;
    if (code == QLatin1String("en")) return Language::English;
    return std::nullopt;
}

Language systemLanguage(const std::function<QString(const char*)>& getenv) {
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const QString value = getenv(name);
        if (value.isEmpty()) continue;
        // ja, ja_JP, ja_JP.UTF-8, ja_JP.eucJP@...: the language part decides.
        const QString language = value.section(QLatin1Char('.'), 0, 0).section(QLatin1Char('@'), 0, 0);
        return language == QLatin1String("ja") || language.startsWith(QLatin1String("ja_"))
                   ? Language::Japanese
                   : Language::English;
    }
    return Language::English;
}

Language systemLanguage() {
    return systemLanguage([](const char* name) { return QString::fromLocal8Bit(std::getenv(name)); });
}

LanguageArgument languageArgument(const QStringList& arguments) {
    LanguageArgument result;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        QString value;
        if (arguments[i] == QLatin1String("--lang")) {
            if (i + 1 >= arguments.size()) {
                result.error = QStringLiteral("--lang needs a language: ja or en");
                return result;
            }
            value = arguments[++i];
        } else if (arguments[i].startsWith(QLatin1String("--lang="))) {
            value = arguments[i].mid(7);
        } else {
            continue;
        }
        result.language = languageFromCode(value);
        if (!result.language) {
            result.error = QStringLiteral("--lang takes ja or en, not '%1'").arg(value);
            return result;
        }
    }
    return result;
}

std::optional<Language> rememberedLanguage() {
    const QSettings settings(kOrganisation, kApplication);
    return languageFromCode(settings.value(kSettingsKey).toString());
}

void rememberLanguage(Language language) {
    QSettings settings(kOrganisation, kApplication);
    settings.setValue(kSettingsKey, languageCode(language));
    settings.sync();
}

Language chooseLanguage(std::optional<Language> argument, std::optional<Language> remembered,
                        Language system) {
    if (argument) return *argument;
    if (remembered) return *remembered;
    return system;
}

}  // namespace lapdex::ui
