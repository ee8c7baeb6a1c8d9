// The PC/SC readers as the service lists them, read directly (not through RDCOM32).
#pragma once

#include <string>
#include <vector>

namespace k7x {

struct ReaderListing {
    bool serviceReached = false;  // false: no PC/SC service (pcscd not running?)
    long serviceResult = 0;       // what establishing the context gave (0: success)
    std::vector<std::string> names;
};

[[nodiscard]] ReaderListing listReaders();

enum class ReaderKind { None, Acs, Sony };

// The reader class RDCOM32 gives a name: "ACS" is looked for first, then "Sony" and "SONY"
// (case-sensitive, anywhere in the name).
[[nodiscard]] ReaderKind readerKind(const std::string& name);

// The reader that RDCOM32 would choose: the first that a reader class serves; empty if none.
[[nodiscard]] std::string libraryReader(const ReaderListing& listing);

// Whether the service sees a card on `reader` now (asked without waiting).
[[nodiscard]] bool cardPresent(const std::string& reader);

}  // namespace k7x
