#include "page_metrics.h"

#include <QGuiApplication>
#include <QLocale>
#include <QScreen>
#include <algorithm>

namespace lapdex::ui {

namespace {

// Rows: 96, 120, 144 dots per inch. Columns: Japan and Japanese, Japan and another language,
// another country and Japanese, another country and another language.
constexpr int kResolutions[3] = {96, 120, 144};
constexpr int kPlaces[3][4][4] = {
    {{30, 39, 441, 176}, {23, 39, 455, 176}, {42, 50, 417, 153}, {23, 50, 459, 153}},
    {{18, 42, 538, 215}, {14, 42, 546, 215}, {30, 51, 514, 197}, {17, 53, 539, 193}},
    {{39, 55, 638, 249}, {39, 55, 638, 249}, {49, 60, 618, 239}, {47, 63, 623, 233}},
};

}  // namespace

ScreenFacts ScreenFacts::current() {
    ScreenFacts facts;
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        facts.dotsPerInchX = static_cast<int>(screen->logicalDotsPerInchX() + 0.5);
    const QLocale system = QLocale::system();
    // A locale without a country or language ("C") counts as unknown, which the table takes
    // as Japan and Japanese.
    facts.japan = system.territory() == QLocale::AnyTerritory || system.territory() == QLocale::Japan;
    facts.japanese = system.language() == QLocale::C || system.language() == QLocale::AnyLanguage ||
                     system.language() == QLocale::Japanese;
    return facts;
}

std::optional<QRect> calendarPlacement(const ScreenFacts& facts) {
    for (int row = 0; row < 3; ++row) {
        if (facts.dotsPerInchX != kResolutions[row]) continue;
        const int column = (facts.japan ? 0 : 2) + (facts.japanese ? 0 : 1);
        const int* p = kPlaces[row][column];
        return QRect(p[0], p[1], p[2], p[3]);
    }
    return std::nullopt;
}

double screenScale(int dotsPerInchX) { return dotsPerInchX > 0 ? dotsPerInchX / 96.0 : 1.0; }

std::array<int, 4> lapColumnWidths(double scale, int clientWidth) {
    std::array<int, 4> widths{static_cast<int>(32 * scale), static_cast<int>(82 * scale),
                              static_cast<int>(82 * scale), 0};
    widths[3] = std::max(0, clientWidth - widths[0] - widths[1] - widths[2] - 26);
    return widths;
}

}  // namespace lapdex::ui
