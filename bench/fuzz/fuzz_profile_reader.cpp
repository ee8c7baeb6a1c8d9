// libFuzzer target for the profile-file reader: any bytes must parse, read and edit safely, untouched
// files must come back byte for byte, and every edit must read back as written.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "cp932.h"
#include "profile_file.h"

namespace {

void require(bool condition) {
    if (!condition) __builtin_trap();
}

// Writes `value` and checks that a fresh parse of the saved bytes reads it back.
void checkWriteReadsBack(lapdex::ProfileFile file, std::string_view section, std::string_view key,
                         std::string_view value, std::string_view expected) {
    if (file.writeString(section, key, value) != lapdex::ProfileWrite::Done) return;
    lapdex::ProfileFile reread = lapdex::ProfileFile::parse(file.serialize());
    require(reread.readString(section, key, "<none>") == expected);
    reread.deleteKey(section, key);
    require(lapdex::ProfileFile::parse(reread.serialize()).readString(section, key, "<none>") == "<none>");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    lapdex::ProfileFile file = lapdex::ProfileFile::parse(bytes);
    require(file.serialize() == bytes);

    for (const char* key : {"LOCATION", "TIMECOMP", "PCTIME"}) {
        std::string value = file.readString("Config", key, "");
        require(lapdex::isValidUtf8(value));
        require(lapdex::utf8CharacterCount(value) <= lapdex::kProfileValueLimit);
    }
    (void)file.readString("User", "QTM100_NAME", "");

    checkWriteReadsBack(file, "Config", "LOCATION", " ENG ", "ENG");
    checkWriteReadsBack(file, "User", "QTM01_NAME", "計測😀", "計測😀");  // may turn the file into UTF-16
    checkWriteReadsBack(file, "user", "qtm100_serial", "0123456789ab", "0123456789ab");
    // A section and key taken from the input itself reach the odd names too.
    std::string_view head = bytes.substr(0, bytes.size() / 2);
    std::string_view tail = bytes.substr(bytes.size() / 2, 8);
    if (lapdex::isValidUtf8(head) && head.size() < 16) checkWriteReadsBack(file, head, "K", "v", "v");
    if (lapdex::isValidUtf8(tail)) checkWriteReadsBack(file, "S", tail, "v", "v");
    return 0;
}
