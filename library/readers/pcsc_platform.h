// The only place that calls the platform's PC/SC service (winscard on Windows, pcsc-lite
// elsewhere); everything else of the library uses these thin wrappers and types.
#pragma once

#include <winscard.h>

#include <cstdint>

namespace rdcom32::pcsc {

using Context = SCARDCONTEXT;
using Card = SCARDHANDLE;
using IoRequest = SCARD_IO_REQUEST;
// A PC/SC result code; 0 (SCARD_S_SUCCESS) is success.
using Result = LONG;

// The header length of an I/O request: 8 on Windows, wider where DWORD is 64 bits.
inline constexpr uint32_t kIoRequestLength = sizeof(SCARD_IO_REQUEST);

// User scope, no reserved pointers.
[[nodiscard]] Result establishContext(Context* context);
// The multi-string of reader names of all groups. With a null buffer only the length (in
// bytes, terminators included) is stored in *length.
[[nodiscard]] Result listReaders(Context context, char* buffer, uint32_t* length);
// Shared mode, T=0 or T=1.
[[nodiscard]] Result connect(Context context, const char* readerName, Card* card,
                             uint32_t* activeProtocol);
// One APDU exchange. `io` serves as both the send and the receive header. *receiveLength
// gives the capacity before and the bytes received after the call.
[[nodiscard]] Result transmit(Card card, IoRequest* io, const uint8_t* send, uint32_t sendLength,
                              uint8_t* receive, uint32_t* receiveLength);
// Leaves the card as it is.
Result disconnect(Card card);
Result releaseContext(Context context);

}  // namespace rdcom32::pcsc
