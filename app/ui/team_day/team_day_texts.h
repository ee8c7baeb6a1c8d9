// The team day window's texts in both language sets; the program shows the Japanese one.
#pragma once

#include <QString>

#include "dialog_template.h"

namespace lapdex::ui::team_day_text {

inline QString pick(Language language, const char* japanese, const char* english) {
    return language == Language::Japanese ? QString::fromUtf8(japanese)
                                          : QString::fromUtf8(english);
}
inline QString title(Language l = Language::Japanese) {
    return pick(l, "チームの一日", "Team day");
}
inline QString date(Language l = Language::Japanese) {
    return pick(l, "日付(&D)", "&Date");
}
inline QString laps(Language l = Language::Japanese) {
    return pick(l, "ラップ(&L)", "&Laps");
}
inline QString splits(Language l = Language::Japanese) {
    return pick(l, "スプリット(&S)", "&Splits");
}
inline QString tabName(Language l = Language::Japanese) {
    return pick(l, "名前", "Name");
}
inline QString start(Language l = Language::Japanese) {
    return pick(l, "開始", "Start");
}
// %1: the lap number.
inline QString lap(Language l = Language::Japanese) {
    return pick(l, "%1", "%1");
}
inline QString total(Language l = Language::Japanese) {
    return pick(l, "トータル", "Total");
}
inline QString best(Language l = Language::Japanese) {
    return pick(l, "ベスト", "Best");
}
inline QString average(Language l = Language::Japanese) {
    return pick(l, "平均", "Average");
}
// %1: the number of runs.
inline QString runCount(Language l = Language::Japanese) {
    return pick(l, "%1 件", "%1 runs");
}
inline QString busy(Language l = Language::Japanese) {
    return pick(l, "走行の索引を準備しています…", "Preparing the run index…");
}
inline QString noIndex(Language l = Language::Japanese) {
    return pick(l, "走行の索引を開けません", "The run index cannot be opened");
}
inline QString fastestMark(Language l = Language::Japanese) {
    return pick(l, "最速", "fastest");
}
inline QString slowestMark(Language l = Language::Japanese) {
    return pick(l, "最遅", "slowest");
}

}  // namespace lapdex::ui::team_day_text
