// Exports of the fixed-size stopwatch operations: each forwards to the open reader.
#include "export_guard.h"
#include "rdcom32.h"

using namespace rdcom32;

int32_t RDCAA_CALL RDCAA_GetFirmVer(uint8_t* out3) {
    return forward(
        "RDCAA_GetFirmVer", given(out3),
        [&](CardReader& reader, const uint8_t* idm) { return reader.GetFirmVer(idm, out3); },
        "Get Firm Version failure");
}

int32_t RDCAA_CALL RDCAA_GetSerial(uint8_t* out6) {
    return forward("RDCAA_GetSerial", given(out6), [&](CardReader& reader, const uint8_t* idm) {
        return reader.GetSerial(idm, out6);
    });
}

int32_t RDCAA_CALL RDCAA_SetSerial(const uint8_t* in6) {
    return forward("RDCAA_SetSerial", given(in6), [&](CardReader& reader, const uint8_t* idm) {
        return reader.SetSerial(idm, in6);
    });
}

int32_t RDCAA_CALL RDCAA_GetProductName(uint8_t* out8) {
    return forward(
        "RDCAA_GetProductName", given(out8),
        [&](CardReader& reader, const uint8_t* idm) { return reader.GetProductName(idm, out8); });
}

int32_t RDCAA_CALL RDCAA_SetProductName(const uint8_t* in8) {
    return forward("RDCAA_SetProductName", given(in8), [&](CardReader& reader, const uint8_t* idm) {
        return reader.SetProductName(idm, in8);
    });
}

int32_t RDCAA_CALL RDCAA_GetBattery(uint8_t* out1) {
    return forward("RDCAA_GetBattery", given(out1), [&](CardReader& reader, const uint8_t* idm) {
        return reader.GetBattery(idm, out1);
    });
}

int32_t RDCAA_CALL RDCAA_Beep(const uint8_t* in2) {
    return forward("RDCAA_Beep", given(in2),
                   [&](CardReader& reader, const uint8_t* idm) { return reader.Beep(idm, in2); });
}

int32_t RDCAA_CALL RDCAA_Demo(const uint8_t* in1) {
    return forward("RDCAA_Demo", given(in1),
                   [&](CardReader& reader, const uint8_t* idm) { return reader.Demo(idm, in1); });
}

int32_t RDCAA_CALL RDCAA_GetImpact(uint8_t* out9) {
    return forward("RDCAA_GetImpact", given(out9), [&](CardReader& reader, const uint8_t* idm) {
        return reader.GetImpact(idm, out9);
    });
}

int32_t RDCAA_CALL RDCAA_SetImpact(const uint8_t* in9) {
    return forward("RDCAA_SetImpact", given(in9), [&](CardReader& reader, const uint8_t* idm) {
        return reader.SetImpact(idm, in9);
    });
}

int32_t RDCAA_CALL RDCAA_SetPlan(const uint8_t* in146) {
    return forward("RDCAA_SetPlan", given(in146), [&](CardReader& reader, const uint8_t* idm) {
        return reader.SetPlan(idm, in146);
    });
}

int32_t RDCAA_CALL RDCAA_GetAccount(uint8_t* out7) {
    return forward("RDCAA_GetAccount", given(out7), [&](CardReader& reader, const uint8_t* idm) {
        return reader.GetAccount(idm, out7);
    });
}

int32_t RDCAA_CALL RDCAA_SetAccount(const uint8_t* in7) {
    return forward("RDCAA_SetAccount", given(in7), [&](CardReader& reader, const uint8_t* idm) {
        return reader.SetAccount(idm, in7);
    });
}

int32_t RDCAA_CALL RDCAA_GetTime(uint8_t* out6) {
    return forward("RDCAA_GetTime", given(out6), [&](CardReader& reader, const uint8_t* idm) {
        return reader.GetTime(idm, out6);
    });
}

// A null in6 is forwarded: the reader then sends the PC's local time.
int32_t RDCAA_CALL RDCAA_SetTime(const uint8_t* in6) {
    return forward(
        "RDCAA_SetTime", ArgumentCheck::Accepted,
        [&](CardReader& reader, const uint8_t* idm) { return reader.SetTime(idm, in6); });
}

int32_t RDCAA_CALL RDCAA_GetSystemCfg(uint8_t* out9) {
    return forward("RDCAA_GetSystemCfg", given(out9), [&](CardReader& reader, const uint8_t* idm) {
        return reader.GetSystemCfg(idm, out9);
    });
}

int32_t RDCAA_CALL RDCAA_SetSystemCfg(const uint8_t* in9) {
    return forward("RDCAA_SetSystemCfg", given(in9), [&](CardReader& reader, const uint8_t* idm) {
        return reader.SetSystemCfg(idm, in9);
    });
}

int32_t RDCAA_CALL RDCAA_GetStwCfg(uint8_t* out27) {
    return forward("RDCAA_GetStwCfg", given(out27), [&](CardReader& reader, const uint8_t* idm) {
        return reader.GetStwCfg(idm, out27);
    });
}

int32_t RDCAA_CALL RDCAA_SetStwCfg(const uint8_t* in27) {
    return forward("RDCAA_SetStwCfg", given(in27), [&](CardReader& reader, const uint8_t* idm) {
        return reader.SetStwCfg(idm, in27);
    });
}

int32_t RDCAA_CALL RDCAA_GetAlarmCfg(uint8_t* out3) {
    return forward("RDCAA_GetAlarmCfg", given(out3), [&](CardReader& reader, const uint8_t* idm) {
        return reader.GetAlarmCfg(idm, out3);
    });
}

int32_t RDCAA_CALL RDCAA_SetAlarmCfg(const uint8_t* in3) {
    return forward("RDCAA_SetAlarmCfg", given(in3), [&](CardReader& reader, const uint8_t* idm) {
        return reader.SetAlarmCfg(idm, in3);
    });
}
