#include "profile_file.h"

#include <optional>

#include "cp932.h"
#include "utf16.h"

namespace lapdex {
namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16Bom = "\xFF\xFE";

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
    return s;
}

bool sameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        auto fold = [](char c) {
            return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
        };
        if (fold(a[i]) != fold(b[i])) return false;
    }
    return true;
}

// The section name of a "[name]" line, or nullopt for any other line.
std::optional<std::string_view> sectionName(std::string_view text) {
    std::string_view t = trimmed(text);
    if (t.empty() || t.front() != '[') return std::nullopt;
    t.remove_prefix(1);
    return trimmed(t.substr(0, t.find(']')));
}

std::optional<std::string> decode(std::string_view bytes, ProfileEncoding encoding) {
    if (encoding == ProfileEncoding::Utf16LeBom) return utf16leToUtf8(bytes);
    if (encoding == ProfileEncoding::Utf8Bom) {
        if (!isValidUtf8(bytes)) return std::nullopt;
        return std::string(bytes);
    }
    TextConversion text = cp932ToUtf8(bytes);
    if (!text.ok()) return std::nullopt;
    return std::move(text.text);
}

std::optional<std::string> encode(std::string_view utf8, ProfileEncoding encoding) {
    if (encoding == ProfileEncoding::Utf16LeBom) return utf8ToUtf16le(utf8);
    if (encoding == ProfileEncoding::Utf8Bom) {
        if (!isValidUtf8(utf8)) return std::nullopt;
        return std::string(utf8);
    }
    TextConversion bytes = utf8ToCp932(utf8);
    if (!bytes.ok()) return std::nullopt;
    return std::move(bytes.text);
}

// Splits raw bytes into lines after each LF (a code unit 0x000A in UTF-16LE).
std::vector<std::string_view> splitRaw(std::string_view body, ProfileEncoding encoding) {
    std::vector<std::string_view> parts;
    std::size_t unit = encoding == ProfileEncoding::Utf16LeBom ? 2 : 1;
    std::size_t start = 0;
    for (std::size_t i = 0; i + unit <= body.size(); i += unit) {
        bool lf = body[i] == '\n' && (unit == 1 || body[i + 1] == '\0');
        if (lf) {
            parts.push_back(body.substr(start, i + unit - start));
            start = i + unit;
        }
    }
    if (start < body.size()) parts.push_back(body.substr(start));
    return parts;
}

}  // namespace

ProfileFile ProfileFile::parse(std::string_view bytes) {
    ProfileFile file;
    std::string_view body = bytes;
    if (bytes.starts_with(kUtf16Bom)) {
        file.encoding_ = ProfileEncoding::Utf16LeBom;
        body.remove_prefix(kUtf16Bom.size());
    } else if (bytes.starts_with(kUtf8Bom)) {
        file.encoding_ = ProfileEncoding::Utf8Bom;
        body.remove_prefix(kUtf8Bom.size());
    }
    for (std::string_view raw : splitRaw(body, file.encoding_)) {
        Line line;
        line.raw = std::string(raw);
        if (std::optional<std::string> text = decode(raw, file.encoding_)) {
            line.decoded = true;
            line.text = std::move(*text);
            std::size_t cut = line.text.ends_with("\r\n") ? 2 : line.text.ends_with('\n') ? 1 : 0;
            line.terminator = line.text.substr(line.text.size() - cut);
            line.text.resize(line.text.size() - cut);
        }
        file.lines_.push_back(std::move(line));
    }
    return file;
}

std::vector<std::size_t> ProfileFile::sectionStarts(std::string_view section) const {
    std::vector<std::size_t> starts;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        if (!lines_[i].decoded) continue;
        std::optional<std::string_view> name = sectionName(lines_[i].text);
        if (name && sameName(*name, trimmed(section))) starts.push_back(i);
    }
    return starts;
}

std::size_t ProfileFile::sectionEnd(std::size_t start) const {
    std::size_t i = start + 1;
    while (i < lines_.size() && !(lines_[i].decoded && sectionName(lines_[i].text))) ++i;
    return i;
}

std::vector<ProfileFile::KeyMatch> ProfileFile::findKeys(std::string_view section,
                                                         std::string_view key) const {
    std::vector<KeyMatch> matches;
    for (std::size_t start : sectionStarts(section)) {
        // Once per section: scanning for its end at every line made a save of a large file take
        // minutes.
        const std::size_t end = sectionEnd(start);
        for (std::size_t i = start + 1; i < end; ++i) {
            const Line& line = lines_[i];
            if (!line.decoded || trimmed(line.text).starts_with(';')) continue;
            std::size_t equals = line.text.find('=');
            if (equals != std::string::npos &&
                sameName(trimmed(line.text.substr(0, equals)), trimmed(key))) {
                matches.push_back({i, equals});
            }
        }
    }
    return matches;
}

std::string ProfileFile::readString(std::string_view section, std::string_view key,
                                    std::string_view defaultValue) const {
    std::vector<KeyMatch> matches = findKeys(section, key);
    std::string_view value = defaultValue;
    if (!matches.empty()) {
        const KeyMatch& m = matches.front();
        value = trimmed(std::string_view(lines_[m.line].text).substr(m.equals + 1));
    }
    return std::string(utf8Prefix(value, kProfileValueLimit));
}

