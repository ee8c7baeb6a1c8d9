// The stopwatch's one-byte command codes, carried in block lists (reads) and command blocks
// (writes).
#pragma once

#include <cstdint>

namespace rdcom32::code {

inline constexpr uint8_t kGetFirmVer = 0xA1;
inline constexpr uint8_t kGetSerial = 0xA2;
inline constexpr uint8_t kSetSerial = 0xA3;
inline constexpr uint8_t kGetProductName = 0xA4;
inline constexpr uint8_t kSetProductName = 0xA5;
inline constexpr uint8_t kGetBattery = 0xA6;
inline constexpr uint8_t kBeep = 0xA7;
inline constexpr uint8_t kDemo = 0xA8;
inline constexpr uint8_t kGetRunInfo = 0xB0;
inline constexpr uint8_t kGetRunNew = 0xB1;
inline constexpr uint8_t kGetRunData = 0xB2;
inline constexpr uint8_t kEraseRun = 0xB3;
inline constexpr uint8_t kGetLogInfo = 0xB4;
inline constexpr uint8_t kGetLogNew = 0xB5;
inline constexpr uint8_t kGetLogData = 0xB6;
inline constexpr uint8_t kEraseLog = 0xB7;
inline constexpr uint8_t kGetImpact = 0xB8;
inline constexpr uint8_t kSetImpact = 0xB9;
inline constexpr uint8_t kSetPlan = 0xC0;
inline constexpr uint8_t kGetAccount = 0xC1;
inline constexpr uint8_t kSetAccount = 0xC2;
inline constexpr uint8_t kGetTime = 0xC3;
inline constexpr uint8_t kSetTime = 0xC4;
inline constexpr uint8_t kGetSystemCfg = 0xC5;
inline constexpr uint8_t kSetSystemCfg = 0xC6;
inline constexpr uint8_t kGetStwCfg = 0xC7;
inline constexpr uint8_t kSetStwCfg = 0xC8;
inline constexpr uint8_t kGetAlarmCfg = 0xC9;
inline constexpr uint8_t kSetAlarmCfg = 0xCA;
inline constexpr uint8_t kReadRam = 0xD0;
inline constexpr uint8_t kWriteRam = 0xD1;
inline constexpr uint8_t kReadE2p = 0xD2;
inline constexpr uint8_t kWriteE2p = 0xD3;
inline constexpr uint8_t kReadPlug = 0xD4;
inline constexpr uint8_t kWritePlug = 0xD5;

// The erase parameter that turns new runs (or logs) into old ones.
inline constexpr uint8_t kEraseNewParameter = 0x01;

}  // namespace rdcom32::code
