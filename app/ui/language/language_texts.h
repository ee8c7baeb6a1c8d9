// The Language menu's texts. Each language is named in itself, so it can be found whichever
// language is shown.
#pragma once

#include "bilingual_text.h"

namespace lapdex::ui::language_text {

using texts::Text;

inline constexpr Text kMenu{"言語 (Language)(&L)", "&Language (言語)"};
inline constexpr Text kJapanese{"日本語(&J)", "日本語 (&Japanese)"};
inline constexpr Text kEnglish{"English (英語)(&E)", "&English"};

}  // namespace lapdex::ui::language_text
