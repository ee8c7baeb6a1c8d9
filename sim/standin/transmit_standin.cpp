// SCardTransmit and SCardGetStatusChange of the stand-in: exchanges go to the emulated
// reader, pass through the scripted faults and land in the transcript.
#include <winscard.h>

#include <cstring>

#include "standin/pcsc_standin.h"
#include "standin/standin_state.h"

using sim::Standin;
using sim::standin::state;

namespace {

constexpr DWORD kPresence = SCARD_STATE_PRESENT | SCARD_STATE_EMPTY;

// The answer of the reader behind `connection`, or a PC/SC error for a lifted card.
LONG exchange(sim::standin::Connection& connection, const std::vector<uint8_t>& command,
              std::vector<uint8_t>& answer) {
    Standin& s = Standin::instance();
    if (sim::standin::cardReaderIndex() != static_cast<int>(connection.readerIndex)) {
        return SCARD_W_REMOVED_CARD;
    }
    if (s.readers[connection.readerIndex].emulation == sim::ReaderEmulation::Sony) {
        connection.sony.setCard(s.card.get());
        connection.sony.setFaults(&s.sonyFaults);
        answer = connection.sony.transmit(command);
        return SCARD_S_SUCCESS;
    }
    connection.emulator.setCard(s.card.get());
    answer = connection.emulator.transmit(command);
    return SCARD_S_SUCCESS;
}

}  // namespace

extern "C" {

LONG SCardTransmit(SCARDHANDLE hCard, const SCARD_IO_REQUEST* pioSendPci, LPCBYTE pbSendBuffer,
                   DWORD cbSendLength, SCARD_IO_REQUEST* pioRecvPci, LPBYTE pbRecvBuffer,
                   LPDWORD pcbRecvLength) {
    std::lock_guard<std::recursive_mutex> lock(state().mutex);
    Standin& s = Standin::instance();
    int index = static_cast<int>(s.transcript.size()) + 1;
    sim::Exchange record;
    if (pbSendBuffer) record.command.assign(pbSendBuffer, pbSendBuffer + cbSendLength);
    if (s.liftCardAt == index) s.card.reset();
    auto connection = state().connections.find(hCard);
    LONG result = SCARD_S_SUCCESS;
    if (connection == state().connections.end()) {
        result = SCARD_E_INVALID_HANDLE;
    } else if (!pioSendPci || !pbSendBuffer || !pbRecvBuffer || !pcbRecvLength) {
        result = SCARD_E_INVALID_PARAMETER;
    } else if (pioSendPci->dwProtocol != SCARD_PROTOCOL_T1) {
        result = SCARD_E_PROTO_MISMATCH;  // the card was connected with T=1
    } else if (s.failTransmitAt == index) {
        result = s.failTransmitCode;
    } else {
        result = exchange(connection->second, record.command, record.answer);
    }
    if (result == SCARD_S_SUCCESS && s.tamper) s.tamper(index, record.answer);
    if (result == SCARD_S_SUCCESS && record.answer.size() > *pcbRecvLength) {
        result = SCARD_E_INSUFFICIENT_BUFFER;
    }
    if (result == SCARD_S_SUCCESS) {
        std::memcpy(pbRecvBuffer, record.answer.data(), record.answer.size());
        *pcbRecvLength = static_cast<DWORD>(record.answer.size());
        // pcsc-lite 1.9.9 hands back protocol 1 here after a T=1 exchange with vpcd, so a
        // caller that reuses the header without setting it again fails the next exchange.
        if (pioRecvPci) pioRecvPci->dwProtocol = SCARD_PROTOCOL_T0;
    } else {
        record.answer.clear();
    }
    record.result = result;
    s.transcript.push_back(std::move(record));
    return result;
}

// Answers at once: SCARD_E_TIMEOUT when no reader's presence differs from what the
// caller knows, as pcsc-lite would after the time-out.
LONG SCardGetStatusChange(SCARDCONTEXT hContext, DWORD, SCARD_READERSTATE* rgReaderStates,
                          DWORD cReaders) {
    std::lock_guard<std::recursive_mutex> lock(state().mutex);
    Standin& s = Standin::instance();
    if (!state().contexts.count(hContext)) return SCARD_E_INVALID_HANDLE;
    if (cReaders > 0 && !rgReaderStates) return SCARD_E_INVALID_PARAMETER;
    bool changed = false;
    for (DWORD i = 0; i < cReaders; ++i) {
        SCARD_READERSTATE& rs = rgReaderStates[i];
        int index = -1;
        for (size_t r = 0; r < s.readers.size(); ++r) {
            if (rs.szReader && s.readers[r].name == rs.szReader) index = static_cast<int>(r);
        }
        if (index < 0) {
            rs.dwEventState = rs.dwCurrentState;  // the PnP pseudo reader, or an unknown one
            continue;
        }
        bool present = sim::standin::cardReaderIndex() == index;
        rs.dwEventState = present ? SCARD_STATE_PRESENT : SCARD_STATE_EMPTY;
        rs.cbAtr = present ? sizeof sim::kFelicaAtr : 0;
        if (present) std::memcpy(rs.rgbAtr, sim::kFelicaAtr, sizeof sim::kFelicaAtr);
        if ((rs.dwCurrentState & kPresence) != rs.dwEventState) {
            rs.dwEventState |= SCARD_STATE_CHANGED;
            changed = true;
        }
    }
    return changed ? SCARD_S_SUCCESS : SCARD_E_TIMEOUT;
}

}  // extern "C"
