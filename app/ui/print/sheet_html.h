// Pieces of rich text shared by the run and day sheets.
#pragma once

#include <QString>
#include <cstdint>
#include <string>

#include "run_record.h"

namespace lapdex::ui::sheet_html {

QString escaped(const std::string& text);
// A time as the stopwatch page shows it, escaped.
QString shownTime(std::int64_t cs, TimeFormat format);
// "2024-01-31T09:30:15" as "2024/01/31 09:30:15".
QString startText(const std::string& iso);

enum class Align { Left, Right };
enum class TableWidth { Page, Content };

// A cell that stays on one line; `extra` adds attributes.
QString cell(const QString& text, Align align = Align::Left, const QString& extra = {});
// A cell whose text wraps.
QString wrappingCell(const QString& text);

// The opening tag of a table with borders, as wide as the page or as its content.
QString table(TableWidth width = TableWidth::Page);

// The page's body width in points: A4 less the writer's margins and the 2 cm margins a printed
// document keeps on each side.
inline constexpr double kBodyWidthPt = (210.0 - 2 * 10.0 - 2 * 20.0) / 25.4 * 72.0;

}  // namespace lapdex::ui::sheet_html
