// Shared fixture of the library tests: a fresh PC/SC stand-in with a stopwatch, a private
// temporary folder for the debug log, and readers of the transcript and the log.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "rdcom32.h"
#include "standin/pcsc_standin.h"

namespace rdcom32::test {

using Bytes = std::vector<uint8_t>;

// The default IDm of the stopwatch's chip.
inline const Bytes kDefaultIdm = {0x03, 0xFE, 0x00, 0x24, 0x00, 0x00, 0x01, 0x02};

class LibraryFixture : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    sim::Standin& standin() { return sim::Standin::instance(); }
    // The folder of this test, with a trailing separator.
    std::string logDirectory() const;
    std::filesystem::path logFile() const { return folder / "rdcaa_debug.log"; }

    // Log on, InitDll with the default IDm, OpenFelica; asserts that it connected.
    void openLogged();
    // Same without the log.
    void openQuiet();

    // The whole log file as bytes (empty when it does not exist).
    std::string logBytes() const;
    // The log's lines without their time stamps and CR LF.
    std::vector<std::string> logTexts() const;
    // Whether a line (without time stamp) is in the log.
    bool logHas(const std::string& text) const;

    // Commands of the transcript that carry a FeliCa frame (InDataExchange).
    std::vector<Bytes> felicaCommands() const;

    std::shared_ptr<sim::Stopwatch> stopwatch;
    std::filesystem::path folder;
};

// The block list of a FeliCa read command, or the block data of a write.
Bytes readBlockList(const Bytes& command);
Bytes writeBlockData(const Bytes& command);

// A transcript command as bytes from text such as "FF 00 00 00 04".
Bytes hex(const std::string& text);

}  // namespace rdcom32::test
