#include "acs_texts.h"

namespace rdcom32::acs {
namespace {

constexpr const char* kRead = "SetReadCommand";
constexpr const char* kWrite = "SetWriteCommand";
constexpr const char* kReturn = "SetReturn";

// In Operation order.
constexpr StepTexts kTexts[kOperationCount] = {
    {kRead, "Get Firm Ver Command", nullptr, kRead},
    {kRead, "Get Serial Command", nullptr, kRead},
    {kWrite, "Set Serial Command", nullptr, kReturn},
    {kRead, "Get Product Name Command", nullptr, kRead},
    {kWrite, "Write Product Name Command", nullptr, kReturn},
    {kRead, "Get Battery Level Command", nullptr, kRead},
    {kWrite, "Write Beep Command", nullptr, kReturn},
    {kWrite, "Write Demo Command", nullptr, kReturn},
    {kRead, "Get Impact Command", nullptr, kRead},
    {kWrite, "Write Impact Command", nullptr, kReturn},
    {kWrite, "Write Plan Command", nullptr, kReturn},
    {kRead, "Get Account Command", nullptr, kRead},
    {kWrite, "Write Account Command", nullptr, kReturn},
    {kRead, "Get Time Command", nullptr, kRead},
    {kWrite, "Set Time Command", nullptr, kReturn},
    {kRead, "Get System config Command", "Get System Config Command", kRead},
    {kWrite, "Write System Config Command", nullptr, kReturn},
    {kRead, "Get Stw config Command", "Get Stw Config Command", kRead},
    {kWrite, "Write Stw Config Command", nullptr, kReturn},
    {kRead, "Get Alarm config Command", "Get Alarm Config Command", kRead},
    {kWrite, "Write Alarm Config Command", nullptr, kReturn},
    {kRead, "Get Run Info Command", nullptr, kRead},
    {kRead, "Get Run New Command", nullptr, kRead},
    {kRead, "Get Run New B Command", nullptr, kRead},
    {kRead, "Get Run Data Command", nullptr, kRead},
    {kRead, "Get Run Data B Command", nullptr, kRead},
    {"SetEraseRun", "Erase Run Command", nullptr, kReturn},
    {kRead, "Get Log Info Command", nullptr, kRead},
    {kRead, "Get Log New Command", nullptr, kRead},
    {kRead, "Get Log New B Command", nullptr, kRead},
    {kRead, "Get Log Data Command", nullptr, kRead},
    {kRead, "Get Log Data B Command", nullptr, kRead},
    {"SetEraseLog", "Erase Log Command", nullptr, kReturn},
    {"SetReadRam", "Read RAM Command", nullptr, kReturn},
    {"SetWriteRam", "Write RAM Command", nullptr, kReturn},
    {"SetReadE2p", "Read E2PROM Command", nullptr, "SetReadE2p"},
    {"SetWriteE2p", "Write E2PROM Command", nullptr, kReturn},
    {kRead, "Read Plug Command", nullptr, kRead},
    {kWrite, "Write Plug Command", nullptr, kReturn},
};

}  // namespace

const StepTexts& stepTexts(Operation operation) {
    return kTexts[static_cast<size_t>(operation)];
}

}  // namespace rdcom32::acs
