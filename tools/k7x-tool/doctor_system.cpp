#include "doctor_system.h"

#include <filesystem>
#include <fstream>
#include <set>

namespace k7x {
namespace {

namespace fs = std::filesystem;

// The kernel drivers that claim PN533-based ACS readers and the Sony RC-S380, in the order
// in which they are unloaded.
constexpr const char* kNfcModules[] = {"pn533_usb", "pn533", "port100"};
constexpr const char* kSonyVendor = "054c";
constexpr const char* kRcS380Products[] = {"06c1", "06c3"};

std::string firstLine(const fs::path& path) {
    std::ifstream in(path);
    std::string line;
    std::getline(in, line);
    return line;
}

fs::path under(const std::string& root, const char* path) {
    return fs::path(root.empty() ? "/" : root) / path;
}

}  // namespace

CheckLines checkKernelDrivers(const std::string& root, bool readerServed) {
    std::string loaded;
    std::string blacklist;
    for (const char* module : kNfcModules) {
        std::error_code ec;
        if (!fs::is_directory(under(root, "sys/module") / module, ec)) continue;
        loaded += loaded.empty() ? module : std::string(" ") + module;
        blacklist += std::string("blacklist ") + module + "\\n";
    }
    if (loaded.empty()) {
        return {{CheckStatus::Ok, "Kernel NFC drivers (pn533_usb, pn533, port100): none loaded"}};
    }
    return {{readerServed ? CheckStatus::Warn : CheckStatus::Fail,
             "Kernel NFC drivers loaded: " + loaded +
                 "; they take ACS ACR122U and Sony RC-S380 readers away from pcscd. Unload them: "
                 "sudo modprobe -r " +
                 loaded + " nfc; keep them from coming back: printf '" + blacklist +
                 "' | sudo tee /etc/modprobe.d/k7x-no-nfc.conf; then unplug and "
                 "replug the reader"}};
}

CheckLines checkUsbReaders(const std::string& root, bool readerServed) {
    std::set<std::string> found;  // "bus-port (054c:06c1)"
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(under(root, "sys/bus/usb/devices"), ec)) {
        if (firstLine(entry.path() / "idVendor") != kSonyVendor) continue;
        const std::string product = firstLine(entry.path() / "idProduct");
        for (const char* rcS380 : kRcS380Products) {
            if (product == rcS380) {
                found.insert(entry.path().filename().string() + " (" + kSonyVendor + ":" + product +
                             ")");
            }
        }
    }
    if (found.empty()) return {{CheckStatus::Ok, "Sony RC-S380 on USB: none"}};
    CheckLines lines;
    for (const std::string& device : found) {
        lines.push_back(
            {readerServed ? CheckStatus::Warn : CheckStatus::Fail,
             "Sony RC-S380 on USB at " + device +
                 ": no PC/SC driver serves it on Linux, so RDCOM32 cannot use it; use "
                 "an ACS ACR122U or a Sony RC-S300 or RC-S660/U (CCID readers) instead"});
    }
    return lines;
}

}  // namespace k7x