std::string ProfileFile::encodeText(std::string_view utf8) const {
    return encode(utf8, encoding_).value_or(std::string());
}

bool ProfileFile::upgradeToUtf16() {
    for (const Line& line : lines_) {
        if (!line.decoded) return false;
    }
    encoding_ = ProfileEncoding::Utf16LeBom;
    for (Line& line : lines_) line.raw = encodeText(line.text + line.terminator);
    return true;
}

// Replaces a line's content; false when the text cannot be stored in the file's encoding.
bool ProfileFile::setLine(Line& line, std::string text, std::string terminator) {
    std::optional<std::string> raw = encode(text + terminator, encoding_);
    if (!raw) return false;
    line.raw = std::move(*raw);
    line.text = std::move(text);
    line.terminator = std::move(terminator);
    line.decoded = true;
    return true;
}

// Gives a line without a line end one, in the file's encoding; an undecodable line keeps its bytes.
void ProfileFile::endLine(Line& line) {
    bool wide = encoding_ == ProfileEncoding::Utf16LeBom;
    std::string_view raw = line.raw;
    bool ended = wide ? (raw.size() >= 2 && raw.size() % 2 == 0 &&
                         raw.ends_with(std::string_view("\n\0", 2)))
                      : raw.ends_with('\n');
    if (ended) return;
    if (line.decoded) {
        setLine(line, line.text, "\r\n");
    } else {
        if (wide && raw.size() % 2 != 0) line.raw += '\0';  // keep the following lines aligned
        line.raw += encodeText("\r\n");
    }
}

ProfileWrite ProfileFile::writeString(std::string_view section, std::string_view key,
                                      std::string_view value) {
    auto hasBreak = [](std::string_view s) {
        return s.find_first_of("\r\n") != std::string_view::npos;
    };
    // A key that would read back as a section header or a comment cannot be stored either.
    std::string_view bareKey = trimmed(key);
    if (hasBreak(section) || section.find(']') != std::string_view::npos || bareKey.empty() ||
        bareKey.front() == '[' || bareKey.front() == ';' || hasBreak(key) ||
        key.find('=') != std::string_view::npos || !isValidUtf8(section) || !isValidUtf8(key)) {
        return ProfileWrite::InvalidName;
    }
    if (hasBreak(value) || !isValidUtf8(value)) return ProfileWrite::InvalidValue;
    std::string probe = std::string(section) + std::string(key) + std::string(value);
    if (!encode(probe, encoding_) && !upgradeToUtf16()) return ProfileWrite::Unrepresentable;

    std::vector<KeyMatch> matches = findKeys(section, key);
    if (!matches.empty()) {
        Line& line = lines_[matches.front().line];
        std::string text = line.text.substr(0, matches.front().equals + 1) + std::string(value);
        setLine(line, std::move(text), line.terminator.empty() ? "\r\n" : line.terminator);
        return ProfileWrite::Done;
    }
    std::size_t insertAt = lines_.size();
    std::vector<Line> added;
    if (std::vector<std::size_t> starts = sectionStarts(section); !starts.empty()) {
        insertAt = sectionEnd(starts.front());
        while (insertAt > starts.front() + 1 && trimmed(lines_[insertAt - 1].text).empty() &&
               lines_[insertAt - 1].decoded) {
            --insertAt;  // keep the blank lines that separate this section from the next
        }
    } else {
        added.emplace_back();
        setLine(added.back(), "[" + std::string(section) + "]", "\r\n");
    }
    added.emplace_back();
    setLine(added.back(), std::string(key) + "=" + std::string(value), "\r\n");
    if (insertAt > 0) endLine(lines_[insertAt - 1]);  // the old last line may have had no line end
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(insertAt), added.begin(),
                  added.end());
    return ProfileWrite::Done;
}

void ProfileFile::deleteKey(std::string_view section, std::string_view key) {
    std::vector<KeyMatch> matches = findKeys(section, key);
    for (auto it = matches.rbegin(); it != matches.rend(); ++it) {
        lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(it->line));
    }
}

std::size_t ProfileFile::firstStrayLine() const {
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        const Line& line = lines_[i];
        const std::string_view text = trimmed(line.text);
        const bool known = line.decoded && text.find('\0') == std::string_view::npos &&
                           (text.empty() || text.front() == ';' || sectionName(text) ||
                            (text.find('=') != std::string_view::npos && text.front() != '='));
        if (!known) return i + 1;
    }
    return 0;
}

std::string ProfileFile::serialize() const {
    std::string out;
    if (encoding_ == ProfileEncoding::Utf16LeBom) out += kUtf16Bom;
    if (encoding_ == ProfileEncoding::Utf8Bom) out += kUtf8Bom;
    for (const Line& line : lines_) out += line.raw;
    return out;
}

ProfileLoad loadProfile(FileSystem& fs, const std::string& path) {
    ProfileLoad load;
    FsBytes bytes = fs.readFile(path);
    if (bytes.ok()) {
        load.profile = ProfileFile::parse(bytes.bytes);
    } else if (bytes.status.error != FsError::NotFound) {
        load.status = bytes.status;
    }
    return load;
}

FsStatus saveProfile(FileSystem& fs, const std::string& path, const ProfileFile& profile) {
    return fs.writeFileAtomic(path, profile.serialize(), Existing::Replace);
}

}  // namespace lapdex
