#include "card_reader.h"

#include <cstdio>
#include <cstring>

#include "debug_log.h"

namespace rdcom32 {

CardReader::CardReader(pcsc::Context context, const char* readerName)
    : context(context), readerName(readerName) {}

// The reader kinds release the context in their own destructors (with their own log lines);
// this is the safety net for one that did not.
CardReader::~CardReader() {
    if (!contextReleased) (void)pcsc::releaseContext(context);
}

void CardReader::releaseContext(const char* className) {
    char line[64];
    std::snprintf(line, sizeof line, "%s/ReleaseCardReader", className);
    WriteLogLine(line);
    const pcsc::Result result = pcsc::releaseContext(context);
    contextReleased = true;
    std::snprintf(line, sizeof line, "%s/ReleaseCardReader: %s", className,
                  result == 0 ? "successfully" : "failed");
    WriteLogLine(line);
}

bool CardReader::Connect() {
    if (pcsc::connect(context, readerName.c_str(), &card, &activeProtocol) != 0) return false;
    polled = false;
    return true;
}

void CardReader::Disconnect() {
    (void)pcsc::disconnect(card);
    card = 0;
}

void CardReader::ClearBuffers() {
    std::memset(sendBuffer, 0, sizeof sendBuffer);
    std::memset(receiveBuffer, 0, sizeof receiveBuffer);
    sendLength = 0;
}

bool CardReader::Transmit() {
    ioRequest.dwProtocol = activeProtocol;
    ioRequest.cbPciLength = pcsc::kIoRequestLength;
    std::memset(receiveBuffer, 0, sizeof receiveBuffer);
    receiveLength = kExchangeBufferSize;
    const pcsc::Result result =
        pcsc::transmit(card, &ioRequest, sendBuffer, sendLength, receiveBuffer, &receiveLength);
    // A driver must not report more than the capacity; never trust it beyond the buffer.
    if (receiveLength > kExchangeBufferSize) receiveLength = kExchangeBufferSize;
    WriteLogDump("Sending Command:   ", sendBuffer, sendLength);
    WriteLogDump("Receiving Command: ", receiveBuffer, receiveLength);
    if (result == 0) return true;
    WriteLogNumber("SCardTransmit Failure: ", static_cast<int32_t>(result));
    if (receiveLength == kExchangeBufferSize) WriteLogLine("No data receving");
    return false;
}

}  // namespace rdcom32
