// Screen facts the page lays itself out by: the calendar's place per resolution and locale,
// and the lap list's column widths.
#pragma once

#include <QRect>
#include <array>
#include <optional>

namespace lapdex::ui {

struct ScreenFacts {
    int dotsPerInchX = 0;   // horizontal resolution; 0 when it cannot be read
    bool japan = true;      // the system's country is Japan (true when unknown)
    bool japanese = true;   // the user's language is Japanese (true when unknown)

    // The primary screen's resolution and the system locale.
    static ScreenFacts current();
};

// The calendar's rectangle in page pixels for 96, 120 and 144 dots per inch; nullopt for any
// other resolution, where the calendar keeps its template place.
std::optional<QRect> calendarPlacement(const ScreenFacts& facts);

// Horizontal resolution / 96, or 1.0 when the resolution cannot be read.
double screenScale(int dotsPerInchX);

// Widths in pixels of the lap list's columns No., lap, split and lap memo: 32, 82 and 82 ×
// scale (truncated); the memo column fills the rest of `clientWidth` less 26 (never below 0).
std::array<int, 4> lapColumnWidths(double scale, int clientWidth);

}  // namespace lapdex::ui
