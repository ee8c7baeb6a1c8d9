// Reading the marks of a day sheet from its tables, and placing them from the store's extremes.
#include "day_sheet_marks.h"

#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>
#include <algorithm>
#include <memory>
#include <vector>

#include "sessions.h"
#include "team_day_model.h"

namespace lapdex::testing {
namespace {

using ui::kFastestSymbol;
using ui::kSlowestSymbol;

QString textOf(const QTextTableCell& cell) {
    QTextCursor cursor = cell.firstCursorPosition();
    cursor.setPosition(cell.lastCursorPosition().position(), QTextCursor::KeepAnchor);
    return cursor.selectedText();
}

}  // namespace

std::map<CellKey, QChar> storeMarks(const TeamDay& day, int gapMinutes,
                                    const QString& totalHeader) {
    std::map<CellKey, QChar> marks;
    for (const TeamSession& session : sessionsOf(day, gapMinutes)) {
        std::map<std::size_t, std::vector<std::size_t>> byLapCount;
        for (std::size_t r : session.runs) byLapCount[day.runs[r].lapsCs.size()].push_back(r);
        for (const auto& [laps, runs] : byLapCount) {
            TeamDay group;
            for (std::size_t r : runs) group.runs.push_back(day.runs[r]);
            const auto mark = [&](ColumnExtremes e, const QString& header, auto timeOf) {
                for (std::size_t r : runs) {
                    const std::int64_t time = timeOf(day.runs[r]);
                    if (e.fastestCs == e.slowestCs || time < 0) continue;
                    if (time == e.fastestCs) marks[{r, header}] = kFastestSymbol;
                    if (time == e.slowestCs) marks[{r, header}] = kSlowestSymbol;
                }
            };
            for (std::size_t lap = 0; lap < laps; ++lap)
                mark(lapColumnExtremes(group, static_cast<int>(lap), false),
                     QString::number(lap + 1),
                     [lap](const TeamDayRun& run) { return run.lapsCs[lap]; });
            mark(totalColumnExtremes(group), totalHeader,
                 [](const TeamDayRun& run) { return run.totalCs; });
        }
    }
    return marks;
}

SheetMarks sheetMarks(const ui::Sheet& sheet, const TeamDay& day) {
    std::unique_ptr<QTextDocument> document(sheetDocument(sheet));
    SheetMarks found;
    for (QTextFrame* frame : document->rootFrame()->childFrames()) {
        const auto* table = qobject_cast<QTextTable*>(frame);
        if (!table) continue;
        ++found.tables;
        for (int row = 1; row < table->rows(); ++row) {
            const std::string name = textOf(table->cellAt(row, 0)).toStdString();
            const auto run = std::find_if(day.runs.begin(), day.runs.end(),
                                          [&](const TeamDayRun& r) { return r.tabName == name; });
            for (int column = 2; column < table->columns(); ++column) {
                const QString text = textOf(table->cellAt(row, column));
                if (!text.contains(kFastestSymbol) && !text.contains(kSlowestSymbol)) continue;
                const bool opens = text.size() > 2 && text[1].isSpace() &&
                                   text.count(kFastestSymbol) + text.count(kSlowestSymbol) == 1 &&
                                   (text[0] == kFastestSymbol || text[0] == kSlowestSymbol);
                found.marks[{static_cast<std::size_t>(run - day.runs.begin()),
                             textOf(table->cellAt(0, column))}] = opens ? text[0] : QChar(u'?');
            }
        }
    }
    return found;
}

}  // namespace lapdex::testing
