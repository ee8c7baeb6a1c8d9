// A text that names a count. Japanese counters read the same for any number; English needs "1 run"
// but "2 runs", so such a text is declared in both forms and picked by the count.
#pragma once

#include "bilingual_text.h"

namespace lapdex::texts {

struct CountText {
    Text one;   // for exactly 1
    Text many;  // for 0 and 2 or more
};

constexpr const Text& forCount(const CountText& text, long long count) {
    return count == 1 ? text.one : text.many;
}

}  // namespace lapdex::texts
