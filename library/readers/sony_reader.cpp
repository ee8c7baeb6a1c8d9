#include "sony_reader.h"

#include <cstring>

#include "debug_log.h"
#include "reader_log.h"
#include "sony_frames.h"
#include "sony_texts.h"

namespace rdcom32 {
namespace {

constexpr const char* kClassName = "SonyReader";

struct NamedStatus {
    uint8_t sw1;
    uint8_t sw2;
    const char* line;
};

constexpr NamedStatus kNamedStatuses[] = {
    {0x65, 0x81, "SonyReader/ValidateData: Memory failure (unsuccessful writing)"},
    {0x69, 0x81, "SonyReader/ValidateData: Command incompatible"},
    {0x69, 0x82, "SonyReader/ValidateData: Security status not satisfied"},
    {0x69, 0x86, "SonyReader/ValidateData: Command not allowed"},
    {0x6A, 0x81, "SonyReader/ValidateData: Function not supported"},
    {0x6A, 0x82,
     "SonyReader/ValidateData: File not found / Addressed Block or Byte does not exist"},
};

}  // namespace

SonyReader::SonyReader(pcsc::Context context, const char* readerName)
    : CommandSetReader(context, readerName) {}

SonyReader::~SonyReader() {
    releaseContext(kClassName);
}

bool SonyReader::sendCommand(const uint8_t* bytes, size_t length) {
    ClearBuffers();
    std::memcpy(sendBuffer, bytes, length);
    sendLength = static_cast<uint32_t>(length);
    return Transmit();
}

int SonyReader::ValidateData(uint32_t position) {
    // A driver answer too short to hold a status word there names nothing.
    if (static_cast<size_t>(position) + sony::kStatusWordSize > receiveLength) return 1;
    const uint8_t sw1 = receiveBuffer[position];
    const uint8_t sw2 = receiveBuffer[position + 1];
    for (const NamedStatus& status : kNamedStatuses) {
        if (status.sw1 != sw1 || status.sw2 != sw2) continue;
        WriteLogLine(status.line);
        return 0;
    }
    return 1;
}

void SonyReader::reportRefusal() {
    if (receiveLength < sony::kStatusWordSize) return;
    // The operation has failed whatever the status word names.
    (void)ValidateData(receiveLength - static_cast<uint32_t>(sony::kStatusWordSize));
}

bool SonyReader::GetPmm(uint8_t* pmmStore) {
    WriteLogLine("SonyReader/GetPmm");
    WriteLogLine("SonyReader/GetPmm/SetPolling: Polling Get PMm Command");
    if (!sendCommand(sony::kGetPmm, sizeof sony::kGetPmm)) {
        WriteLogLine("SonyReader/GetPmm/SetPolling: Polling Command Get PMm error");
        return false;
    }
    if (!sony::pmmAnswerAccepted(receiveBuffer, receiveLength)) return false;
    std::memcpy(pmmStore, receiveBuffer, kIdmSize);
    return true;
}

int32_t SonyReader::Polling(const uint8_t* idm, uint8_t* pmmStore, uint8_t* idmOut,
                            uint8_t* pmmOut) {
    WriteLogLine("SonyReader/Polling");
    WriteLogLine("SonyReader/Polling/SetPolling: Polling Command");
    if (!sendCommand(sony::kGetIdm, sizeof sony::kGetIdm)) {
        WriteLogLine("SonyReader/Polling/SetPolling: Polling Command error");
        return 0;
    }
    if (!sony::idmAnswerAccepted(receiveBuffer, receiveLength)) {
        WriteLogLine("SonyReader/Polling/SetPolling: Polling Command Length error");
        return 0;
    }
    uint8_t cardIdm[kIdmSize];
    std::memcpy(cardIdm, receiveBuffer, kIdmSize);  // the PMm query reuses the buffer
    const int32_t result = std::memcmp(cardIdm, idm, kIdmSize) == 0 ? 1 : 2;
    const bool pmmRead = GetPmm(pmmStore);
    std::memcpy(idmOut, cardIdm, kIdmSize);
    std::memcpy(pmmOut, pmmStore, kIdmSize);
    return pmmRead ? result : 0;
}

bool SonyReader::beginOperation(Operation operation) {
    writeOperationLine(kClassName, operationName(operation));
    WriteLogLine("InitTransmitData/SetSelectFile: Select File Command");
    // Whatever the driver answers, only a transmitted Select File counts.
    if (sendCommand(sony::kSelectFile, sizeof sony::kSelectFile)) return true;
    writeStepLine(kClassName, operationName(operation), "InitTransmitData", "Connect Card error");
    return false;
}

// Nothing to switch off: the driver keeps the field to itself.
void SonyReader::finishOperation() {}

void SonyReader::logZeroLength(Operation operation) {
    writeStepLine(kClassName, operationName(operation), "Length", "Zero");
}

bool SonyReader::exchange(Operation texts) {
    const sony::StepTexts& step = sony::stepTexts(texts);
    const char* name = operationName(texts);
    writeStepLine(kClassName, name, step.step, step.phrase);
    if (Transmit()) return true;
    writeStepLine(kClassName, name, step.step, step.failure);
    return false;
}

const uint8_t* SonyReader::readBlocks(Operation texts, const uint8_t* /*idm*/, int blocks) {
    ClearBuffers();
    sendLength = static_cast<uint32_t>(sony::buildReadBinary(blockList, blocks, sendBuffer));
    if (!exchange(texts)) return nullptr;
    if (!sony::readAnswerAccepted(receiveBuffer, receiveLength, blocks)) {
        reportRefusal();
        return nullptr;
    }
    return receiveBuffer;
}

bool SonyReader::writeBlocks(Operation texts, const uint8_t* /*idm*/, int blocks) {
    ClearBuffers();
    sendLength = static_cast<uint32_t>(sony::buildUpdateBinary(blockData, blocks, sendBuffer));
    if (!exchange(texts)) return false;
    if (sony::endsInSuccess(receiveBuffer, receiveLength)) return true;
    reportRefusal();
    return false;
}

}  // namespace rdcom32
