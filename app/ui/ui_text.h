// The window side of the bilingual texts: a text in the language shown now, as a QString.
#pragma once

#include <QString>

#include "bilingual_text.h"

namespace lapdex::ui {

using texts::Text;

inline QString localized(const Text& text) {
    const std::string_view shown = texts::localized(text);
    return QString::fromUtf8(shown.data(), static_cast<qsizetype>(shown.size()));
}

}  // namespace lapdex::ui
