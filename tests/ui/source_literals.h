// The string literals of a C++ source as the compiler sees them (comments, character literals and
// raw strings read correctly), and whether a text holds Japanese characters.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace lapdex::test {

struct Literal {
    int line = 0;      // 1-based line where the literal starts
    std::string text;  // the characters between the quotes, escapes left as written
};

// Which characters count as Japanese: every form the program's Japanese texts use, or only kana
// and ideographs (full-width digits and punctuation may stand in an English text on purpose,
// as in a sample time "00：03’23”25").
enum class JapaneseForms { All, KanaAndIdeographs };

// True when the UTF-8 text holds kana, CJK ideographs and, with JapaneseForms::All, CJK
// punctuation or full-width forms.
inline bool holdsJapanese(std::string_view text, JapaneseForms forms = JapaneseForms::All) {
    for (std::size_t i = 0; i < text.size();) {
        const auto byte = static_cast<unsigned char>(text[i]);
        int length = byte < 0x80 ? 1 : byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC0 ? 2 : 1;
        std::uint32_t code = length == 1 ? byte : byte & (0x7F >> length);
        for (int k = 1; k < length && i + k < text.size(); ++k)
            code = (code << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
        const bool kanaOrIdeograph = (code >= 0x3040 && code <= 0x30FF) ||
                                     (code >= 0x3400 && code <= 0x4DBF) ||
                                     (code >= 0x4E00 && code <= 0x9FFF);
        const bool otherForm =
            (code >= 0x3000 && code <= 0x303F) || (code >= 0xFF00 && code <= 0xFFEF);
        if (kanaOrIdeograph || (forms == JapaneseForms::All && otherForm)) return true;
        i += static_cast<std::size_t>(length);
    }
    return false;
}

namespace detail {

inline bool identifierChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

class LiteralScanner {
  public:
    explicit LiteralScanner(std::string_view source) : s_(source) {}

    std::vector<Literal> scan() {
        while (i_ < s_.size()) step();
        return std::move(found_);
    }

  private:
    void step() {
        const char c = s_[i_];
        if (c == '\n') {
            ++line_;
            ++i_;
        } else if (s_.substr(i_, 2) == "//") {
            while (i_ < s_.size() && s_[i_] != '\n') ++i_;
        } else if (s_.substr(i_, 2) == "/*") {
            const std::size_t end = s_.find("*/", i_ + 2);
            advanceTo(end == std::string_view::npos ? s_.size() : end + 2);
        } else if (c == '"') {
            quoted('"', true);
        } else if (c == '\'') {
            quoted('\'', false);
        } else if (c >= '0' && c <= '9') {
            // A number with its digit separators (1'000) and exponent signs.
            while (i_ < s_.size() &&
                   (identifierChar(s_[i_]) || s_[i_] == '\'' || s_[i_] == '.' ||
                    ((s_[i_] == '+' || s_[i_] == '-') && (s_[i_ - 1] == 'e' || s_[i_ - 1] == 'E' ||
                                                          s_[i_ - 1] == 'p' || s_[i_ - 1] == 'P'))))
                ++i_;
        } else if (identifierChar(c)) {
            const std::size_t start = i_;
            while (i_ < s_.size() && identifierChar(s_[i_])) ++i_;
            const std::string_view word = s_.substr(start, i_ - start);
            const bool prefix = word == "u8" || word == "u" || word == "U" || word == "L";
            const bool rawPrefix =
                word == "R" || word == "u8R" || word == "uR" || word == "UR" || word == "LR";
            if (i_ < s_.size() && rawPrefix && s_[i_] == '"')
                raw();
            else if (i_ < s_.size() && prefix && s_[i_] == '"')
                quoted('"', true);
            else if (i_ < s_.size() && prefix && s_[i_] == '\'')
                quoted('\'', false);
        } else {
            ++i_;
        }
    }

    // A literal from the opening quote at i_ to its unescaped closing quote.
    void quoted(char quote, bool keep) {
        const int line = line_;
        const std::size_t start = ++i_;
        while (i_ < s_.size() && s_[i_] != quote && s_[i_] != '\n') i_ += s_[i_] == '\\' ? 2 : 1;
        if (keep) found_.push_back({line, std::string(s_.substr(start, i_ - start))});
        if (i_ < s_.size() && s_[i_] == quote) ++i_;
    }

    // R"delimiter( ... )delimiter"
    void raw() {
        const int line = line_;
        const std::size_t open = s_.find('(', i_);
        if (open == std::string_view::npos) return advanceTo(s_.size());
        const std::string closing = ")" + std::string(s_.substr(i_ + 1, open - i_ - 1)) + "\"";
        const std::size_t end = s_.find(closing, open);
        const std::size_t stop = end == std::string_view::npos ? s_.size() : end;
        found_.push_back({line, std::string(s_.substr(open + 1, stop - open - 1))});
        advanceTo(end == std::string_view::npos ? s_.size() : end + closing.size());
    }

    void advanceTo(std::size_t position) {
        for (; i_ < position && i_ < s_.size(); ++i_)
            if (s_[i_] == '\n') ++line_;
    }

    std::string_view s_;
    std::size_t i_ = 0;
    int line_ = 1;
    std::vector<Literal> found_;
};

}  // namespace detail

inline std::vector<Literal> stringLiterals(std::string_view source) {
    return detail::LiteralScanner(source).scan();
}

}  // namespace lapdex::test
