// The chunked and ranged operations of the command set: downloads, B reads, memories.
#include <algorithm>
#include <cstring>

#include "command_codes.h"
#include "command_set_reader.h"

namespace rdcom32 {

// One download: the information read, where its length sits, the transfer and the erase.
struct CommandSetReader::Download {
    Operation operation;
    Operation infoTexts;
    uint8_t infoCode;
    uint8_t* info;    // runInfo or logInfo, 4 bytes
    size_t lengthAt;  // 0: the "new" length, 2: the "all" length
    uint8_t transferCode;
    Operation eraseTexts;
    uint8_t eraseCode;
    bool resultFromErase;  // log downloads report the erase; run downloads do not
};

int32_t CommandSetReader::download(const Download& plan, const uint8_t* idm, uint8_t* buffer) {
    return runOperation(plan.operation, [&]() -> int32_t {
        fillPlainList(blockList, plan.infoCode);
        if (!readInto(plan.infoTexts, idm, 1, plan.info, 4)) return 0;
        const size_t total = static_cast<size_t>(plan.info[plan.lengthAt]) |
                             static_cast<size_t>(plan.info[plan.lengthAt + 1]) << 8;
        if (total == 0) {
            logZeroLength(plan.operation);
            return 0;
        }
        if (!transferChunks(plan.operation, idm, plan.transferCode, total, buffer)) return 0;
        const uint8_t parameter = code::kEraseNewParameter;
        const bool erased = writeCommand(plan.eraseTexts, idm, plan.eraseCode, 1, &parameter, 1);
        // The runs have arrived even when the erase failed; only the log tells.
        return !plan.resultFromErase || erased ? 1 : 0;
    });
}

bool CommandSetReader::transferChunks(Operation operation, const uint8_t* idm, uint8_t code,
                                      size_t total, uint8_t* buffer) {
    size_t offset = 0;
    while (offset < total) {
        const size_t chunk = std::min(total - offset, kMaxReadChunk);
        chunkLength = static_cast<uint16_t>(chunk);
        fillRangedList(blockList, code, static_cast<uint16_t>(offset), static_cast<uint8_t>(chunk));
        if (!readInto(operation, idm, readBlockCount(chunk), buffer + offset, chunk)) {
            return false;
        }
        offset += chunk;
    }
    return true;
}

int32_t CommandSetReader::rangedRead(Operation operation, const uint8_t* idm, uint8_t code,
                                     uint8_t* buffer, uint16_t offset, uint8_t length) {
    if (length > kMaxReadChunk) return 0;  // more than one read can carry
    return runOperation(operation, [&]() -> int32_t {
        fillRangedList(blockList, code, offset, length);
        return readInto(operation, idm, readBlockCount(length), buffer, length) ? 1 : 0;
    });
}

int32_t CommandSetReader::memoryRead(Operation operation, const uint8_t* idm, uint8_t code,
                                     uint16_t address, uint16_t length, uint8_t* buffer) {
    return runOperation(operation, [&]() -> int32_t {
        size_t done = 0;
        uint16_t at = address;
        while (done < length) {
            const size_t chunk = std::min(length - done, kMaxReadChunk);
            chunkLength = static_cast<uint16_t>(chunk);
            fillRangedList(blockList, code, at, static_cast<uint8_t>(chunk));
            if (!readInto(operation, idm, readBlockCount(chunk), buffer + done, chunk)) {
                return 0;
            }
            at = static_cast<uint16_t>(at + chunk);  // wraps at 65536
            done += chunk;
        }
        return 1;
    });
}

int32_t CommandSetReader::memoryWrite(Operation operation, const uint8_t* idm, uint8_t code,
                                      uint16_t address, uint16_t length, const uint8_t* in) {
    return runOperation(operation, [&]() -> int32_t {
        size_t done = 0;
        uint16_t at = address;
        while (done < length) {
            const size_t chunk = std::min(length - done, kMaxMemoryWriteChunk);
            chunkLength = static_cast<uint16_t>(chunk);
            std::memset(blockData, 0, sizeof blockData);
            blockData[0] = code;
            blockData[1] = static_cast<uint8_t>(at & 0xFF);
            blockData[2] = static_cast<uint8_t>(at >> 8);
            blockData[3] = static_cast<uint8_t>(chunk);
            std::memcpy(blockData + 4, in + done, chunk);
            if (!writeBlocks(operation, idm, memoryWriteBlockCount(chunk))) return 0;
            at = static_cast<uint16_t>(at + chunk);
            done += chunk;
        }
        return 1;
    });
}

int32_t CommandSetReader::GetRunNew(const uint8_t* idm, uint8_t* buffer) {
    const Download plan{Operation::GetRunNew, Operation::GetRunInfo, code::kGetRunInfo, runInfo, 0,
                        code::kGetRunNew,     Operation::EraseRun,   code::kEraseRun,   false};
    return download(plan, idm, buffer);
}
int32_t CommandSetReader::GetRunData(const uint8_t* idm, uint8_t* buffer) {
    const Download plan{Operation::GetRunData, Operation::GetRunInfo, code::kGetRunInfo, runInfo, 2,
                        code::kGetRunData,     Operation::EraseRun,   code::kEraseRun,   false};
    return download(plan, idm, buffer);
}
int32_t CommandSetReader::GetLogNew(const uint8_t* idm, uint8_t* buffer) {
    const Download plan{Operation::GetLogNew, Operation::GetLogInfo, code::kGetLogInfo, logInfo, 0,
                        code::kGetLogNew,     Operation::EraseLog,   code::kEraseLog,   true};
    return download(plan, idm, buffer);
}
int32_t CommandSetReader::GetLogData(const uint8_t* idm, uint8_t* buffer) {
    const Download plan{Operation::GetLogData, Operation::GetLogInfo, code::kGetLogInfo, logInfo, 2,
                        code::kGetLogData,     Operation::EraseLog,   code::kEraseLog,   true};
    return download(plan, idm, buffer);
}

int32_t CommandSetReader::GetRunNewB(const uint8_t* idm, uint8_t* buffer, uint16_t offset,
                                     uint8_t length) {
    return rangedRead(Operation::GetRunNewB, idm, code::kGetRunNew, buffer, offset, length);
}
int32_t CommandSetReader::GetRunDataB(const uint8_t* idm, uint8_t* buffer, uint16_t offset,
                                      uint8_t length) {
    return rangedRead(Operation::GetRunDataB, idm, code::kGetRunData, buffer, offset, length);
}
int32_t CommandSetReader::GetLogNewB(const uint8_t* idm, uint8_t* buffer, uint16_t offset,
                                     uint8_t length) {
    return rangedRead(Operation::GetLogNewB, idm, code::kGetLogNew, buffer, offset, length);
}
int32_t CommandSetReader::GetLogDataB(const uint8_t* idm, uint8_t* buffer, uint16_t offset,
                                      uint8_t length) {
    return rangedRead(Operation::GetLogDataB, idm, code::kGetLogData, buffer, offset, length);
}

int32_t CommandSetReader::ReadRamData(const uint8_t* idm, uint16_t address, uint16_t length,
                                      uint8_t* buffer) {
    return memoryRead(Operation::ReadRamData, idm, code::kReadRam, address, length, buffer);
}
int32_t CommandSetReader::WriteRamData(const uint8_t* idm, uint16_t address, uint16_t length,
                                       const uint8_t* in) {
    return memoryWrite(Operation::WriteRamData, idm, code::kWriteRam, address, length, in);
}
int32_t CommandSetReader::ReadE2pData(const uint8_t* idm, uint16_t address, uint16_t length,
                                      uint8_t* buffer) {
    return memoryRead(Operation::ReadE2pData, idm, code::kReadE2p, address, length, buffer);
}
int32_t CommandSetReader::WriteE2pData(const uint8_t* idm, uint16_t address, uint16_t length,
                                       const uint8_t* in) {
    return memoryWrite(Operation::WriteE2pData, idm, code::kWriteE2p, address, length, in);
}

int32_t CommandSetReader::ReadPlug(const uint8_t* idm, uint8_t address, uint8_t length,
                                   uint8_t* buffer) {
    if (length > kMaxReadChunk) return 0;
    return runOperation(Operation::ReadPlug, [&]() -> int32_t {
        fillPlugList(blockList, address, length);
        return readInto(Operation::ReadPlug, idm, readBlockCount(length), buffer, length) ? 1 : 0;
    });
}

int32_t CommandSetReader::WritePlug(const uint8_t* idm, uint8_t address, uint8_t length,
                                    const uint8_t* in) {
    if (length > kMaxPlugWrite) return 0;  // code, address and length take 3 of 192 bytes
    return runOperation(Operation::WritePlug, [&]() -> int32_t {
        std::memset(blockData, 0, sizeof blockData);
        blockData[0] = code::kWritePlug;
        blockData[1] = address;
        blockData[2] = length;
        if (length > 0) std::memcpy(blockData + 3, in, length);
        return writeBlocks(Operation::WritePlug, idm, plugWriteBlockCount(length)) ? 1 : 0;
    });
}

}  // namespace rdcom32
