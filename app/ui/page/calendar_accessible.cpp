// The month calendar's accessible interface: one child per day of the two months shown.
#include "calendar_accessible.h"

#include "month_calendar.h"
#include "page_texts.h"
#include "painted_items_accessible.h"

namespace lapdex::ui {
namespace {

class CalendarAccessible : public PaintedItemsAccessible {
  public:
    explicit CalendarAccessible(MonthCalendar* calendar)
        : PaintedItemsAccessible(calendar, QAccessible::List, QAccessible::ListItem) {}

    int itemCount() const override {
        const QDate first = calendar()->firstShownMonth();
        int days = 0;
        for (int i = 0; i < MonthCalendar::kMonthsShown; ++i)
            days += first.addMonths(i).daysInMonth();
        return days;
    }
    QString itemName(int index) const override {
        const QDate date = dateOf(index);
        return calendarDayName(date, calendar()->isBold(date));
    }
    QString itemDescription(int) const override { return {}; }
    QRect itemRect(int index) const override { return calendar()->dayRect(dateOf(index)); }
    bool itemSelected(int index) const override {
        return dateOf(index) == calendar()->selectedDate();
    }
    bool itemEnabled(int index) const override {
        const QDate date = dateOf(index);
        return date >= calendar()->minimumDate() && date <= calendar()->maximumDate();
    }
    // The calendar's value is the selected day, so a reader says where the selection is.
    QString text(QAccessible::Text t) const override {
        if (t != QAccessible::Value) return PaintedItemsAccessible::text(t);
        const QDate selected = calendar()->selectedDate();
        return calendarDayName(selected, calendar()->isBold(selected));
    }

  private:
    MonthCalendar* calendar() const { return static_cast<MonthCalendar*>(widget()); }
    QDate dateOf(int index) const {
        QDate month = calendar()->firstShownMonth();
        while (index >= month.daysInMonth()) {
            index -= month.daysInMonth();
            month = month.addMonths(1);
        }
        return month.addDays(index);
    }
};

QAccessibleInterface* calendarFactory(const QString& className, QObject* object) {
    if (className != QLatin1String(MonthCalendar::staticMetaObject.className())) return nullptr;
    auto* calendar = qobject_cast<MonthCalendar*>(object);
    return calendar ? new CalendarAccessible(calendar) : nullptr;
}

}  // namespace

void installCalendarAccessibility() {
    static const bool installed = (QAccessible::installFactory(calendarFactory), true);
    (void)installed;
}

int calendarItemOf(const MonthCalendar& calendar, QDate date) {
    const QDate first = calendar.firstShownMonth();
    if (!date.isValid() || date < first || date >= first.addMonths(MonthCalendar::kMonthsShown))
        return -1;
    return static_cast<int>(first.daysTo(date));
}

QString calendarDayName(QDate date, bool hasRuns) {
    const QString name = ui::localized(page_text::kDayName)
                             .arg(date.year())
                             .arg(ui::localized(page_text::kMonthNames[date.month() - 1]))
                             .arg(date.day())
                             .arg(ui::localized(page_text::kFullWeekdays[date.dayOfWeek() % 7]));
    return hasRuns ? name + ui::localized(page_text::kDayHasRuns) : name;
}

}  // namespace lapdex::ui
