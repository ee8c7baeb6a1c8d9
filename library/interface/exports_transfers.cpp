// Exports of the runs, the logs and the memories: each forwards to the open reader.
//
// Offsets, addresses and lengths arrive as 32-bit integers. A value outside the width the
// operation takes (16 bits, plug addresses 8 bits) is refused rather than cut to its low
// bits, which would transfer other bytes than asked for and still report success.
#include <cstring>

#include "block_layout.h"
#include "export_guard.h"
#include "rdcom32.h"

using namespace rdcom32;

namespace {

constexpr int32_t kMax16 = 0xFFFF;
constexpr int32_t kMax8 = 0xFF;
constexpr int32_t kMaxRead = static_cast<int32_t>(kMaxReadChunk);
constexpr int32_t kMaxPlugLength = static_cast<int32_t>(kMaxPlugWrite);

ArgumentCheck rangedCheck(const uint8_t* buffer, int32_t offset, int32_t length) {
    return buffer != nullptr && fitsRange(offset, kMax16) && fitsRange(length, kMaxRead)
               ? ArgumentCheck::Accepted
               : ArgumentCheck::Refused;
}

ArgumentCheck memoryReadCheck(const uint8_t* buffer, int32_t address, int32_t length) {
    return buffer != nullptr && fitsRange(address, kMax16) && fitsRange(length, kMax16)
               ? ArgumentCheck::Accepted
               : ArgumentCheck::Refused;
}

// The pointer is tested first, then the end of the written range.
ArgumentCheck memoryWriteCheck(const uint8_t* in, int32_t address, int32_t length) {
    if (in == nullptr) return ArgumentCheck::Refused;
    const bool inRange =
        fitsRange(address, kMax16) && fitsRange(length, kMax16) && address + length <= kMax16;
    return inRange ? ArgumentCheck::Accepted : ArgumentCheck::OverMemory;
}

ArgumentCheck plugCheck(const uint8_t* pointer, int32_t address, int32_t length,
                        int32_t maxLength) {
    return pointer != nullptr && fitsRange(address, kMax8) && fitsRange(length, maxLength)
               ? ArgumentCheck::Accepted
               : ArgumentCheck::Refused;
}

uint16_t as16(int32_t value) {
    return static_cast<uint16_t>(value);
}
uint8_t as8(int32_t value) {
    return static_cast<uint8_t>(value);
}

}  // namespace

int32_t RDCAA_CALL RDCAA_GetRunInfo(uint8_t* out4) {
    return forward("RDCAA_GetRunInfo", given(out4), [&](CardReader& reader, const uint8_t* idm) {
        const int32_t result = reader.GetRunInfo(idm);
        if (result == 1) std::memcpy(out4, reader.runInfoBytes(), 4);
        return result;
    });
}

int32_t RDCAA_CALL RDCAA_GetRunNew(uint8_t* buffer) {
    return forward("RDCAA_GetRunNew", given(buffer), [&](CardReader& reader, const uint8_t* idm) {
        return reader.GetRunNew(idm, buffer);
    });
}

int32_t RDCAA_CALL RDCAA_GetRunNewB(uint8_t* buffer, int32_t offset, int32_t length) {
    return forward("RDCAA_GetRunNewB", rangedCheck(buffer, offset, length),
                   [&](CardReader& reader, const uint8_t* idm) {
                       return reader.GetRunNewB(idm, buffer, as16(offset), as8(length));
                   });
}

int32_t RDCAA_CALL RDCAA_GetRunData(uint8_t* buffer) {
    return forward("RDCAA_GetRunData", given(buffer), [&](CardReader& reader, const uint8_t* idm) {
        return reader.GetRunData(idm, buffer);
    });
}

int32_t RDCAA_CALL RDCAA_GetRunDataB(uint8_t* buffer, int32_t offset, int32_t length) {
    return forward("RDCAA_GetRunDataB", rangedCheck(buffer, offset, length),
                   [&](CardReader& reader, const uint8_t* idm) {
                       return reader.GetRunDataB(idm, buffer, as16(offset), as8(length));
                   });
}

// Mode 2: the caller's parameter byte is sent.
int32_t RDCAA_CALL RDCAA_EraseRun(const uint8_t* in1) {
    return forward("RDCAA_EraseRun", given(in1), [&](CardReader& reader, const uint8_t* idm) {
        return reader.EraseRun(idm, in1, 2);
    });
}

