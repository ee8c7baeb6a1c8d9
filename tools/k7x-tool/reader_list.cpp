#include "reader_list.h"

#include <winscard.h>

#include <cstring>

namespace k7x {

ReaderListing listReaders() {
    ReaderListing listing;
    SCARDCONTEXT context = 0;
    listing.serviceResult = SCardEstablishContext(SCARD_SCOPE_USER, nullptr, nullptr, &context);
    if (listing.serviceResult != SCARD_S_SUCCESS) return listing;
    listing.serviceReached = true;
    DWORD length = 0;
    if (SCardListReaders(context, nullptr, nullptr, &length) == SCARD_S_SUCCESS && length > 0) {
        std::vector<char> names(length + 2, '\0');
        if (SCardListReaders(context, nullptr, names.data(), &length) == SCARD_S_SUCCESS) {
            for (const char* name = names.data(); *name != '\0'; name += std::strlen(name) + 1) {
                listing.names.emplace_back(name);
            }
        }
    }
    SCardReleaseContext(context);
    return listing;
}

ReaderKind readerKind(const std::string& name) {
    if (name.find("ACS") != std::string::npos) return ReaderKind::Acs;
    if (name.find("Sony") != std::string::npos || name.find("SONY") != std::string::npos) {
        return ReaderKind::Sony;
    }
    return ReaderKind::None;
}

std::string libraryReader(const ReaderListing& listing) {
    for (const std::string& name : listing.names) {
        if (readerKind(name) != ReaderKind::None) return name;
    }
    return {};
}

bool cardPresent(const std::string& reader) {
    SCARDCONTEXT context = 0;
    if (SCardEstablishContext(SCARD_SCOPE_USER, nullptr, nullptr, &context) != SCARD_S_SUCCESS) {
        return false;
    }
    SCARD_READERSTATE state{};
    state.szReader = reader.c_str();
    state.dwCurrentState = SCARD_STATE_UNAWARE;
    const LONG result = SCardGetStatusChange(context, 0, &state, 1);
    SCardReleaseContext(context);
    return result == SCARD_S_SUCCESS && (state.dwEventState & SCARD_STATE_PRESENT) != 0;
}

}  // namespace k7x
