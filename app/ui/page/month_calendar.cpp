#include "month_calendar.h"

#include <QEvent>
#include <QKeyEvent>
#include <QMouseEvent>

#include "calendar_accessible.h"
#include "month_year_choice.h"
#include "page_texts.h"
#include "painted_items_accessible.h"

namespace lapdex::ui {

QDate monthStart(QDate date) {
    return QDate(date.year(), date.month(), 1);
}

int leadingDays(QDate month) {
    return monthStart(month).dayOfWeek() % 7;
}

MonthCalendar::MonthCalendar(QWidget* parent) : QWidget(parent) {
    installCalendarAccessibility();
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    selected_ = clamp(QDate::currentDate());
    firstMonth_ = clampFirstMonth(monthStart(selected_));
}

void MonthCalendar::setDateRange(QDate minimum, QDate maximum) {
    minimum_ = minimum;
    maximum_ = maximum;
    selected_ = clamp(selected_);
    firstMonth_ = clampFirstMonth(firstMonth_);
    showMonthOf(selected_);
    update();
}

QDate MonthCalendar::clamp(QDate date) const {
    if (!date.isValid() || date < minimum_) return minimum_;
    return date > maximum_ ? maximum_ : date;
}

QDate MonthCalendar::clampFirstMonth(QDate month) const {
    // The right month may not pass the maximum's month, the left one not precede the minimum's.
    const QDate last = monthStart(maximum_).addMonths(1 - kMonthsShown);
    if (month > last) month = last;
    if (month < monthStart(minimum_)) month = monthStart(minimum_);
    return month;
}

bool MonthCalendar::showMonthOf(QDate date) {
    const QDate month = monthStart(date);
    QDate first = firstMonth_;
    if (month < first)
        first = month;
    else if (month > first.addMonths(kMonthsShown - 1))
        first = month.addMonths(1 - kMonthsShown);
    first = clampFirstMonth(first);
    if (first == firstMonth_) return false;
    firstMonth_ = first;
    return true;
}

void MonthCalendar::setSelectedDate(QDate date) {
    selected_ = clamp(date);
    showMonthOf(selected_);
    update();
}

void MonthCalendar::showMonths(QDate month) {
    firstMonth_ = clampFirstMonth(monthStart(month));
    update();
}

void MonthCalendar::selectByUser(QDate date) {
    if (clamp(date) == selected_) return;
    selected_ = clamp(date);
    const bool scrolled = showMonthOf(selected_);
    update();
    if (scrolled) announceItemsChanged(this);
    announceSelectedItem(this, calendarItemOf(*this, selected_));
    if (scrolled) emit dayStatesNeeded();
    emit selectionChanged();
}

void MonthCalendar::scrollBy(int months) {
    const QDate first = clampFirstMonth(firstMonth_.addMonths(months));
    if (first == firstMonth_) return;
    const int moved =
        (first.year() - firstMonth_.year()) * 12 + first.month() - firstMonth_.month();
    firstMonth_ = first;
    // The selection keeps its day within the month it moves to (QDate::addMonths clips it).
    selected_ = clamp(selected_.addMonths(moved));
    showMonthOf(selected_);
    update();
    announceItemsChanged(this);
    announceSelectedItem(this, calendarItemOf(*this, selected_));
    emit dayStatesNeeded();
    emit selectionChanged();
}

void MonthCalendar::showChosenMonth(int index, QDate month) {
    const QDate first = monthStart(month).addMonths(-index);
    scrollBy((first.year() - firstMonth_.year()) * 12 + first.month() - firstMonth_.month());
}

void MonthCalendar::chooseMonth(int index) {
    MonthYearChoice choice(this, firstMonth_.addMonths(index), minimum_, maximum_);
    if (choice.exec() == QDialog::Accepted) showChosenMonth(index, choice.chosenMonth());
}

void MonthCalendar::showPreviousMonths() {
    scrollBy(-kMonthsShown);
}
void MonthCalendar::showNextMonths() {
    scrollBy(kMonthsShown);
}

QDate MonthCalendar::firstGridDate() const {
    return firstMonth_.addDays(-leadingDays(firstMonth_));
}

QDate MonthCalendar::lastGridDate() const {
    const QDate right = firstMonth_.addMonths(kMonthsShown - 1);
    return right.addDays(kGridDays - 1 - leadingDays(right));
}

int MonthCalendar::gridMonthCount() const {
    const QDate first = firstGridDate();
    const QDate last = lastGridDate();
    return (last.year() - first.year()) * 12 + last.month() - first.month() + 1;
}

void MonthCalendar::setDayStates(const std::vector<std::uint32_t>& masks) {
    masks_ = masks;
    masksFirstMonth_ = monthStart(firstGridDate());
    update();
    announceItemsChanged(this);
}

bool MonthCalendar::isBold(QDate date) const {
    if (!date.isValid() || !masksFirstMonth_.isValid()) return false;
    const int index =
        (date.year() - masksFirstMonth_.year()) * 12 + date.month() - masksFirstMonth_.month();
    if (index < 0 || index >= static_cast<int>(masks_.size())) return false;
    return (masks_[static_cast<std::size_t>(index)] >> (date.day() - 1)) & 1u;
}

QString MonthCalendar::monthTitle(int index) const {
    const QDate month = firstMonth_.addMonths(index);
    return ui::localized(page_text::kMonthTitle)
        .arg(month.year())
        .arg(ui::localized(page_text::kMonthNames[month.month() - 1]));
}

void MonthCalendar::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LanguageChange) update();
    QWidget::changeEvent(event);
}

void MonthCalendar::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    setFocus(Qt::MouseFocusReason);
    const QPoint at = event->position().toPoint();
    if (previousButtonRect().contains(at)) return showPreviousMonths();
    if (nextButtonRect().contains(at)) return showNextMonths();
    for (int index = 0; index < kMonthsShown; ++index) {
        if (titleRect(index).contains(at)) return chooseMonth(index);
    }
    const QDate date = dateAt(at);
    if (date.isValid() && date >= minimum_ && date <= maximum_) selectByUser(date);
}

void MonthCalendar::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Left:
            return selectByUser(selected_.addDays(-1));
        case Qt::Key_Right:
            return selectByUser(selected_.addDays(1));
        case Qt::Key_Up:
            return selectByUser(selected_.addDays(-7));
        case Qt::Key_Down:
            return selectByUser(selected_.addDays(7));
        case Qt::Key_PageUp:
            return selectByUser(selected_.addMonths(-1));
        case Qt::Key_PageDown:
            return selectByUser(selected_.addMonths(1));
        default:
            QWidget::keyPressEvent(event);
    }
}

}  // namespace lapdex::ui
