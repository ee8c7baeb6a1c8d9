// The language of the picture programs: an optional argument after the folder, "ja" or "en",
// shows that set and gives every picture's name the suffix "_ja" or "_en".
#pragma once

#include <QString>
#include <cstring>
#include <optional>

#include "bilingual_text.h"

namespace lapdex::ui::test {

// Sets the language shown from argv[2] and returns the suffix of the pictures' names: none
// without the argument, nullopt for a language that is neither "ja" nor "en".
inline std::optional<QString> pictureLanguage(int argc, char** argv) {
    if (argc < 3) return QString();
    if (std::strcmp(argv[2], "ja") == 0) {
        texts::setCurrentLanguage(texts::Language::Japanese);
        return QStringLiteral("_ja");
    }
    if (std::strcmp(argv[2], "en") == 0) {
        texts::setCurrentLanguage(texts::Language::English);
        return QStringLiteral("_en");
    }
    return std::nullopt;
}

}  // namespace lapdex::ui::test
