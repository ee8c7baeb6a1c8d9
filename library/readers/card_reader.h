// The abstract reader: its connection, fixed exchange buffers and the PC/SC primitives,
// plus the 40 stopwatch operations that every reader kind implements.
//
// Every operation takes the target IDm (8 bytes) first and returns 1 for success, 0 for
// failure (Polling also 2 for a foreign card). Pointers name caller memory of the sizes
// given with each operation; nothing is kept after a call. No memory is allocated per
// exchange. One thread at a time.
#pragma once

#include <cstdint>
#include <string>

#include "block_layout.h"
#include "pcsc_platform.h"

namespace rdcom32 {

inline constexpr size_t kExchangeBufferSize = 512;
inline constexpr size_t kIdmSize = 8;

class CardReader {
  public:
    CardReader(pcsc::Context context, const char* readerName);
    virtual ~CardReader();
    CardReader(const CardReader&) = delete;
    CardReader& operator=(const CardReader&) = delete;

    // Slot 1. Fills idmOut and pmmOut (8 bytes each) when a FeliCa card answered.
    virtual int32_t Polling(const uint8_t* idm, uint8_t* pmmStore, uint8_t* idmOut,
                            uint8_t* pmmOut) = 0;
    // Slots 2 to 22: fixed-size reads (out n) and writes (in n).
    virtual int32_t GetFirmVer(const uint8_t* idm, uint8_t* out3) = 0;
    virtual int32_t GetSerial(const uint8_t* idm, uint8_t* out6) = 0;
    virtual int32_t SetSerial(const uint8_t* idm, const uint8_t* in6) = 0;
    virtual int32_t GetProductName(const uint8_t* idm, uint8_t* out8) = 0;
    virtual int32_t SetProductName(const uint8_t* idm, const uint8_t* in8) = 0;
    virtual int32_t GetBattery(const uint8_t* idm, uint8_t* out1) = 0;
    virtual int32_t Beep(const uint8_t* idm, const uint8_t* in2) = 0;
    virtual int32_t Demo(const uint8_t* idm, const uint8_t* in1) = 0;
    virtual int32_t GetImpact(const uint8_t* idm, uint8_t* out9) = 0;
    virtual int32_t SetImpact(const uint8_t* idm, const uint8_t* in9) = 0;
    virtual int32_t SetPlan(const uint8_t* idm, const uint8_t* in146) = 0;
    virtual int32_t GetAccount(const uint8_t* idm, uint8_t* out7) = 0;
    virtual int32_t SetAccount(const uint8_t* idm, const uint8_t* in7) = 0;
    virtual int32_t GetTime(const uint8_t* idm, uint8_t* out6) = 0;
    // in6 null: the PC's local time is sent.
    virtual int32_t SetTime(const uint8_t* idm, const uint8_t* in6) = 0;
    virtual int32_t GetSystemCfg(const uint8_t* idm, uint8_t* out9) = 0;
    virtual int32_t SetSystemCfg(const uint8_t* idm, const uint8_t* in9) = 0;
    virtual int32_t GetStwCfg(const uint8_t* idm, uint8_t* out27) = 0;
    virtual int32_t SetStwCfg(const uint8_t* idm, const uint8_t* in27) = 0;
    virtual int32_t GetAlarmCfg(const uint8_t* idm, uint8_t* out3) = 0;
    virtual int32_t SetAlarmCfg(const uint8_t* idm, const uint8_t* in3) = 0;
    // Slots 23 to 28: runs. Downloads fill a buffer of up to 65535 bytes; the B reads copy
    // length (at most 192) bytes from offset. Erase mode 1 sends 01, any other the byte.
    virtual int32_t GetRunInfo(const uint8_t* idm) = 0;
    virtual int32_t GetRunNew(const uint8_t* idm, uint8_t* buffer) = 0;
    virtual int32_t GetRunNewB(const uint8_t* idm, uint8_t* buffer, uint16_t offset,
                               uint8_t length) = 0;
    virtual int32_t GetRunData(const uint8_t* idm, uint8_t* buffer) = 0;
    virtual int32_t GetRunDataB(const uint8_t* idm, uint8_t* buffer, uint16_t offset,
                                uint8_t length) = 0;
    virtual int32_t EraseRun(const uint8_t* idm, const uint8_t* in1, uint8_t mode) = 0;
    // Slots 29 to 34: logs, as the runs.
    virtual int32_t GetLogInfo(const uint8_t* idm) = 0;
    virtual int32_t GetLogNew(const uint8_t* idm, uint8_t* buffer) = 0;
    virtual int32_t GetLogNewB(const uint8_t* idm, uint8_t* buffer, uint16_t offset,
                               uint8_t length) = 0;
    virtual int32_t GetLogData(const uint8_t* idm, uint8_t* buffer) = 0;
    virtual int32_t GetLogDataB(const uint8_t* idm, uint8_t* buffer, uint16_t offset,
                                uint8_t length) = 0;
    virtual int32_t EraseLog(const uint8_t* idm, const uint8_t* in1, uint8_t mode) = 0;
    // Slots 35 to 40: memories. RAM/E2PROM lengths up to 65535; plug reads up to 192
    // bytes, plug writes up to 188.
    virtual int32_t ReadRamData(const uint8_t* idm, uint16_t address, uint16_t length,
                                uint8_t* buffer) = 0;
    virtual int32_t WriteRamData(const uint8_t* idm, uint16_t address, uint16_t length,
                                 const uint8_t* in) = 0;
    virtual int32_t ReadE2pData(const uint8_t* idm, uint16_t address, uint16_t length,
                                uint8_t* buffer) = 0;
    virtual int32_t WriteE2pData(const uint8_t* idm, uint16_t address, uint16_t length,
                                 const uint8_t* in) = 0;
    virtual int32_t ReadPlug(const uint8_t* idm, uint8_t address, uint8_t length,
                             uint8_t* buffer) = 0;
    virtual int32_t WritePlug(const uint8_t* idm, uint8_t address, uint8_t length,
                              const uint8_t* in) = 0;

    // Shared mode, T=0 or T=1. Clears `polled` on success.
    [[nodiscard]] bool Connect();
    // Leaves the card; the handle becomes 0.
    void Disconnect();
    // Zeroes both exchange buffers and the send length.
    void ClearBuffers();
    // Sends sendLength bytes of sendBuffer, receives into receiveBuffer and logs both.
    [[nodiscard]] bool Transmit();

    [[nodiscard]] const std::string& name() const { return readerName; }
    // The run and log information last read: 4 bytes each.
    [[nodiscard]] const uint8_t* runInfoBytes() const { return runInfo; }
    [[nodiscard]] const uint8_t* logInfoBytes() const { return logInfo; }

  protected:
    // For the destructors of the reader kinds: logs "<className>/ReleaseCardReader", releases
    // the context, logs the outcome.
    void releaseContext(const char* className);

    pcsc::Context context;
    std::string readerName;
    pcsc::Card card = 0;
    uint32_t activeProtocol = 0;
    pcsc::IoRequest ioRequest{};
    uint8_t sendBuffer[kExchangeBufferSize] = {};
    uint32_t sendLength = 0;
    uint8_t receiveBuffer[kExchangeBufferSize] = {};
    uint32_t receiveLength = 0;
    uint16_t chunkLength = 0;
    uint8_t blockData[kBlockDataSize] = {};
    BlockList blockList = {};
    uint8_t runInfo[4] = {};
    uint8_t logInfo[4] = {};
    bool polled = false;

  private:
    bool contextReleased = false;
};

}  // namespace rdcom32
