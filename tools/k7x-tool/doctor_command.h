// `k7x-tool doctor`: what a support desk asks for, in one command. Checks the PC/SC service,
// the readers and which one RDCOM32 uses, kernel drivers and USB readers that keep pcscd from
// a reader, and the stopwatch on the reader; prints one line per check.
#pragma once

#include <string>

#include "doctor_report.h"

namespace k7x {

struct DoctorOptions {
    std::string root = "/";    // --root DIR: the folder that holds sys/
    std::string logDirectory;  // the library's debug log, or empty
};

// All checks, in the order they are printed.
[[nodiscard]] CheckLines doctorChecks(const DoctorOptions& options);

// Prints the checks to stdout; 0 when a download would work (no check failed), else 1.
[[nodiscard]] int runDoctor(const DoctorOptions& options);

}  // namespace k7x
