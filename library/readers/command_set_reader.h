// The stopwatch command set on top of a reader framing: which block reads and writes each
// operation makes, with which block lists, command blocks, block counts and chunks.
//
// A reader kind derives from this class and supplies the framing hooks (how an operation
// starts and ends, how one read or write travels and is checked, and its log texts).
#pragma once

#include "card_reader.h"
#include "operation.h"

namespace rdcom32 {

class CommandSetReader : public CardReader {
  public:
    using CardReader::CardReader;

    int32_t GetFirmVer(const uint8_t* idm, uint8_t* out3) override;
    int32_t GetSerial(const uint8_t* idm, uint8_t* out6) override;
    int32_t SetSerial(const uint8_t* idm, const uint8_t* in6) override;
    int32_t GetProductName(const uint8_t* idm, uint8_t* out8) override;
    int32_t SetProductName(const uint8_t* idm, const uint8_t* in8) override;
    int32_t GetBattery(const uint8_t* idm, uint8_t* out1) override;
    int32_t Beep(const uint8_t* idm, const uint8_t* in2) override;
    int32_t Demo(const uint8_t* idm, const uint8_t* in1) override;
    int32_t GetImpact(const uint8_t* idm, uint8_t* out9) override;
    int32_t SetImpact(const uint8_t* idm, const uint8_t* in9) override;
    int32_t SetPlan(const uint8_t* idm, const uint8_t* in146) override;
    int32_t GetAccount(const uint8_t* idm, uint8_t* out7) override;
    int32_t SetAccount(const uint8_t* idm, const uint8_t* in7) override;
    int32_t GetTime(const uint8_t* idm, uint8_t* out6) override;
    int32_t SetTime(const uint8_t* idm, const uint8_t* in6) override;
    int32_t GetSystemCfg(const uint8_t* idm, uint8_t* out9) override;
    int32_t SetSystemCfg(const uint8_t* idm, const uint8_t* in9) override;
    int32_t GetStwCfg(const uint8_t* idm, uint8_t* out27) override;
    int32_t SetStwCfg(const uint8_t* idm, const uint8_t* in27) override;
    int32_t GetAlarmCfg(const uint8_t* idm, uint8_t* out3) override;
    int32_t SetAlarmCfg(const uint8_t* idm, const uint8_t* in3) override;
    int32_t GetRunInfo(const uint8_t* idm) override;
    int32_t GetRunNew(const uint8_t* idm, uint8_t* buffer) override;
    int32_t GetRunNewB(const uint8_t* idm, uint8_t* buffer, uint16_t offset,
                       uint8_t length) override;
    int32_t GetRunData(const uint8_t* idm, uint8_t* buffer) override;
    int32_t GetRunDataB(const uint8_t* idm, uint8_t* buffer, uint16_t offset,
                        uint8_t length) override;
    int32_t EraseRun(const uint8_t* idm, const uint8_t* in1, uint8_t mode) override;
    int32_t GetLogInfo(const uint8_t* idm) override;
    int32_t GetLogNew(const uint8_t* idm, uint8_t* buffer) override;
    int32_t GetLogNewB(const uint8_t* idm, uint8_t* buffer, uint16_t offset,
                       uint8_t length) override;
    int32_t GetLogData(const uint8_t* idm, uint8_t* buffer) override;
    int32_t GetLogDataB(const uint8_t* idm, uint8_t* buffer, uint16_t offset,
                        uint8_t length) override;
    int32_t EraseLog(const uint8_t* idm, const uint8_t* in1, uint8_t mode) override;
    int32_t ReadRamData(const uint8_t* idm, uint16_t address, uint16_t length,
                        uint8_t* buffer) override;
    int32_t WriteRamData(const uint8_t* idm, uint16_t address, uint16_t length,
                         const uint8_t* in) override;
    int32_t ReadE2pData(const uint8_t* idm, uint16_t address, uint16_t length,
                        uint8_t* buffer) override;
    int32_t WriteE2pData(const uint8_t* idm, uint16_t address, uint16_t length,
                         const uint8_t* in) override;
    int32_t ReadPlug(const uint8_t* idm, uint8_t address, uint8_t length, uint8_t* buffer) override;
    int32_t WritePlug(const uint8_t* idm, uint8_t address, uint8_t length,
                      const uint8_t* in) override;

  protected:
    // Prepares the reader for an operation (and logs its start). False ends it with 0.
    virtual bool beginOperation(Operation operation) = 0;
    // One read of `blocks` blocks with the first 3 * blocks bytes of blockList, logged with
    // the texts of `texts`. Returns the 16 * blocks bytes of block data, or null on failure.
    virtual const uint8_t* readBlocks(Operation texts, const uint8_t* idm, int blocks) = 0;
    // One write of the first 16 * blocks bytes of blockData. False on failure.
    virtual bool writeBlocks(Operation texts, const uint8_t* idm, int blocks) = 0;
    // Ends every operation that got past beginOperation, whatever its outcome.
    virtual void finishOperation() = 0;
    // Logs that a download found nothing to transfer.
    virtual void logZeroLength(Operation operation) = 0;

  private:
    struct Download;

    template <typename Body>
    int32_t runOperation(Operation operation, Body body);
    bool readInto(Operation texts, const uint8_t* idm, int blocks, uint8_t* out, size_t count);
    bool writeCommand(Operation texts, const uint8_t* idm, uint8_t code, int blocks,
                      const uint8_t* in, size_t count);
    int32_t fixedRead(Operation operation, const uint8_t* idm, uint8_t code, int blocks,
                      uint8_t* out, size_t count);
    int32_t fixedWrite(Operation operation, const uint8_t* idm, uint8_t code, int blocks,
                       const uint8_t* in, size_t count);
    int32_t erase(Operation operation, const uint8_t* idm, uint8_t code, const uint8_t* in1,
                  uint8_t mode);
    int32_t download(const Download& plan, const uint8_t* idm, uint8_t* buffer);
    bool transferChunks(Operation operation, const uint8_t* idm, uint8_t code, size_t total,
                        uint8_t* buffer);
    int32_t rangedRead(Operation operation, const uint8_t* idm, uint8_t code, uint8_t* buffer,
                       uint16_t offset, uint8_t length);
    int32_t memoryRead(Operation operation, const uint8_t* idm, uint8_t code, uint16_t address,
                       uint16_t length, uint8_t* buffer);
    int32_t memoryWrite(Operation operation, const uint8_t* idm, uint8_t code, uint16_t address,
                        uint16_t length, const uint8_t* in);
};

// Every operation that got past its start is finished exactly once, on every path.
template <typename Body>
int32_t CommandSetReader::runOperation(Operation operation, Body body) {
    if (!beginOperation(operation)) return 0;
    const int32_t result = body();
    finishOperation();
    return result;
}

}  // namespace rdcom32
