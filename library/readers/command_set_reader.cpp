#include "command_set_reader.h"

#include <cstring>
#include <ctime>

#include "command_codes.h"
#include "local_time.h"

namespace rdcom32 {
namespace {

constexpr size_t kClockSize = 6;

// Second, minute, hour, day, month, year - 2000, as plain numbers (not BCD).
bool fillFromLocalTime(uint8_t (&clock)[kClockSize]) {
    std::tm now{};
    if (!currentLocalTime(&now)) return false;
    clock[0] = static_cast<uint8_t>(now.tm_sec > 59 ? 59 : now.tm_sec);  // no leap seconds
    clock[1] = static_cast<uint8_t>(now.tm_min);
    clock[2] = static_cast<uint8_t>(now.tm_hour);
    clock[3] = static_cast<uint8_t>(now.tm_mday);
    clock[4] = static_cast<uint8_t>(now.tm_mon + 1);
    clock[5] = static_cast<uint8_t>(now.tm_year + 1900 - 2000);
    return true;
}

}  // namespace

bool CommandSetReader::readInto(Operation texts, const uint8_t* idm, int blocks, uint8_t* out,
                                size_t count) {
    const uint8_t* data = readBlocks(texts, idm, blocks);
    if (data == nullptr) return false;
    if (count > 0) std::memcpy(out, data, count);
    return true;
}

bool CommandSetReader::writeCommand(Operation texts, const uint8_t* idm, uint8_t code, int blocks,
                                    const uint8_t* in, size_t count) {
    std::memset(blockData, 0, sizeof blockData);
    blockData[0] = code;
    if (count > 0) std::memcpy(blockData + 1, in, count);
    return writeBlocks(texts, idm, blocks);
}

int32_t CommandSetReader::fixedRead(Operation operation, const uint8_t* idm, uint8_t code,
                                    int blocks, uint8_t* out, size_t count) {
    return runOperation(operation, [&]() -> int32_t {
        fillPlainList(blockList, code);
        return readInto(operation, idm, blocks, out, count) ? 1 : 0;
    });
}

int32_t CommandSetReader::fixedWrite(Operation operation, const uint8_t* idm, uint8_t code,
                                     int blocks, const uint8_t* in, size_t count) {
    return runOperation(operation, [&]() -> int32_t {
        return writeCommand(operation, idm, code, blocks, in, count) ? 1 : 0;
    });
}

int32_t CommandSetReader::erase(Operation operation, const uint8_t* idm, uint8_t code,
                                const uint8_t* in1, uint8_t mode) {
    if (mode != 1 && in1 == nullptr) return 0;
    const uint8_t parameter = mode == 1 ? code::kEraseNewParameter : *in1;
    return fixedWrite(operation, idm, code, 1, &parameter, 1);
}

int32_t CommandSetReader::GetFirmVer(const uint8_t* idm, uint8_t* out3) {
    return fixedRead(Operation::GetFirmVer, idm, code::kGetFirmVer, 1, out3, 3);
}
int32_t CommandSetReader::GetSerial(const uint8_t* idm, uint8_t* out6) {
    return fixedRead(Operation::GetSerial, idm, code::kGetSerial, 1, out6, 6);
}
int32_t CommandSetReader::SetSerial(const uint8_t* idm, const uint8_t* in6) {
    return fixedWrite(Operation::SetSerial, idm, code::kSetSerial, 1, in6, 6);
}
int32_t CommandSetReader::GetProductName(const uint8_t* idm, uint8_t* out8) {
    return fixedRead(Operation::GetProductName, idm, code::kGetProductName, 1, out8, 8);
}
int32_t CommandSetReader::SetProductName(const uint8_t* idm, const uint8_t* in8) {
    return fixedWrite(Operation::SetProductName, idm, code::kSetProductName, 1, in8, 8);
}
int32_t CommandSetReader::GetBattery(const uint8_t* idm, uint8_t* out1) {
    return fixedRead(Operation::GetBattery, idm, code::kGetBattery, 1, out1, 1);
}
int32_t CommandSetReader::Beep(const uint8_t* idm, const uint8_t* in2) {
    return fixedWrite(Operation::Beep, idm, code::kBeep, 1, in2, 2);
}
int32_t CommandSetReader::Demo(const uint8_t* idm, const uint8_t* in1) {
    return fixedWrite(Operation::Demo, idm, code::kDemo, 1, in1, 1);
}
int32_t CommandSetReader::GetImpact(const uint8_t* idm, uint8_t* out9) {
    return fixedRead(Operation::GetImpact, idm, code::kGetImpact, 1, out9, 9);
}
int32_t CommandSetReader::SetImpact(const uint8_t* idm, const uint8_t* in9) {
    return fixedWrite(Operation::SetImpact, idm, code::kSetImpact, 1, in9, 9);
}
// 146 bytes in 10 blocks; block bytes 147 to 159 stay 0.
int32_t CommandSetReader::SetPlan(const uint8_t* idm, const uint8_t* in146) {
    return fixedWrite(Operation::SetPlan, idm, code::kSetPlan, 10, in146, 146);
}
int32_t CommandSetReader::GetAccount(const uint8_t* idm, uint8_t* out7) {
    return fixedRead(Operation::GetAccount, idm, code::kGetAccount, 1, out7, 7);
}
int32_t CommandSetReader::SetAccount(const uint8_t* idm, const uint8_t* in7) {
    return fixedWrite(Operation::SetAccount, idm, code::kSetAccount, 1, in7, 7);
}
int32_t CommandSetReader::GetTime(const uint8_t* idm, uint8_t* out6) {
    return fixedRead(Operation::GetTime, idm, code::kGetTime, 1, out6, 6);
}
int32_t CommandSetReader::SetTime(const uint8_t* idm, const uint8_t* in6) {
    uint8_t clock[kClockSize] = {};
    if (in6 != nullptr) {
        std::memcpy(clock, in6, kClockSize);
    } else if (!fillFromLocalTime(clock)) {
        return 0;
    }
    return fixedWrite(Operation::SetTime, idm, code::kSetTime, 1, clock, kClockSize);
}
int32_t CommandSetReader::GetSystemCfg(const uint8_t* idm, uint8_t* out9) {
    return fixedRead(Operation::GetSystemCfg, idm, code::kGetSystemCfg, 1, out9, 9);
}
int32_t CommandSetReader::SetSystemCfg(const uint8_t* idm, const uint8_t* in9) {
    return fixedWrite(Operation::SetSystemCfg, idm, code::kSetSystemCfg, 1, in9, 9);
}
int32_t CommandSetReader::GetStwCfg(const uint8_t* idm, uint8_t* out27) {
    return fixedRead(Operation::GetStwCfg, idm, code::kGetStwCfg, 2, out27, 27);
}
int32_t CommandSetReader::SetStwCfg(const uint8_t* idm, const uint8_t* in27) {
    return fixedWrite(Operation::SetStwCfg, idm, code::kSetStwCfg, 2, in27, 27);
}
int32_t CommandSetReader::GetAlarmCfg(const uint8_t* idm, uint8_t* out3) {
    return fixedRead(Operation::GetAlarmCfg, idm, code::kGetAlarmCfg, 1, out3, 3);
}
int32_t CommandSetReader::SetAlarmCfg(const uint8_t* idm, const uint8_t* in3) {
    return fixedWrite(Operation::SetAlarmCfg, idm, code::kSetAlarmCfg, 1, in3, 3);
}
int32_t CommandSetReader::GetRunInfo(const uint8_t* idm) {
    return fixedRead(Operation::GetRunInfo, idm, code::kGetRunInfo, 1, runInfo, sizeof runInfo);
}
int32_t CommandSetReader::EraseRun(const uint8_t* idm, const uint8_t* in1, uint8_t mode) {
    return erase(Operation::EraseRun, idm, code::kEraseRun, in1, mode);
}
int32_t CommandSetReader::GetLogInfo(const uint8_t* idm) {
    return fixedRead(Operation::GetLogInfo, idm, code::kGetLogInfo, 1, logInfo, sizeof logInfo);
}
int32_t CommandSetReader::EraseLog(const uint8_t* idm, const uint8_t* in1, uint8_t mode) {
    return erase(Operation::EraseLog, idm, code::kEraseLog, in1, mode);
}

}  // namespace rdcom32
