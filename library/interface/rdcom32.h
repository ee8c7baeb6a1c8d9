// Public C interface of the RDCOM32 reader library: the 47 RDCAA_ exports.
//
// Every function returns 1 for success and 0 for failure (RDCAA_Polling also 2 for a
// FeliCa card whose IDm is not the expected one). Buffers belong to the caller; the
// library keeps no pointer to them after a call returns. The library is not thread-safe:
// one thread at a time, InitDll first and ExitDll last.
#ifndef RDCOM32_H
#define RDCOM32_H

#include <stdint.h>

#if defined(_WIN32)
#if defined(RDCOM32_BUILDING)
#define RDCAA_API __declspec(dllexport)
#else
#define RDCAA_API __declspec(dllimport)
#endif
#define RDCAA_CALL __stdcall
#else
#define RDCAA_API __attribute__((visibility("default")))
#define RDCAA_CALL
#endif

#ifdef __cplusplus
extern "C" {
#endif

// Life cycle. idm: 8 bytes or null for the default IDm 03 FE 00 24 00 00 01 02.
RDCAA_API int32_t RDCAA_CALL RDCAA_InitDll(const uint8_t* idm);
RDCAA_API void RDCAA_CALL RDCAA_ExitDll(void);

// Connection: the first PC/SC reader whose name contains "ACS", "Sony" or "SONY".
RDCAA_API int32_t RDCAA_CALL RDCAA_OpenFelica(void);
RDCAA_API int32_t RDCAA_CALL RDCAA_CloseFelica(void);
// idm, pmm: 8 bytes each, filled when a FeliCa card answered. 1 = expected card, 2 = other.
RDCAA_API int32_t RDCAA_CALL RDCAA_Polling(uint8_t* idm, uint8_t* pmm);

// Fixed-size stopwatch operations; the sizes are in bytes.
RDCAA_API int32_t RDCAA_CALL RDCAA_GetFirmVer(uint8_t* out3);
RDCAA_API int32_t RDCAA_CALL RDCAA_GetSerial(uint8_t* out6);
RDCAA_API int32_t RDCAA_CALL RDCAA_SetSerial(const uint8_t* in6);
RDCAA_API int32_t RDCAA_CALL RDCAA_GetProductName(uint8_t* out8);
RDCAA_API int32_t RDCAA_CALL RDCAA_SetProductName(const uint8_t* in8);
RDCAA_API int32_t RDCAA_CALL RDCAA_GetBattery(uint8_t* out1);
RDCAA_API int32_t RDCAA_CALL RDCAA_Beep(const uint8_t* in2);
RDCAA_API int32_t RDCAA_CALL RDCAA_Demo(const uint8_t* in1);
RDCAA_API int32_t RDCAA_CALL RDCAA_GetImpact(uint8_t* out9);
RDCAA_API int32_t RDCAA_CALL RDCAA_SetImpact(const uint8_t* in9);
RDCAA_API int32_t RDCAA_CALL RDCAA_SetPlan(const uint8_t* in146);
RDCAA_API int32_t RDCAA_CALL RDCAA_GetAccount(uint8_t* out7);
RDCAA_API int32_t RDCAA_CALL RDCAA_SetAccount(const uint8_t* in7);
RDCAA_API int32_t RDCAA_CALL RDCAA_GetTime(uint8_t* out6);
// in6: second, minute, hour, day, month, year - 2000; null sends the PC's local time.
RDCAA_API int32_t RDCAA_CALL RDCAA_SetTime(const uint8_t* in6);
RDCAA_API int32_t RDCAA_CALL RDCAA_GetSystemCfg(uint8_t* out9);
RDCAA_API int32_t RDCAA_CALL RDCAA_SetSystemCfg(const uint8_t* in9);
RDCAA_API int32_t RDCAA_CALL RDCAA_GetStwCfg(uint8_t* out27);
RDCAA_API int32_t RDCAA_CALL RDCAA_SetStwCfg(const uint8_t* in27);
RDCAA_API int32_t RDCAA_CALL RDCAA_GetAlarmCfg(uint8_t* out3);
RDCAA_API int32_t RDCAA_CALL RDCAA_SetAlarmCfg(const uint8_t* in3);

// Runs. out4: new-runs length and all-runs length, 16-bit little-endian each.
RDCAA_API int32_t RDCAA_CALL RDCAA_GetRunInfo(uint8_t* out4);
// buffer: up to 65535 bytes; the stopwatch is sent the erase with parameter 01 afterwards.
RDCAA_API int32_t RDCAA_CALL RDCAA_GetRunNew(uint8_t* buffer);
RDCAA_API int32_t RDCAA_CALL RDCAA_GetRunNewB(uint8_t* buffer, int32_t offset, int32_t length);
RDCAA_API int32_t RDCAA_CALL RDCAA_GetRunData(uint8_t* buffer);
RDCAA_API int32_t RDCAA_CALL RDCAA_GetRunDataB(uint8_t* buffer, int32_t offset, int32_t length);
RDCAA_API int32_t RDCAA_CALL RDCAA_EraseRun(const uint8_t* in1);

// Logs, laid out like the runs.
RDCAA_API int32_t RDCAA_CALL RDCAA_GetLogInfo(uint8_t* out4);
RDCAA_API int32_t RDCAA_CALL RDCAA_GetLogNew(uint8_t* buffer);
RDCAA_API int32_t RDCAA_CALL RDCAA_GetLogNewB(uint8_t* buffer, int32_t offset, int32_t length);
RDCAA_API int32_t RDCAA_CALL RDCAA_GetLogData(uint8_t* buffer);
RDCAA_API int32_t RDCAA_CALL RDCAA_GetLogDataB(uint8_t* buffer, int32_t offset, int32_t length);
RDCAA_API int32_t RDCAA_CALL RDCAA_EraseLog(const uint8_t* in1);

// Memory access: 16-bit addresses and lengths (RAM, E2PROM), 8-bit for the plug memory.
RDCAA_API int32_t RDCAA_CALL RDCAA_ReadRam(int32_t address, int32_t length, uint8_t* buffer);
RDCAA_API int32_t RDCAA_CALL RDCAA_WriteRam(int32_t address, int32_t length, const uint8_t* in);
RDCAA_API int32_t RDCAA_CALL RDCAA_ReadE2p(int32_t address, int32_t length, uint8_t* buffer);
RDCAA_API int32_t RDCAA_CALL RDCAA_WriteE2p(int32_t address, int32_t length, const uint8_t* in);
RDCAA_API int32_t RDCAA_CALL RDCAA_ReadPlug(int32_t address, int32_t length, uint8_t* buffer);
RDCAA_API int32_t RDCAA_CALL RDCAA_WritePlug(int32_t address, int32_t length, const uint8_t* in);

// Version (0x0100) and the debug log switches. directory must end with a separator.
RDCAA_API int32_t RDCAA_CALL RDCAA_GetDllVer(uint16_t* version);
RDCAA_API int32_t RDCAA_CALL RDCAA_SetDllLogOut(uint8_t on);
RDCAA_API int32_t RDCAA_CALL RDCAA_SetDllLogPath(const char* directory);

#ifdef __cplusplus
}
#endif

#endif  // RDCOM32_H
