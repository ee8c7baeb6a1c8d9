#include "pcsc_platform.h"

namespace rdcom32::pcsc {

#if defined(_WIN32)
#define RDCOM32_SCARD_LIST SCardListReadersA
#define RDCOM32_SCARD_CONNECT SCardConnectA
#else
#define RDCOM32_SCARD_LIST SCardListReaders
#define RDCOM32_SCARD_CONNECT SCardConnect
#endif

Result establishContext(Context* context) {
    return SCardEstablishContext(SCARD_SCOPE_USER, nullptr, nullptr, context);
}

Result listReaders(Context context, char* buffer, uint32_t* length) {
    DWORD size = buffer == nullptr ? 0 : *length;
    const Result result = RDCOM32_SCARD_LIST(context, nullptr, buffer, &size);
    *length = static_cast<uint32_t>(size);
    return result;
}

Result connect(Context context, const char* readerName, Card* card, uint32_t* activeProtocol) {
    DWORD protocol = 0;
    const Result result =
        RDCOM32_SCARD_CONNECT(context, readerName, SCARD_SHARE_SHARED,
                              SCARD_PROTOCOL_T0 | SCARD_PROTOCOL_T1, card, &protocol);
    *activeProtocol = static_cast<uint32_t>(protocol);
    return result;
}

Result transmit(Card card, IoRequest* io, const uint8_t* send, uint32_t sendLength,
                uint8_t* receive, uint32_t* receiveLength) {
    DWORD received = *receiveLength;
    const Result result = SCardTransmit(card, io, send, sendLength, io, receive, &received);
    *receiveLength = static_cast<uint32_t>(received);
    return result;
}

Result disconnect(Card card) {
    return SCardDisconnect(card, SCARD_LEAVE_CARD);
}

Result releaseContext(Context context) {
    return SCardReleaseContext(context);
}

}  // namespace rdcom32::pcsc
