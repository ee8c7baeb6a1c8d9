#include "operation.h"

namespace rdcom32 {
namespace {

constexpr const char* kNames[kOperationCount] = {
    "GetFirmVer",   "GetSerial",   "SetSerial",   "GetProductName", "SetProductName", "GetBattery",
    "Beep",         "Demo",        "GetImpact",   "SetImpact",      "SetPlan",        "GetAccount",
    "SetAccount",   "GetTime",     "SetTime",     "GetSystemCfg",   "SetSystemCfg",   "GetStwCfg",
    "SetStwCfg",    "GetAlarmCfg", "SetAlarmCfg", "GetRunInfo",     "GetRunNew",      "GetRunNewB",
    "GetRunData",   "GetRunDataB", "EraseRun",    "GetLogInfo",     "GetLogNew",      "GetLogNewB",
    "GetLogData",   "GetLogDataB", "EraseLog",    "ReadRamData",    "WriteRamData",   "ReadE2pData",
    "WriteE2pData", "ReadPlug",    "WritePlug",
};

}  // namespace

const char* operationName(Operation operation) {
    return kNames[static_cast<size_t>(operation)];
}

}  // namespace rdcom32
