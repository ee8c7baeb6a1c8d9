// Memo search that ignores case and width: the one fold both run sources apply to memos and words.
#pragma once

#include <string>
#include <string_view>

namespace lapdex {

// `utf8` in the form searches compare: compatibility-normalised (NFKC, so full-width Latin and
// half-width katakana meet their usual forms) and case-folded. Text that is not valid UTF-8 is
// returned unchanged, so that it still finds itself.
std::string foldedForSearch(std::string_view utf8);

}  // namespace lapdex
