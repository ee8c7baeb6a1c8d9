// The stopwatch operations of a reader other than Polling, in the reader's slot order; the
// framing uses them to pick its log texts.
#pragma once

#include <cstddef>
#include <cstdint>

namespace rdcom32 {

enum class Operation : uint8_t {
    GetFirmVer,
    GetSerial,
    SetSerial,
    GetProductName,
    SetProductName,
    GetBattery,
    Beep,
    Demo,
    GetImpact,
    SetImpact,
    SetPlan,
    GetAccount,
    SetAccount,
    GetTime,
    SetTime,
    GetSystemCfg,
    SetSystemCfg,
    GetStwCfg,
    SetStwCfg,
    GetAlarmCfg,
    SetAlarmCfg,
    GetRunInfo,
    GetRunNew,
    GetRunNewB,
    GetRunData,
    GetRunDataB,
    EraseRun,
    GetLogInfo,
    GetLogNew,
    GetLogNewB,
    GetLogData,
    GetLogDataB,
    EraseLog,
    ReadRamData,
    WriteRamData,
    ReadE2pData,
    WriteE2pData,
    ReadPlug,
    WritePlug,
};

inline constexpr size_t kOperationCount = static_cast<size_t>(Operation::WritePlug) + 1;

// The operation's name as the log writes it, e.g. "GetBattery".
[[nodiscard]] const char* operationName(Operation operation);

}  // namespace rdcom32
