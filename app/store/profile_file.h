// An initialisation ("profile") file with the Win32 private-profile rules the configuration relies
// on: names matched without regard to case, blanks around values dropped, every untouched line kept
// byte for byte, and the file's own encoding kept.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "file_system.h"

namespace lapdex {

enum class ProfileEncoding { Cp932, Utf8Bom, Utf16LeBom };

enum class ProfileWrite {
    Done,
    InvalidName,      // a section or key that cannot stand in the file (line break, '=', ']', empty
                      // key)
    InvalidValue,     // a value with a line break, or not valid UTF-8
    Unrepresentable,  // the value needs UTF-16 but a line of the file cannot be re-encoded
};

// Value that a read returns at most, in characters (the 510-character buffer of the platform).
inline constexpr std::size_t kProfileValueLimit = 509;

// One file's content in memory. Text crossing this interface is UTF-8. Not thread-safe: one owner.
class ProfileFile {
  public:
    // Parses the bytes of a file; never fails. Lines that do not decode are kept but never matched.
    // Empty bytes make a new file (CP932 until a value needs UTF-16LE).
    static ProfileFile parse(std::string_view bytes);

    // Value of `key` in `section`, or `defaultValue` when absent; cut to kProfileValueLimit
    // characters.
    std::string readString(std::string_view section, std::string_view key,
                           std::string_view defaultValue) const;

    // Changes only the key's line, or adds it after the last line of its section, or adds the
    // section at the end. A CP932 file that must hold a character outside CP932 is re-encoded as
    // UTF-16LE with BOM rather than written with '?'.
    ProfileWrite writeString(std::string_view section, std::string_view key,
                             std::string_view value);

    // Removes the key's line(s) from the section; every other line stays.
    void deleteKey(std::string_view section, std::string_view key);

    // True when the file has a "[section]" line (names without regard to case).
    bool hasSection(std::string_view section) const { return !sectionStarts(section).empty(); }
    // The 1-based number of the first line that is neither blank, a section, a comment nor a
    // "key=value" setting, or that does not decode in the file's encoding; 0 when every line is
    // one.
    std::size_t firstStrayLine() const;

    ProfileEncoding encoding() const { return encoding_; }
    // The file's bytes, BOM included.
    std::string serialize() const;

  private:
    struct Line {
        std::string raw;         // bytes in the file's encoding, line end included
        std::string text;        // UTF-8 content without the line end
        std::string terminator;  // UTF-8 line end: "\r\n", "\n" or "" (last line)
        bool decoded = false;
    };
    struct KeyMatch {
        std::size_t line;
        std::size_t equals;  // byte offset of '=' in text
    };

    std::vector<std::size_t> sectionStarts(std::string_view section) const;
    std::size_t sectionEnd(std::size_t start) const;
    std::vector<KeyMatch> findKeys(std::string_view section, std::string_view key) const;
    bool setLine(Line& line, std::string text, std::string terminator);
    bool upgradeToUtf16();
    void endLine(Line& line);
    std::string encodeText(std::string_view utf8) const;

    ProfileEncoding encoding_ = ProfileEncoding::Cp932;
    std::vector<Line> lines_;
};

struct [[nodiscard]] ProfileLoad {
    FsStatus status;  // a missing file is success with an empty profile
    ProfileFile profile;
    bool ok() const { return status.ok(); }
};

// Reads a profile file through the seam; a missing file gives an empty (new) profile.
ProfileLoad loadProfile(FileSystem& fs, const std::string& path);

// Writes the profile through a temporary file, flushed and renamed over the old one.
FsStatus saveProfile(FileSystem& fs, const std::string& path, const ProfileFile& profile);

}  // namespace lapdex
