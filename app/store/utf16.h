// UTF-16LE <-> UTF-8 conversion for profile files stored in UTF-16 (strict, no substitution).
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace lapdex {

// UTF-8 text to UTF-16LE bytes; nullopt when the text is not valid UTF-8.
std::optional<std::string> utf8ToUtf16le(std::string_view utf8);

// UTF-16LE bytes to UTF-8; nullopt for an odd byte count or an unpaired surrogate.
std::optional<std::string> utf16leToUtf8(std::string_view bytes);

}  // namespace lapdex
