#include "debug_log.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>

#include "local_time.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <sys/stat.h>
#endif

namespace rdcom32 {
namespace {

struct LogState {
    char logPath[kLogPathCapacity] = {};
    std::FILE* logStream = nullptr;
    bool logOpen = false;
    int logError = 1;  // anything but 0 blocks writing
};

LogState state;

constexpr const char* kLineEnd = "\r\n";
// Room for "2014-04-23.08:54:49" and a terminator.
constexpr size_t kStampCapacity = 32;

// The C-locale form of "%Y-%m-%d.%X", spelled out so the host's locale cannot change it.
void formatStamp(char (&stamp)[kStampCapacity]) {
    std::tm now{};
    if (!currentLocalTime(&now) ||
        std::strftime(stamp, sizeof stamp, "%Y-%m-%d.%H:%M:%S", &now) == 0) {
        std::strcpy(stamp, "0000-00-00.00:00:00");
    }
}

void writeText(const char* text) {
    std::fputs(text, state.logStream);
}

void writeHexBytes(const uint8_t* bytes, size_t count) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    char chunk[3 * 128];
    size_t used = 0;
    for (size_t i = 0; i < count; ++i) {
        chunk[used++] = kDigits[bytes[i] >> 4];
        chunk[used++] = kDigits[bytes[i] & 0x0F];
        chunk[used++] = ' ';
        if (used == sizeof chunk) {
            std::fwrite(chunk, 1, used, state.logStream);
            used = 0;
        }
    }
    std::fwrite(chunk, 1, used, state.logStream);
}

// Zero when `path` names an existing directory; otherwise a non-zero attribute value.
int directoryAttributes(const char* path) {
#if defined(_WIN32)
    const DWORD attributes = GetFileAttributesA(path);
    if (attributes == INVALID_FILE_ATTRIBUTES) return -1;
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? 0 : static_cast<int>(attributes);
#else
    struct stat info {};
    if (::stat(path, &info) != 0) return -1;
    return S_ISDIR(info.st_mode) ? 0 : static_cast<int>(info.st_mode);
#endif
}

void switchOff(int error) {
    closeLog();
    state.logError = error;
}

}  // namespace

bool logWriting() {
    return state.logOpen && state.logError == 0 && state.logStream != nullptr;
}

const char* logPath() {
    return state.logPath;
}

int WriteLogLine(const char* text) {
    if (!logWriting()) return 0;
    char stamp[kStampCapacity];
    formatStamp(stamp);
    writeText(stamp);
    writeText(": ");
    writeText(text);
    writeText(kLineEnd);
    std::fflush(state.logStream);
    return 1;
}

int WriteLogDump(const char* label, const uint8_t* bytes, size_t count) {
    if (!logWriting()) return 0;
    char stamp[kStampCapacity];
    formatStamp(stamp);
    writeText(stamp);
    writeText(": ");
    writeText(label);
    if (bytes == nullptr) {
        writeText("No Data");
    } else {
        writeHexBytes(bytes, count);
    }
    writeText(kLineEnd);
    std::fprintf(state.logStream, "%s: Total Length: %d Byte(s)%s", stamp, static_cast<int>(count),
                 kLineEnd);
    std::fflush(state.logStream);
    return 1;
}

int WriteLogNumber(const char* label, int32_t value) {
    if (!logWriting()) return 0;
    char stamp[kStampCapacity];
    formatStamp(stamp);
    std::fprintf(state.logStream, "%s: %s%d%s", stamp, label, static_cast<int>(value), kLineEnd);
    std::fflush(state.logStream);
    return 1;
}

int openLogIn(const char* directory) {
    // A stream still open from an earlier path would otherwise leak.
    closeLog();
    std::memset(state.logPath, 0, sizeof state.logPath);
    const size_t length = std::strlen(directory);
    if (length + std::strlen(kLogFileName) >= kLogPathCapacity) {
        state.logError = 1;
        return 0;
    }
    std::memcpy(state.logPath, directory, length);
    const int attributes = directoryAttributes(state.logPath);
    if (attributes != 0) {
        state.logError = attributes;
        return 0;
    }
    std::strcat(state.logPath, kLogFileName);
    // Binary mode: the CR LF line ends are written explicitly on every platform.
    errno = 0;
    state.logStream = std::fopen(state.logPath, "ab");
    if (state.logStream == nullptr) {
        switchOff(errno != 0 ? errno : 1);
        return 0;
    }
    state.logError = 0;
    state.logOpen = true;
    return 1;
}

// The banners are stored as Shift_JIS (code page 932) bytes.
int writeLogOutBanners(uint8_t on) {
    if (on == 1) {
        WriteLogLine(
            "------------------------------------------------ "
            "APL\x82\xf0\x8b\x4e\x93\xae"
            " --------------------------------------------------");
        return WriteLogLine(
            "------------------------------------------ "
            "\x83\x8d\x83\x4f\x8f\x6f\x97\xcd-ON\x82\xc5\x8b\x4e\x93\xae"
            " ----------------------------------------------");
    }
    WriteLogLine(
        "----------------------------------- "
        "APL\x82\xf0\x88\xea\x93\x78\x8f\x49\x97\xb9\x82\xb3\x82\xb9"
        "\x83\x8d\x83\x4f\x8f\x6f\x97\xcd\x82\xf0OFF"
        " --------------------------------------");
    const int written = WriteLogLine(
        "----------------------------------------------- "
        "APL\x82\xf0\x88\xea\x93\x78\x8f\x49\x97\xb9"
        " -----------------------------------------------");
    closeLog();
    return written;
}

void closeLog() {
    if (state.logStream != nullptr) {
        std::fflush(state.logStream);
        std::fclose(state.logStream);
        state.logStream = nullptr;
    }
    state.logOpen = false;
}

}  // namespace rdcom32
