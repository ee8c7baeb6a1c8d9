// Conversion between the program's UTF-8 text and code page 932 (Shift_JIS) as stored on disk.
#pragma once

#include <string>
#include <string_view>

namespace lapdex {

enum class ConversionError {
    None,
    Unrepresentable,  // the UTF-8 text holds characters that code page 932 cannot hold
    InvalidInput,     // the input bytes are not valid in their encoding
    SystemError,      // iconv is not available for code page 932
};

// Outcome of one conversion. On failure `text` is empty: nothing is ever replaced by '?'.
struct [[nodiscard]] TextConversion {
    ConversionError error = ConversionError::None;
    std::string text;       // the converted bytes (ok() only)
    std::string offending;  // Unrepresentable: the offending characters as UTF-8, each once, in order of
                            // first appearance. InvalidInput: the bad bytes as "0xNN" words at their offset.
    bool ok() const { return error == ConversionError::None; }
};

// Converts UTF-8 text to code page 932 bytes. Strict: a character that code page 932 cannot hold
// makes the whole conversion fail with Unrepresentable naming every such character; malformed UTF-8
// fails with InvalidInput. Characters that would read back as others count as Unrepresentable.
// Thread-safe (each thread keeps its own converters).
TextConversion utf8ToCp932(std::string_view utf8);

// Converts code page 932 bytes to UTF-8. Bytes that are not valid code page 932 fail with InvalidInput.
TextConversion cp932ToUtf8(std::string_view cp932);

// True when `utf8` is valid UTF-8 and every character has a code page 932 form.
bool fitsCp932(std::string_view utf8);

// Length in bytes of the UTF-8 sequence that starts with `lead`, or 0 when `lead` cannot start one.
int utf8SequenceLength(unsigned char lead);

// True when `text` is well-formed UTF-8 (no overlong forms, no surrogates, at most U+10FFFF).
bool isValidUtf8(std::string_view text);

// Number of characters (code points) of valid UTF-8 text.
std::size_t utf8CharacterCount(std::string_view utf8);

// The first `maxCharacters` characters of valid UTF-8 text; never cuts inside a character.
std::string_view utf8Prefix(std::string_view utf8, std::size_t maxCharacters);

}  // namespace lapdex
