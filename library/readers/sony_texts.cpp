#include "sony_texts.h"

namespace rdcom32::sony {
namespace {

constexpr const char* kRead = "SetReadCommand";
constexpr const char* kWrite = "SetWriteCommand";

// In Operation order. The capitals are irregular on purpose: they are the lines as the
// log has always shown them.
constexpr StepTexts kTexts[kOperationCount] = {
    {kRead, "Get Firm Ver Command", "Get Firm Ver Command error"},
    {kRead, "Get Serial Command", "Get Serial Command error"},
    {kWrite, "Set Serial Command", "Set Serial Command error"},
    {kRead, "Get Product Name Command", "Get Product Name Command error"},
    {kWrite, "Set Product Name Command", "Set Product Name error"},
    {kRead, "Get Battery Command", "Get Battery Command error"},
    {kWrite, "Set Beep Command", "Set Beep error"},
    {kWrite, "Set Demo Command", "Set Demo error"},
    {kRead, "Get Impact Command", "Get Impact Command error"},
    {kWrite, "Set Impact Command", "Set Impact error"},
    {kWrite, "Set Plan Command", "Set Plan error"},
    {kRead, "Get Account Command", "Get Account Command error"},
    {kWrite, "Set Account Command", "Set Account error"},
    {kRead, "Get Time Command", "Get Time Command error"},
    {kWrite, "Set Time Command", "Set Time error"},
    {kRead, "Get System Config Command", "Get System Config Command error"},
    {kWrite, "Set System config Command", "Set system config error"},
    {kRead, "Get Stw Config Command", "Get Stw Config Command error"},
    {kWrite, "Set Stw config Command", "Set Stw config error"},
    {kRead, "Get Alarm Config Command", "Get Alarm Config Command error"},
    {kWrite, "Set Alarm config Command", "Set Alarm config error"},
    {kRead, "Get Run Info Command", "Get Run Info Command error"},
    {kRead, "Get Run New Command", "Get Run New Command error"},
    {kRead, "Get Run New B Command", "Get Run New B Command error"},
    {kRead, "Get Run Data Command", "Get Run Data Command error"},
    {kRead, "Get Run Data B Command", "Get Run Data B Command error"},
    {kWrite, "Erase Run Command", "Erase Run Command error"},
    {kRead, "Get Log Info Command", "Get Log Info Command error"},
    {kRead, "Get Log New Command", "Get Log New Command error"},
    {kRead, "Get Log New B Command", "Get Log New B Command error"},
    {kRead, "Get Log Data Command", "Get Log Data Command error"},
    {kRead, "Get Log Data B Command", "Get Log Data B Command error"},
    {kWrite, "Erase Log Command", "Erase Log Command error"},
    {"SetReadRam", "Read RAM Command", "Read RAM Command error"},
    {"SetWriteRam", "Write RAM Command", "Write RAM Command error"},
    {"SetReadE2p", "Read E2PROM Command", "Read E2PROM Command error"},
    {"SetWriteE2p", "Write E2PROM Command", "Write E2PROM Command error"},
    {"SetReadE2p", "Read Plug Command", "Read Plug Command error"},
    {kWrite, "Set Write Plug Command", "Set Write Plug Command error"},
};

}  // namespace

const StepTexts& stepTexts(Operation operation) {
    return kTexts[static_cast<size_t>(operation)];
}

}  // namespace rdcom32::sony
