// The reader for ACS contactless readers (PN53x controller): pseudo-APDUs answered with
// 61 Le and Get Response or at once, automatic polling, and FeliCa reads and writes in
// InDataExchange.
#pragma once

#include <cstddef>

#include "command_set_reader.h"

namespace rdcom32 {

class AcsReader final : public CommandSetReader {
  public:
    // Stores the context (now owned) and the name; no I/O.
    AcsReader(pcsc::Context context, const char* readerName);
    // Releases the context, with its two log lines.
    ~AcsReader() override;

    // pmmStore is not used by this reader kind.
    int32_t Polling(const uint8_t* idm, uint8_t* pmmStore, uint8_t* idmOut,
                    uint8_t* pmmOut) override;

    // Timeouts and antenna on, then the polling command once per connection. True when the
    // reader is ready for a FeliCa exchange.
    [[nodiscard]] bool InitTransmitData();

  protected:
    bool beginOperation(Operation operation) override;
    const uint8_t* readBlocks(Operation texts, const uint8_t* idm, int blocks) override;
    bool writeBlocks(Operation texts, const uint8_t* idm, int blocks) override;
    void finishOperation() override;
    void logZeroLength(Operation operation) override;

  private:
    [[nodiscard]] bool sendCommand(const uint8_t* bytes, size_t length);
    // Get Response for the Le that the last answer (61 Le) announced. An answer that is not
    // 61 Le is the whole answer already: nothing is sent and the result is true.
    [[nodiscard]] bool fetchAnswer();
    // Sends the command built in sendBuffer and fetches its answer, with the step lines.
    [[nodiscard]] bool exchange(Operation texts);
    // Its result is never looked at: the field goes off as well as it can.
    void antennaOff();
};

}  // namespace rdcom32
