// Exports of the life cycle, the connection, the version and the log switches.
#include <cstring>
#include <new>

#include "discovery.h"
#include "export_guard.h"
#include "rdcom32.h"

using namespace rdcom32;

namespace {

constexpr uint16_t kDllVersion = 0x0100;

uint8_t* allocateIdmBytes() {
    uint8_t* bytes = new (std::nothrow) uint8_t[kIdmSize];
    if (bytes != nullptr) std::memset(bytes, 0, kIdmSize);
    return bytes;
}

}  // namespace

int32_t RDCAA_CALL RDCAA_InitDll(const uint8_t* idm) {
    return shielded([&]() -> int32_t {
        LibraryState& state = libraryState();
        // A repeated call keeps an open connection and only takes the new IDm.
        if (state.currentReader == nullptr) state.readerOpen = false;
        if (state.targetIdm == nullptr) state.targetIdm = allocateIdmBytes();
        if (state.pmmStore == nullptr) state.pmmStore = allocateIdmBytes();
        if (state.targetIdm == nullptr) return 0;
        std::memcpy(state.targetIdm, idm != nullptr ? idm : kDefaultIdm, kIdmSize);
        return 1;
    });
}

void RDCAA_CALL RDCAA_ExitDll(void) {
    (void)shielded([]() -> int32_t {
        writeBanner("RDCAA_ExitDll");
        LibraryState& state = libraryState();
        if (state.currentReader != nullptr) {
            if (state.readerOpen) (void)RDCAA_CloseFelica();
            state.readerOpen = false;
            destroyReader(state);
        }
        delete[] state.targetIdm;
        delete[] state.pmmStore;
        state.targetIdm = nullptr;
        state.pmmStore = nullptr;
        WriteLogLine("Release memories: successfully");
        closeLog();
        return 1;
    });
}

int32_t RDCAA_CALL RDCAA_OpenFelica(void) {
    return shielded([]() -> int32_t {
        writeBanner("RDCAA_OpenFelica");
        LibraryState& state = libraryState();
        if (state.readerOpen) return 1;
        // Before RDCAA_InitDll there is no IDm to talk to a stopwatch with.
        if (state.targetIdm == nullptr) return 0;
        return discoverAndConnect(state);
    });
}

int32_t RDCAA_CALL RDCAA_CloseFelica(void) {
    return shielded([]() -> int32_t {
        writeBanner("RDCAA_CloseFelica");
        LibraryState& state = libraryState();
        if (!state.readerOpen || state.currentReader == nullptr) return 0;
        state.currentReader->Disconnect();
        state.readerOpen = false;
        destroyReader(state);
        return 1;
    });
}

int32_t RDCAA_CALL RDCAA_Polling(uint8_t* idm, uint8_t* pmm) {
    const ArgumentCheck check =
        idm != nullptr && pmm != nullptr ? ArgumentCheck::Accepted : ArgumentCheck::Refused;
    return forward("RDCAA_Polling", check, [&](CardReader& reader, const uint8_t* target) {
        return reader.Polling(target, libraryState().pmmStore, idm, pmm);
    });
}

int32_t RDCAA_CALL RDCAA_GetDllVer(uint16_t* version) {
    return shielded([&]() -> int32_t {
        writeBanner("RDCAA_GetDllVer");
        if (version == nullptr) {
            WriteLogLine("DLL Version: failure");
            return 0;
        }
        *version = kDllVersion;
        const uint8_t bytes[2] = {kDllVersion >> 8, kDllVersion & 0xFF};
        WriteLogDump("DLL version: ", bytes, sizeof bytes);
        return 1;
    });
}

int32_t RDCAA_CALL RDCAA_SetDllLogOut(uint8_t on) {
    return shielded([&]() -> int32_t { return writeLogOutBanners(on); });
}

int32_t RDCAA_CALL RDCAA_SetDllLogPath(const char* directory) {
    return shielded([&]() -> int32_t {
        const int bannerWritten = writeBanner("RDCAA_SetDllLogPath");
        if (directory == nullptr) return bannerWritten;
        return openLogIn(directory);
    });
}
