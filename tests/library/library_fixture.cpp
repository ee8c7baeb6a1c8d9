#include "library_fixture.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>
#include <sstream>

#include "local_time.h"

namespace rdcom32::test {
namespace {

constexpr size_t kStampLength = 21;  // "2014-04-23.08:54:49: "

bool isFelicaFrame(const Bytes& command) {
    return command.size() > 9 && command[0] == 0xFF && command[5] == 0xD4 && command[6] == 0x40;
}

// A new folder of the test's own below the system's temporary folder (no mkdtemp on Windows).
std::filesystem::path newTestFolder() {
    std::random_device seed;
    std::mt19937_64 random(seed());
    for (int attempt = 0; attempt < 100; ++attempt) {
        char name[32];
        std::snprintf(name, sizeof name, "rdcom32-%016llx",
                      static_cast<unsigned long long>(random()));
        const std::filesystem::path candidate = std::filesystem::temp_directory_path() / name;
        std::error_code error;
        if (std::filesystem::create_directory(candidate, error)) return candidate;
    }
    return {};
}

}  // namespace

void LibraryFixture::SetUp() {
    standin().reset();
    stopwatch = standin().layCard();
    folder = newTestFolder();
    ASSERT_FALSE(folder.empty());
}

void LibraryFixture::TearDown() {
    RDCAA_ExitDll();
    setLocalTimeSource(nullptr);
    standin().reset();
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
}

std::string LibraryFixture::logDirectory() const {
    return folder.string() + "/";
}

void LibraryFixture::openLogged() {
    ASSERT_EQ(RDCAA_SetDllLogPath(logDirectory().c_str()), 1);
    openQuiet();
}

void LibraryFixture::openQuiet() {
    ASSERT_EQ(RDCAA_InitDll(nullptr), 1);
    ASSERT_EQ(RDCAA_OpenFelica(), 1);
}

std::string LibraryFixture::logBytes() const {
    std::ifstream in(logFile(), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<std::string> LibraryFixture::logTexts() const {
    std::vector<std::string> texts;
    const std::string all = logBytes();
    size_t start = 0;
    while (start < all.size()) {
        size_t end = all.find("\r\n", start);
        if (end == std::string::npos) end = all.size();
        const std::string line = all.substr(start, end - start);
        texts.push_back(line.size() >= kStampLength ? line.substr(kStampLength) : line);
        start = end + 2;
    }
    return texts;
}

bool LibraryFixture::logHas(const std::string& text) const {
    for (const std::string& line : logTexts()) {
        if (line == text) return true;
    }
    return false;
}

std::vector<Bytes> LibraryFixture::felicaCommands() const {
    std::vector<Bytes> commands;
    for (const sim::Exchange& exchange : sim::Standin::instance().transcript) {
        if (isFelicaFrame(exchange.command)) commands.push_back(exchange.command);
    }
    return commands;
}

Bytes readBlockList(const Bytes& command) {
    const size_t blocks = command.at(21);
    return Bytes(command.begin() + 22, command.begin() + 22 + 3 * blocks);
}

Bytes writeBlockData(const Bytes& command) {
    const size_t blocks = command.at(21);
    return Bytes(command.begin() + 22 + 3 * blocks, command.end());
}

Bytes hex(const std::string& text) {
    Bytes bytes;
    std::istringstream in(text);
    unsigned value = 0;
    while (in >> std::hex >> value) bytes.push_back(static_cast<uint8_t>(value));
    return bytes;
}

}  // namespace rdcom32::test
