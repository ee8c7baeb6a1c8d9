#include "utf16.h"

#include "cp932.h"

namespace lapdex {
namespace {

void putUnit(std::string& out, unsigned unit) {
    out += static_cast<char>(unit & 0xFF);
    out += static_cast<char>((unit >> 8) & 0xFF);
}

void putUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

}  // namespace

std::optional<std::string> utf8ToUtf16le(std::string_view utf8) {
    if (!isValidUtf8(utf8)) return std::nullopt;
    std::string out;
    out.reserve(utf8.size() * 2);
    std::size_t i = 0;
    while (i < utf8.size()) {
        auto lead = static_cast<unsigned char>(utf8[i]);
        int len = utf8SequenceLength(lead);
        char32_t cp = len == 1 ? lead : (lead & (0x7F >> len));
        for (int k = 1; k < len; ++k) cp = (cp << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
        i += static_cast<std::size_t>(len);
        if (cp >= 0x10000) {
            cp -= 0x10000;
            putUnit(out, 0xD800 + (cp >> 10));
            putUnit(out, 0xDC00 + (cp & 0x3FF));
        } else {
            putUnit(out, cp);
        }
    }
    return out;
}

std::optional<std::string> utf16leToUtf8(std::string_view bytes) {
    if (bytes.size() % 2 != 0) return std::nullopt;
    std::string out;
    out.reserve(bytes.size());
    auto unitAt = [&](std::size_t i) {
        return static_cast<unsigned>(static_cast<unsigned char>(bytes[i])) |
               (static_cast<unsigned>(static_cast<unsigned char>(bytes[i + 1])) << 8);
    };
    for (std::size_t i = 0; i < bytes.size(); i += 2) {
        unsigned unit = unitAt(i);
        if (unit >= 0xDC00 && unit <= 0xDFFF) return std::nullopt;
        if (unit >= 0xD800 && unit <= 0xDBFF) {
            if (i + 3 >= bytes.size()) return std::nullopt;
            unsigned low = unitAt(i + 2);
            if (low < 0xDC00 || low > 0xDFFF) return std::nullopt;
            putUtf8(out, 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
            i += 2;
        } else {
            putUtf8(out, unit);
        }
    }
    return out;
}

}  // namespace lapdex
