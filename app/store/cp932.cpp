#include "cp932.h"

#include <iconv.h>

#include <cerrno>
#include <cstdio>
#include <vector>

namespace lapdex {
namespace {

constexpr const char* kCp932 = "CP932";
constexpr const char* kUtf8 = "UTF-8";

// Owns one iconv descriptor for the life of its thread: opening one per conversion cost more
// than the conversion itself when a download writes a thousand run files.
class Converter {
public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Converter() {
        if (valid()) iconv_close(cd_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;
    bool valid() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
    // The descriptor in its initial shift state, ready for a new conversion.
    iconv_t fresh() const {
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        return cd_;
    }

private:
    iconv_t cd_;
};

const Converter& toCp932() {
    thread_local const Converter converter(kCp932, kUtf8);
    return converter;
}

const Converter& fromCp932() {
    thread_local const Converter converter(kUtf8, kCp932);
    return converter;
}

void appendByteWords(std::string& out, std::string_view bytes, std::size_t offset) {
    char buf[48];
    std::snprintf(buf, sizeof buf, "%sat byte %zu:", out.empty() ? "" : "; ", offset);
    out += buf;
    for (unsigned char c : bytes) {
        std::snprintf(buf, sizeof buf, " 0x%02X", c);
        out += buf;
    }
}

// Runs iconv over the whole input. A sequence that iconv refuses is reported through `onBad`, which
// returns how many input bytes to skip; conversion then goes on so that every offender is named.
template <typename OnBad>
bool convertAll(iconv_t cd, std::string_view input, std::string& out, OnBad onBad) {
    std::vector<char> buffer(input.size() * 2 + 16);
    char* in = const_cast<char*>(input.data());
    std::size_t inLeft = input.size();
    bool clean = true;
    while (inLeft > 0) {
        char* outPtr = buffer.data();
        std::size_t outLeft = buffer.size();
        std::size_t rc = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
        out.append(buffer.data(), buffer.size() - outLeft);
        if (rc != static_cast<std::size_t>(-1)) break;
        if (errno == E2BIG) continue;
        clean = false;
        std::size_t offset = input.size() - inLeft;
        std::size_t skip = onBad(offset, errno == EINVAL);
        if (skip == 0 || skip > inLeft) skip = inLeft;
        in += skip;
        inLeft -= skip;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    return clean;
}

// Code page 932 keeps ASCII as it is (0x5C and 0x7E included), so pure ASCII needs no converter.
bool isAscii(std::string_view text) {
    for (unsigned char c : text) {
        if (c >= 0x80) return false;
    }
    return true;
}


void addOnce(std::string& list, std::string_view character) {
    if (list.find(character) == std::string::npos) list += character;
}

// True when code page 932 `bytes` decode to exactly `utf8`.
bool decodesBackTo(std::string_view bytes, std::string_view utf8) {
    std::string back;
    bool clean = convertAll(fromCp932().fresh(), bytes, back, [](std::size_t, bool) { return std::size_t{0}; });
    return clean && back == utf8;
}

// iconv maps a few characters to bytes that read back as others (U+00A5 to the backslash, U+203E to
// the tilde, the JIS forms of the wave dash, minus and dashes to the Windows forms) and drops the tag
// characters without a word; such text would not read back as written, so it counts as unrepresentable.
void addOneWayCharacters(std::string_view utf8, std::string& offending) {
    for (std::size_t i = 0; i < utf8.size();) {
        std::size_t len = static_cast<std::size_t>(utf8SequenceLength(static_cast<unsigned char>(utf8[i])));
        std::string_view character = utf8.substr(i, len);
        std::string bytes;
        bool clean = convertAll(toCp932().fresh(), character, bytes, [](std::size_t, bool) { return std::size_t{0}; });
        if (len > 1 && (!clean || !decodesBackTo(bytes, character))) addOnce(offending, character);
        i += len;
    }
}
}  // namespace

int utf8SequenceLength(unsigned char lead) {
    if (lead < 0x80) return 1;
    if (lead >= 0xC2 && lead <= 0xDF) return 2;
    if (lead >= 0xE0 && lead <= 0xEF) return 3;
    if (lead >= 0xF0 && lead <= 0xF4) return 4;
    return 0;
}

bool isValidUtf8(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size()) {
        auto lead = static_cast<unsigned char>(text[i]);
        int len = utf8SequenceLength(lead);
        if (len == 0 || i + len > text.size()) return false;
        for (int k = 1; k < len; ++k) {
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return false;
        }
        auto second = static_cast<unsigned char>(len > 1 ? text[i + 1] : 0);
        if (lead == 0xE0 && second < 0xA0) return false;  // overlong
        if (lead == 0xED && second > 0x9F) return false;  // surrogate
        if (lead == 0xF0 && second < 0x90) return false;  // overlong
        if (lead == 0xF4 && second > 0x8F) return false;  // above U+10FFFF
        i += len;
    }
    return true;
}

std::size_t utf8CharacterCount(std::string_view utf8) {
    std::size_t count = 0;
    for (unsigned char c : utf8) {
        if ((c & 0xC0) != 0x80) ++count;
    }
    return count;
}

std::string_view utf8Prefix(std::string_view utf8, std::size_t maxCharacters) {
    std::size_t count = 0;
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        if ((static_cast<unsigned char>(utf8[i]) & 0xC0) != 0x80) {
            if (count == maxCharacters) return utf8.substr(0, i);
            ++count;
        }
    }
    return utf8;
}

TextConversion utf8ToCp932(std::string_view utf8) {
    TextConversion result;
    if (isAscii(utf8)) {
        result.text = std::string(utf8);
        return result;
    }
    if (!isValidUtf8(utf8)) {
        result.error = ConversionError::InvalidInput;
        // Find the first offending byte: the longest valid prefix ends just before it.
        std::size_t good = 0;
        while (good < utf8.size()) {
            int len = utf8SequenceLength(static_cast<unsigned char>(utf8[good]));
            if (len == 0 || good + len > utf8.size() || !isValidUtf8(utf8.substr(good, len))) break;
            good += len;
        }
        appendByteWords(result.offending, utf8.substr(good, 1), good);
        return result;
    }
    if (!toCp932().valid() || !fromCp932().valid()) {
        result.error = ConversionError::SystemError;
        return result;
    }
    std::string offending;
    bool clean = convertAll(toCp932().fresh(), utf8, result.text, [&](std::size_t offset, bool) -> std::size_t {
        std::size_t len = utf8SequenceLength(static_cast<unsigned char>(utf8[offset]));
        addOnce(offending, utf8.substr(offset, len));
        return len;
    });
    if (!clean || !decodesBackTo(result.text, utf8)) {
        // Name every character that would be lost, of both kinds, in order of appearance.
        clean = false;
        offending.clear();
        addOneWayCharacters(utf8, offending);
    }
    if (!clean) {
        result.error = ConversionError::Unrepresentable;
        result.text.clear();
        result.offending = std::move(offending);
    }
    return result;
}

TextConversion cp932ToUtf8(std::string_view cp932) {
    TextConversion result;
    if (isAscii(cp932)) {
        result.text = std::string(cp932);
        return result;
    }
    if (!fromCp932().valid()) {
        result.error = ConversionError::SystemError;
        return result;
    }
    std::string offending;
    bool clean = convertAll(fromCp932().fresh(), cp932, result.text, [&](std::size_t offset, bool truncated) {
        // A lead byte with a bad or missing trail byte: name both bytes that were present.
        auto lead = static_cast<unsigned char>(cp932[offset]);
        bool doubleByte = (lead >= 0x81 && lead <= 0x9F) || (lead >= 0xE0 && lead <= 0xFC);
        std::size_t len = (doubleByte && !truncated && offset + 1 < cp932.size()) ? 2 : 1;
        appendByteWords(offending, cp932.substr(offset, len), offset);
        return len;
    });
    if (!clean) {
        result.error = ConversionError::InvalidInput;
        result.text.clear();
        result.offending = std::move(offending);
    }
    return result;
}

bool fitsCp932(std::string_view utf8) {
    return utf8ToCp932(utf8).ok();
}

}  // namespace lapdex
