#include "tool_commands.h"

#include <sys/stat.h>

#include <cstdio>
#include <vector>

#include "count_words.h"
#include "engine/serial_text.h"
#include "interruption.h"
#include "output_file.h"
#include "rdcom32.h"
#include "reader_list.h"
#include "stopwatch_format.h"
#include "stopwatch_session.h"

namespace k7x {
namespace {

constexpr int kSuccess = 0;
constexpr int kFailure = 1;
constexpr size_t kRunBufferSize = 65535;

int fail(const std::string& message) {
    std::fprintf(stderr, "k7x-tool: %s\n", message.c_str());
    return kFailure;
}

// Opens the session or says why not; true when the stopwatch answered. A debug log that
// was asked for but cannot be opened stops the command before the stopwatch is touched.
bool openSession(StopwatchSession& session) {
    if (!session.logReady()) {
        fail(session.logError());
        return false;
    }
    const SessionError error = session.open();
    if (error == SessionError::None) return true;
    fail(describe(error, session.readerName()));
    return false;
}

bool fileExists(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
}

void printLine(const char* label, const std::string& value) {
    std::printf("%-15s %s\n", label, value.c_str());
}

}  // namespace

int runReaders() {
    const ReaderListing listing = listReaders();
    if (!listing.serviceReached) return fail(describe(SessionError::NoService, ""));
    if (listing.names.empty()) return fail(describe(SessionError::NoReader, ""));
    const std::string chosen = libraryReader(listing);
    for (const std::string& name : listing.names) {
        std::printf("%s%s\n", name.c_str(), name == chosen ? "   (used by RDCOM32)" : "");
    }
    return kSuccess;
}

int runInfo(const Invocation& invocation) {
    StopwatchSession session(invocation.logDirectory);
    if (!openSession(session)) return kFailure;
    uint8_t serial[6], firmware[3], name[8], battery[2], clock[6], runInfo[4];
    if (RDCAA_GetSerial(serial) != 1) return fail("reading the serial number failed");
    if (RDCAA_GetFirmVer(firmware) != 1) return fail("reading the firmware version failed");
    if (RDCAA_GetProductName(name) != 1) return fail("reading the product name failed");
    if (RDCAA_ReadPlug(4, 2, battery) != 1) return fail("reading the battery value failed");
    if (RDCAA_GetTime(clock) != 1) return fail("reading the clock failed");
    if (RDCAA_GetRunInfo(runInfo) != 1) return fail("reading the run information failed");
    printLine("Reader:", session.readerName());
    printLine("Serial:", lapdex::serialText(serial));
    printLine("Firmware:", hexBytes(firmware, sizeof firmware));
    printLine("Product name:", productNameText(name) + " (" + hexBytes(name, sizeof name) + ")");
    printLine("Product type:", std::to_string(name[7]));
    printLine("Battery (raw):", std::to_string(littleEndian16(battery)));
    printLine("Clock:", clockText(clock));
    printLine("New runs:", std::to_string(littleEndian16(runInfo)) + " bytes");
    printLine("All runs:", std::to_string(littleEndian16(runInfo + 2)) + " bytes");
    return kSuccess;
}

int runDump(const Invocation& invocation) {
    catchInterruptions();
    const bool onlyNew = invocation.command == Command::DumpNew;
    const std::string& file = invocation.file;
    const size_t slash = file.find_last_of('/');
    const std::string folder = slash == std::string::npos ? "." : file.substr(0, slash);
    (void)removeDeadTemporaries(folder, false,
                                file.substr(slash == std::string::npos ? 0 : slash + 1));
    // Reading the runs erases the "new" marking on the stopwatch: the output must be
    // known to be writable before that.
    std::string error;
    OutputFolder outputFolder;
    if (!outputFolder.make(folder, error)) return fail("cannot write " + file + ": " + error);
    if (invocation.overwrite == lapdex::Overwrite::Refuse && fileExists(file))
        return fail(file + " exists; nothing was written (--force replaces it)");
    OutputFile output;
    if (!output.open(file, error, kRunBufferSize)) return fail(error);
    StopwatchSession session(invocation.logDirectory);
    if (!openSession(session)) return kFailure;
    uint8_t runInfo[4];
    if (RDCAA_GetRunInfo(runInfo) != 1) return fail("reading the run information failed");
    const size_t length = littleEndian16(onlyNew ? runInfo : runInfo + 2);
    std::vector<uint8_t> buffer(kRunBufferSize);
    // Up to here the stopwatch is unchanged: an interruption leaves no file and costs nothing.
    if (interruptionRequested()) {
        std::fprintf(stderr,
                     "Interrupted before the runs were read; %s was not written: run `k7x-tool "
                     "dump %s %s` again\n",
                     file.c_str(), onlyNew ? "new" : "all", file.c_str());
        return kInterruptedStatus;
    }
    // A length of 0 makes the library refuse the download; there is nothing to fetch then.
    if (length > 0) {
        const int32_t result =
            onlyNew ? RDCAA_GetRunNew(buffer.data()) : RDCAA_GetRunData(buffer.data());
        if (result != 1) return fail("the run download failed (the stopwatch was lifted?)");
    }
    // Once read, the runs are no longer new on the stopwatch: the file is finished even when
    // interrupted meanwhile, so that nothing is lost.
    if (!output.commit(buffer.data(), length, error)) return fail(error);
    if (interruptionRequested()) {
        std::fprintf(
            stderr,
            "Interrupted after the runs were read; %s holds them all (%s): nothing is left to do\n",
            file.c_str(), counted(static_cast<long long>(length), "byte", "bytes").c_str());
        return kInterruptedStatus;
    }
    std::printf("Wrote %s of %s runs to %s\n",
                counted(static_cast<long long>(length), "byte", "bytes").c_str(),
                onlyNew ? "new" : "all", file.c_str());
    return kSuccess;
}

}  // namespace k7x
