// The PC/SC readers as the service lists them, read directly (not through RDCOM32).
#pragma once

#include <string>
#include <vector>

namespace k7x {

struct ReaderListing {
    bool serviceReached = false;  // false: no PC/SC service (pcscd not running?)
    std::vector<std::string> names;
};

[[nodiscard]] ReaderListing listReaders();

// The reader that RDCOM32 would choose: the first whose name contains "ACS" or "Sony"
// (case-sensitive); empty if none.
[[nodiscard]] std::string libraryReader(const ReaderListing& listing);

// Whether the service sees a card on `reader` now (asked without waiting).
[[nodiscard]] bool cardPresent(const std::string& reader);

}  // namespace k7x
