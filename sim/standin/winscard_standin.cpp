// pcsc-lite's SCard functions, answered in-process by the scripted Standin.
#include <winscard.h>

#include <cstdlib>
#include <cstring>

#include "standin/pcsc_standin.h"
#include "standin/standin_state.h"

using sim::Standin;
using sim::standin::Connection;
using sim::standin::state;

extern "C" {

const SCARD_IO_REQUEST g_rgSCardT0Pci = {SCARD_PROTOCOL_T0, sizeof(SCARD_IO_REQUEST)};
const SCARD_IO_REQUEST g_rgSCardT1Pci = {SCARD_PROTOCOL_T1, sizeof(SCARD_IO_REQUEST)};
const SCARD_IO_REQUEST g_rgSCardRawPci = {SCARD_PROTOCOL_RAW, sizeof(SCARD_IO_REQUEST)};

LONG SCardEstablishContext(DWORD, LPCVOID, LPCVOID, LPSCARDCONTEXT phContext) {
    std::lock_guard<std::recursive_mutex> lock(state().mutex);
    Standin& s = Standin::instance();
    if (!phContext) return SCARD_E_INVALID_PARAMETER;
    if (s.failEstablish) return SCARD_E_NO_SERVICE;
    ++s.establishCount;
    *phContext = state().nextHandle++;
    state().contexts.insert(*phContext);
    return SCARD_S_SUCCESS;
}

LONG SCardReleaseContext(SCARDCONTEXT hContext) {
    std::lock_guard<std::recursive_mutex> lock(state().mutex);
    if (state().contexts.erase(hContext) == 0) return SCARD_E_INVALID_HANDLE;
    ++Standin::instance().releaseCount;
    return SCARD_S_SUCCESS;
}

LONG SCardIsValidContext(SCARDCONTEXT hContext) {
    std::lock_guard<std::recursive_mutex> lock(state().mutex);
    return state().contexts.count(hContext) ? SCARD_S_SUCCESS : SCARD_E_INVALID_HANDLE;
}

// Multi-string of the reader names: each zero-terminated, then one more zero.
LONG SCardListReaders(SCARDCONTEXT hContext, LPCSTR, LPSTR mszReaders, LPDWORD pcchReaders) {
    std::lock_guard<std::recursive_mutex> lock(state().mutex);
    Standin& s = Standin::instance();
    int call = ++s.listCount;
    if (!pcchReaders) return SCARD_E_INVALID_PARAMETER;
    if (!state().contexts.count(hContext)) return SCARD_E_INVALID_HANDLE;
    if (s.failList || call == s.failListAt) return SCARD_E_NO_SERVICE;
    if (s.readers.empty()) return SCARD_E_NO_READERS_AVAILABLE;
    std::string list;
    for (const auto& reader : s.readers) list.append(reader.name).push_back('\0');
    list.push_back('\0');
    DWORD needed = static_cast<DWORD>(list.size());
    if (!mszReaders) {
        *pcchReaders = needed;
        return SCARD_S_SUCCESS;
    }
    if (*pcchReaders == SCARD_AUTOALLOCATE) {
        char* buffer = static_cast<char*>(std::malloc(needed));
        std::memcpy(buffer, list.data(), needed);
        state().allocations.insert(buffer);
        *reinterpret_cast<LPSTR*>(mszReaders) = buffer;
        *pcchReaders = needed;
        return SCARD_S_SUCCESS;
    }
    bool fits = *pcchReaders >= needed;
    *pcchReaders = needed;
    if (!fits) return SCARD_E_INSUFFICIENT_BUFFER;
    std::memcpy(mszReaders, list.data(), needed);
    return SCARD_S_SUCCESS;
}

LONG SCardFreeMemory(SCARDCONTEXT, LPCVOID pvMem) {
    std::lock_guard<std::recursive_mutex> lock(state().mutex);
    if (state().allocations.erase(pvMem) == 0) return SCARD_E_INVALID_PARAMETER;
    std::free(const_cast<void*>(pvMem));
    return SCARD_S_SUCCESS;
}

LONG SCardConnect(SCARDCONTEXT hContext, LPCSTR szReader, DWORD, DWORD dwPreferredProtocols,
                  LPSCARDHANDLE phCard, LPDWORD pdwActiveProtocol) {
    std::lock_guard<std::recursive_mutex> lock(state().mutex);
    Standin& s = Standin::instance();
    ++s.connectCount;
    if (!szReader || !phCard || !pdwActiveProtocol) return SCARD_E_INVALID_PARAMETER;
    s.connectedReaders.emplace_back(szReader);
    if (!state().contexts.count(hContext)) return SCARD_E_INVALID_HANDLE;
    size_t index = 0;
    while (index < s.readers.size() && s.readers[index].name != szReader) ++index;
    if (index == s.readers.size()) return SCARD_E_UNKNOWN_READER;
    if (s.readers[index].refuseConnect) return SCARD_E_SHARING_VIOLATION;
    if (sim::standin::cardReaderIndex() != static_cast<int>(index)) return SCARD_E_NO_SMARTCARD;
    if (!(dwPreferredProtocols & SCARD_PROTOCOL_T1)) return SCARD_E_PROTO_MISMATCH;
    *phCard = state().nextHandle++;
    Connection& connection = state().connections[*phCard];
    connection.readerIndex = index;
    connection.emulator.setCard(s.card.get());
    connection.emulator.setAnswers(s.readers[index].acsAnswers);
    connection.emulator.powerOn();
    connection.sony.setCard(s.card.get());
    connection.sony.powerOn();
    *pdwActiveProtocol = SCARD_PROTOCOL_T1;
    return SCARD_S_SUCCESS;
}

LONG SCardDisconnect(SCARDHANDLE hCard, DWORD) {
    std::lock_guard<std::recursive_mutex> lock(state().mutex);
    ++Standin::instance().disconnectCount;
    if (state().connections.erase(hCard) == 0) return SCARD_E_INVALID_HANDLE;
    return SCARD_S_SUCCESS;
}

}  // extern "C"
