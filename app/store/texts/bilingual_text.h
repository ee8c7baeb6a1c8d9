// Every text the user reads exists in a Japanese and an English set. A text is declared once
// with both forms; the compiler refuses a pair whose placeholders or menu key differ, so one
// language cannot silently lack what the other has.
#pragma once

#include <string_view>

namespace lapdex::texts {

enum class Language { Japanese, English };

namespace detail {

// Counts of each placeholder kind: %1..%9, %s, %d and a menu key ("&X", not "&&").
struct Shape {
    int numbered[10] = {};
    int printfString = 0;
    int printfNumber = 0;
    int menuKeys = 0;

    constexpr bool operator==(const Shape&) const = default;
};

constexpr Shape shapeOf(std::string_view s) {
    Shape shape;
    for (std::size_t i = 0; i + 1 < s.size(); ++i) {
        const char next = s[i + 1];
        if (s[i] == '%') {
            if (next >= '1' && next <= '9') ++shape.numbered[next - '0'];
            else if (next == 's') ++shape.printfString;
            else if (next == 'd') ++shape.printfNumber;
            if (next == '%' || (next >= '1' && next <= '9') || next == 's' || next == 'd') ++i;
        } else if (s[i] == '&') {
            if (next != '&' && next != ' ') ++shape.menuKeys;
            ++i;
        }
    }
    return shape;
}

// Reached only at compile time, where calling it is the error the compiler reports.
void textSetsDiffer(const char* why);

}  // namespace detail

// True when both forms are present and use the same placeholders and menu keys.
constexpr bool sameShape(std::string_view ja, std::string_view en) {
    return !ja.empty() && !en.empty() && detail::shapeOf(ja) == detail::shapeOf(en);
}

// Text lives in a namespace of its own so that argument-dependent lookup does not bring
// texts::localized next to ui::localized at every call.
namespace text_type {

class Text {
public:
    consteval Text(const char* ja, const char* en) : ja_(ja), en_(en) {
        if (!sameShape(ja_, en_)) detail::textSetsDiffer("both forms with the same placeholders");
    }

    constexpr std::string_view ja() const { return ja_; }
    constexpr std::string_view en() const { return en_; }
    constexpr std::string_view in(Language language) const {
        return language == Language::Japanese ? ja_ : en_;
    }

private:
    std::string_view ja_;
    std::string_view en_;
};

}  // namespace text_type

using text_type::Text;

// The language the program shows. Read from every thread, set by the window.
Language currentLanguage();
void setCurrentLanguage(Language language);

// The text in the language shown now.
inline std::string_view localized(const Text& text) { return text.in(currentLanguage()); }

}  // namespace lapdex::texts
