// The checks of `k7x-tool doctor` that read the kernel's view of the machine (/sys): kernel
// NFC drivers that take readers away from pcscd, and Sony RC-S380 readers on USB.
#pragma once

#include <string>

#include "doctor_report.h"

namespace k7x {

// `root` is the folder that holds sys/ ("/" on a real machine; a fake tree in tests).
// `readerServed`: pcscd lists a reader that RDCOM32 serves, so what is found here only
// warns instead of failing.
[[nodiscard]] CheckLines checkKernelDrivers(const std::string& root, bool readerServed);
[[nodiscard]] CheckLines checkUsbReaders(const std::string& root, bool readerServed);

}  // namespace k7x
