// The lap chart's texts in both language sets; the program shows the Japanese one.
#pragma once

#include <QString>

#include "dialog_template.h"

namespace lapdex::ui::chart_text {

// %1 lap number, %2 lap time.
inline QString lapToolTip(Language language = Language::Japanese) {
    return language == Language::Japanese ? QStringLiteral("ラップ %1：%2")
                                          : QStringLiteral("Lap %1: %2");
}
inline QString average(Language language = Language::Japanese) {
    return language == Language::Japanese ? QStringLiteral("平均") : QStringLiteral("Average");
}
inline QString noLaps(Language language = Language::Japanese) {
    return language == Language::Japanese ? QStringLiteral("ラップがありません")
                                          : QStringLiteral("No laps");
}
inline QString seconds(Language language = Language::Japanese) {
    return language == Language::Japanese ? QStringLiteral("秒") : QStringLiteral("s");
}

}  // namespace lapdex::ui::chart_text
