#include "acs_reader.h"

#include <cstring>

#include "acs_frames.h"
#include "acs_texts.h"
#include "debug_log.h"
#include "reader_log.h"

namespace rdcom32 {
namespace {

constexpr const char* kClassName = "AcsReader";

}  // namespace

AcsReader::AcsReader(pcsc::Context context, const char* readerName)
    : CommandSetReader(context, readerName) {}

AcsReader::~AcsReader() {
    releaseContext(kClassName);
}

bool AcsReader::sendCommand(const uint8_t* bytes, size_t length) {
    ClearBuffers();
    std::memcpy(sendBuffer, bytes, length);
    sendLength = static_cast<uint32_t>(length);
    return Transmit();
}

bool AcsReader::fetchAnswer() {
    // A reader that answered at once has handed the answer over already; a failure status
    // word stays in the buffer for the answer checks to reject.
    if (!acs::answerPending(receiveBuffer, receiveLength)) return true;
    const uint8_t le = receiveBuffer[1];  // the answer just received is 61 Le
    ClearBuffers();
    acs::buildGetResponse(le, sendBuffer);
    sendLength = acs::kGetResponseLength;
    return Transmit();
}

void AcsReader::antennaOff() {
    (void)sendCommand(acs::kAntennaOff, sizeof acs::kAntennaOff);
}

bool AcsReader::InitTransmitData() {
    WriteLogLine("InitTransmitData/SetExternTimeOut: ExternTimeOut Command");
    if (!sendCommand(acs::kSetTimeouts, sizeof acs::kSetTimeouts)) return false;
    WriteLogLine("InitTransmitData/SetPolling: Antenna ON Command");
    if (!sendCommand(acs::kAntennaOn, sizeof acs::kAntennaOn)) return false;
    if (polled) return true;
    WriteLogLine("InitTransmitData/SetPolling: Polling Command");
    if (!sendCommand(acs::kAutoPoll, sizeof acs::kAutoPoll)) {
        antennaOff();
        return false;
    }
    // Once sent, later operations on this connection skip it, card found or not.
    polled = true;
    return true;
}

int32_t AcsReader::Polling(const uint8_t* idm, uint8_t* /*pmmStore*/, uint8_t* idmOut,
                           uint8_t* pmmOut) {
    WriteLogLine("AcsReader/Polling");
    polled = false;
    if (!InitTransmitData()) {
        WriteLogLine("AcsReader/Polling/InitTransmitData: Polling Command error");
        return 0;
    }
    if (acs::noTagFound(receiveBuffer, receiveLength)) {
        WriteLogLine("AcsReader/Polling/SetPolling: Polling Command No Tag Found error");
        antennaOff();
        return 0;
    }
    WriteLogLine("AcsReader/Polling/SetReturn: Response Command");
    if (!fetchAnswer()) {
        WriteLogLine("AcsReader/Polling/SetReturn: Response Command error");
        antennaOff();
        return 0;
    }
    if (receiveLength != acs::kPollingAnswerLength) {
        WriteLogLine("AcsReader/Polling/SetReturn: Response Command Length error");
        antennaOff();
        return 0;
    }
    std::memcpy(idmOut, receiveBuffer + acs::kPollingIdmAt, kIdmSize);
    std::memcpy(pmmOut, receiveBuffer + acs::kPollingPmmAt, kIdmSize);
    const bool expected = std::memcmp(receiveBuffer + acs::kPollingIdmAt, idm, kIdmSize) == 0;
    antennaOff();
    return expected ? 1 : 2;
}

bool AcsReader::beginOperation(Operation operation) {
    writeOperationLine(kClassName, operationName(operation));
    if (InitTransmitData()) return true;
    writeStepLine(kClassName, operationName(operation), "InitTransmitData", "error");
    return false;
}

void AcsReader::finishOperation() {
    antennaOff();
}

void AcsReader::logZeroLength(Operation operation) {
    writeStepLine(kClassName, operationName(operation), "Length", "Zero");
}

bool AcsReader::exchange(Operation texts) {
    const acs::StepTexts& step = acs::stepTexts(texts);
    const char* name = operationName(texts);
    writeStepLine(kClassName, name, step.step, step.phrase);
    if (!Transmit()) {
        const char* phrase = step.errorPhrase != nullptr ? step.errorPhrase : step.phrase;
        writeStepLine(kClassName, name, step.step, phrase, " error");
        return false;
    }
    writeStepLine(kClassName, name, step.answerStep, "Response Command");
    if (!fetchAnswer()) {
        writeStepLine(kClassName, name, step.answerStep, "Response Command", " error");
        return false;
    }
    return true;
}

const uint8_t* AcsReader::readBlocks(Operation texts, const uint8_t* idm, int blocks) {
    ClearBuffers();
    sendLength = static_cast<uint32_t>(acs::buildRead(idm, blockList, blocks, sendBuffer));
    if (!exchange(texts)) return nullptr;
    if (!acs::readAnswerValid(receiveBuffer, receiveLength, idm, blocks)) return nullptr;
    return receiveBuffer + acs::kReadDataAt;
}

bool AcsReader::writeBlocks(Operation texts, const uint8_t* idm, int blocks) {
    ClearBuffers();
    sendLength = static_cast<uint32_t>(acs::buildWrite(idm, blockData, blocks, sendBuffer));
    if (!exchange(texts)) return false;
    return acs::writeAnswerValid(receiveBuffer, receiveLength, idm);
}

}  // namespace rdcom32
