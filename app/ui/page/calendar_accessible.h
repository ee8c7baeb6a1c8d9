// The month calendar as screen readers see it: a list of the shown days, each named with its
// date and whether it has runs, the selected one selected.
#pragma once

#include <QDate>
#include <QString>

namespace lapdex::ui {

class MonthCalendar;

// Makes Qt's accessibility use the calendar's interface; once per program, from its constructor.
void installCalendarAccessibility();
// The child index of `date` among the shown days, -1 when it is not shown.
int calendarItemOf(const MonthCalendar& calendar, QDate date);
// The name a screen reader reads for `date`, in the language shown.
QString calendarDayName(QDate date, bool hasRuns);

}  // namespace lapdex::ui
