// Folding with utf8proc, which does NFKC and case folding in one pass.
#include "search_folding.h"

#include <utf8proc.h>

#include <cstdlib>
#include <memory>

namespace lapdex {

std::string foldedForSearch(std::string_view utf8) {
    if (utf8.empty()) return {};
    utf8proc_uint8_t* folded = nullptr;
    const auto options = static_cast<utf8proc_option_t>(UTF8PROC_STABLE | UTF8PROC_COMPAT |
                                                        UTF8PROC_COMPOSE | UTF8PROC_CASEFOLD);
    const utf8proc_ssize_t length =
        utf8proc_map(reinterpret_cast<const utf8proc_uint8_t*>(utf8.data()),
                     static_cast<utf8proc_ssize_t>(utf8.size()), &folded, options);
    const std::unique_ptr<utf8proc_uint8_t, decltype(&std::free)> owned(folded, &std::free);
    if (length < 0) return std::string(utf8);
    return std::string(reinterpret_cast<const char*>(folded), static_cast<std::size_t>(length));
}

}  // namespace lapdex
