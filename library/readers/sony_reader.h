// The reader for Sony contactless readers: their PC/SC driver speaks FeliCa itself, so every
// operation is Select File followed by Read Binary or Update Binary of the block lists and
// command blocks, and Polling asks the driver for the card's IDm and PMm with Get Data.
#pragma once

#include <cstddef>
#include <cstdint>

#include "command_set_reader.h"

namespace rdcom32 {

class SonyReader final : public CommandSetReader {
  public:
    // Stores the context (now owned) and the name; no I/O.
    SonyReader(pcsc::Context context, const char* readerName);
    // Releases the context, with its two log lines.
    ~SonyReader() override;

    // Compares the card's IDm with `idm`; stores its PMm in pmmStore (8 bytes), which keeps
    // its former content when the PMm query fails. pmmOut receives pmmStore either way.
    int32_t Polling(const uint8_t* idm, uint8_t* pmmStore, uint8_t* idmOut,
                    uint8_t* pmmOut) override;

    // Get Data for the PMm; on an accepted answer its 8 bytes go to pmmStore.
    [[nodiscard]] bool GetPmm(uint8_t* pmmStore);
    // Writes the line of the status word at `position` of receiveBuffer when it is one the
    // driver names. Returns 0 for a named status word, 1 otherwise (also when the answer
    // holds no status word at `position`).
    int ValidateData(uint32_t position);

  protected:
    bool beginOperation(Operation operation) override;
    const uint8_t* readBlocks(Operation texts, const uint8_t* idm, int blocks) override;
    bool writeBlocks(Operation texts, const uint8_t* idm, int blocks) override;
    void finishOperation() override;
    void logZeroLength(Operation operation) override;

  private:
    [[nodiscard]] bool sendCommand(const uint8_t* bytes, size_t length);
    // Sends the command built in sendBuffer with its command line, and its failure line.
    [[nodiscard]] bool exchange(Operation texts);
    // ValidateData on the last two bytes of the answer, when there are two.
    void reportRefusal();
};

}  // namespace rdcom32
