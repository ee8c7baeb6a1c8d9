#include "stopwatch_session.h"

#include "output_file.h"
#include "rdcom32.h"
#include "reader_list.h"

namespace k7x {

StopwatchSession::StopwatchSession(const std::string& logDirectory) {
    if (!logDirectory.empty()) logProblem = openDebugLog(logDirectory);
}

StopwatchSession::~StopwatchSession() {
    if (!initialised) return;
    (void)RDCAA_CloseFelica();
    RDCAA_ExitDll();
}

SessionError StopwatchSession::open() {
    const ReaderListing listing = listReaders();
    if (!listing.serviceReached) return SessionError::NoService;
    if (listing.names.empty()) return SessionError::NoReader;
    reader = libraryReader(listing);
    if (reader.empty()) return SessionError::NoServedReader;
    if (RDCAA_InitDll(nullptr) != 1) return SessionError::LibraryInit;
    initialised = true;
    if (RDCAA_OpenFelica() != 1) return SessionError::NoStopwatch;
    uint8_t idm[8] = {};
    uint8_t pmm[8] = {};
    const int32_t polled = RDCAA_Polling(idm, pmm);
    if (polled == 2) return SessionError::ForeignCard;
    if (polled != 1) return SessionError::NoStopwatch;
    return SessionError::None;
}

std::string describe(SessionError error, const std::string& readerName) {
    switch (error) {
        case SessionError::None:
            return "ok";
        case SessionError::LibraryInit:
            return "The reader library could not be initialised.";
        case SessionError::NoService:
            return "No PC/SC service: is pcscd running?";
        case SessionError::NoReader:
            return "No reader found: connect a PC/SC contactless reader.";
        case SessionError::NoServedReader:
            return "No ACS or Sony reader found ('k7x-tool readers' lists the readers there are).";
        case SessionError::NoStopwatch:
            return "No stopwatch found on " + readerName + ": lay the stopwatch on the reader.";
        case SessionError::ForeignCard:
            return "The card on " + readerName + " is not a K7X Stopwatch.";
    }
    return "unknown error";
}

}  // namespace k7x