int32_t RDCAA_CALL RDCAA_GetLogInfo(uint8_t* out4) {
    return forward("RDCAA_GetLogInfo", given(out4), [&](CardReader& reader, const uint8_t* idm) {
        const int32_t result = reader.GetLogInfo(idm);
        if (result == 1) std::memcpy(out4, reader.logInfoBytes(), 4);
        return result;
    });
}

int32_t RDCAA_CALL RDCAA_GetLogNew(uint8_t* buffer) {
    return forward("RDCAA_GetLogNew", given(buffer), [&](CardReader& reader, const uint8_t* idm) {
        return reader.GetLogNew(idm, buffer);
    });
}

int32_t RDCAA_CALL RDCAA_GetLogNewB(uint8_t* buffer, int32_t offset, int32_t length) {
    return forward("RDCAA_GetLogNewB", rangedCheck(buffer, offset, length),
                   [&](CardReader& reader, const uint8_t* idm) {
                       return reader.GetLogNewB(idm, buffer, as16(offset), as8(length));
                   });
}

int32_t RDCAA_CALL RDCAA_GetLogData(uint8_t* buffer) {
    return forward("RDCAA_GetLogData", given(buffer), [&](CardReader& reader, const uint8_t* idm) {
        return reader.GetLogData(idm, buffer);
    });
}

int32_t RDCAA_CALL RDCAA_GetLogDataB(uint8_t* buffer, int32_t offset, int32_t length) {
    return forward("RDCAA_GetLogDataB", rangedCheck(buffer, offset, length),
                   [&](CardReader& reader, const uint8_t* idm) {
                       return reader.GetLogDataB(idm, buffer, as16(offset), as8(length));
                   });
}

int32_t RDCAA_CALL RDCAA_EraseLog(const uint8_t* in1) {
    return forward("RDCAA_EraseLog", given(in1), [&](CardReader& reader, const uint8_t* idm) {
        return reader.EraseLog(idm, in1, 2);
    });
}

int32_t RDCAA_CALL RDCAA_ReadRam(int32_t address, int32_t length, uint8_t* buffer) {
    return forward("RDCAA_ReadRam", memoryReadCheck(buffer, address, length),
                   [&](CardReader& reader, const uint8_t* idm) {
                       return reader.ReadRamData(idm, as16(address), as16(length), buffer);
                   });
}

int32_t RDCAA_CALL RDCAA_WriteRam(int32_t address, int32_t length, const uint8_t* in) {
    return forward("RDCAA_WriteRam", memoryWriteCheck(in, address, length),
                   [&](CardReader& reader, const uint8_t* idm) {
                       return reader.WriteRamData(idm, as16(address), as16(length), in);
                   });
}

int32_t RDCAA_CALL RDCAA_ReadE2p(int32_t address, int32_t length, uint8_t* buffer) {
    return forward("RDCAA_ReadE2p", memoryReadCheck(buffer, address, length),
                   [&](CardReader& reader, const uint8_t* idm) {
                       return reader.ReadE2pData(idm, as16(address), as16(length), buffer);
                   });
}

int32_t RDCAA_CALL RDCAA_WriteE2p(int32_t address, int32_t length, const uint8_t* in) {
    return forward("RDCAA_WriteE2p", memoryWriteCheck(in, address, length),
                   [&](CardReader& reader, const uint8_t* idm) {
                       return reader.WriteE2pData(idm, as16(address), as16(length), in);
                   });
}

int32_t RDCAA_CALL RDCAA_ReadPlug(int32_t address, int32_t length, uint8_t* buffer) {
    return forward("RDCAA_ReadPlug", plugCheck(buffer, address, length, kMaxRead),
                   [&](CardReader& reader, const uint8_t* idm) {
                       return reader.ReadPlug(idm, as8(address), as8(length), buffer);
                   });
}

int32_t RDCAA_CALL RDCAA_WritePlug(int32_t address, int32_t length, const uint8_t* in) {
    return forward("RDCAA_WritePlug", plugCheck(in, address, length, kMaxPlugLength),
                   [&](CardReader& reader, const uint8_t* idm) {
                       return reader.WritePlug(idm, as8(address), as8(length), in);
                   });
}
