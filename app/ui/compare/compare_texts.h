// The comparison window's texts in both language sets; the program shows the Japanese one.
#pragma once

#include <QString>

#include "dialog_template.h"

namespace lapdex::ui::compare_text {

inline QString title(Language l = Language::Japanese) {
    return l == Language::Japanese ? QStringLiteral("走行の比較") : QStringLiteral("Compare runs");
}
inline QString compareAction(Language l = Language::Japanese) {
    return l == Language::Japanese ? QStringLiteral("選択した走行を比較(&C)")
                                   : QStringLiteral("&Compare selected runs");
}

}  // namespace lapdex::ui::compare_text
