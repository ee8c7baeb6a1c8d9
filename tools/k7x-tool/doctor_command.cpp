#include "doctor_command.h"

#include <cstdio>

#include "doctor_stopwatch.h"
#include "doctor_system.h"
#include "reader_list.h"

namespace k7x {
namespace {

std::string quoted(const std::string& name) {
    return "\"" + name + "\"";
}

CheckLine serviceCheck(const ReaderListing& listing) {
    if (listing.serviceReached) return {CheckStatus::Ok, "PC/SC service: reachable"};
    char code[16];
    std::snprintf(code, sizeof code, "0x%08lX", static_cast<unsigned long>(listing.serviceResult));
    return {CheckStatus::Fail,
            std::string("PC/SC service: not reachable (") + code +
                "); start pcscd: sudo systemctl start pcscd.socket pcscd (or run sudo pcscd -f -d "
                "in a terminal to watch it)"};
}

// One line per listed reader: the one RDCOM32 uses and why each other is passed over.
CheckLines readerChecks(const ReaderListing& listing) {
    if (listing.names.empty()) {
        return {{CheckStatus::Fail,
                 "Readers: pcscd lists none; plug the reader in (an ACS ACR122U or a Sony "
                 "RC-S300/RC-S660/U), check that lsusb shows it and see the kernel driver check "
                 "below"}};
    }
    const std::string chosen = libraryReader(listing);
    CheckLines lines;
    for (const std::string& name : listing.names) {
        const ReaderKind kind = readerKind(name);
        if (name == chosen) {
            lines.push_back({CheckStatus::Ok, "Reader " + quoted(name) +
                                                  ": RDCOM32 uses it (the first " +
                                                  (kind == ReaderKind::Acs ? "ACS" : "Sony") +
                                                  " reader in pcscd's list)"});
        } else if (kind == ReaderKind::None) {
            lines.push_back(
                {CheckStatus::Ok, "Reader " + quoted(name) +
                                      ": passed over, its name contains neither \"ACS\" "
                                      "nor \"Sony\"/\"SONY\""});
        } else {
            lines.push_back(
                {CheckStatus::Warn,
                 "Reader " + quoted(name) +
                     ": passed over, RDCOM32 uses only the first "
                     "served reader, " +
                     quoted(chosen) +
                     "; lay the stopwatch there, or unplug that reader to use this one"});
        }
    }
    if (chosen.empty()) {
        lines.push_back({CheckStatus::Fail,
                         "Readers: none that RDCOM32 serves; it needs an ACS reader or a Sony "
                         "RC-S300/RC-S660/U (the RC-S380 has no PC/SC driver on Linux)"});
    }
    return lines;
}

void append(CheckLines& to, const CheckLines& lines) {
    to.insert(to.end(), lines.begin(), lines.end());
}

}  // namespace

CheckLines doctorChecks(const DoctorOptions& options) {
    CheckLines lines;
    const ReaderListing listing = listReaders();
    lines.push_back(serviceCheck(listing));
    if (listing.serviceReached) append(lines, readerChecks(listing));
    const bool served = !libraryReader(listing).empty();
    append(lines, checkKernelDrivers(options.root, served));
    append(lines, checkUsbReaders(options.root, served));
    if (served) {
        append(lines, checkStopwatch(options.logDirectory));
    } else {
        lines.push_back({CheckStatus::Fail,
                         "Stopwatch: not looked for, there is no reader to "
                         "look on; mend the checks above first"});
    }
    return lines;
}

int runDoctor(const DoctorOptions& options) {
    const CheckLines lines = doctorChecks(options);
    for (const CheckLine& line : lines) std::printf("%s\n", formatCheck(line).c_str());
    const bool passed = allPassed(lines);
    std::printf("%s\n", passed ? "A download would work." : "A download would not work yet.");
    return passed ? 0 : 1;
}

}  // namespace k7x
