// Where the fastest and slowest marks of a day sheet stand, as its tables hold them and as the
// store's column extremes put them, to compare the two.
#pragma once

#include <QChar>
#include <QString>
#include <map>
#include <utility>

#include "sheets.h"
#include "team_day.h"

namespace lapdex::testing {

// A cell of a day sheet: the run (its index in the day) and its column's header.
using CellKey = std::pair<std::size_t, QString>;

// Where the store's column extremes put the marks of `day`: session by session and among the
// runs of the same lap count, on the fastest and the slowest of each lap column and of the totals
// (headed `totalHeader`); a column of equal times has none.
std::map<CellKey, QChar> storeMarks(const TeamDay& day, int gapMinutes, const QString& totalHeader);

// The symbols in the time cells of the sheet's tables ('?' for one that does not open its cell
// followed by a space), and how many tables there are. Runs are found by their names.
struct SheetMarks {
    std::map<CellKey, QChar> marks;
    int tables = 0;
};

SheetMarks sheetMarks(const ui::Sheet& sheet, const TeamDay& day);

}  // namespace lapdex::testing
