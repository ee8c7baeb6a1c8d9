// Geometry and painting of the month calendar.
#include <QPainter>
#include <QPaintEvent>

#include "month_calendar.h"
#include "page_texts.h"

namespace lapdex::ui {

namespace {

constexpr int kRows = 7;  // the weekday names and six weeks
constexpr int kColumns = 7;

}  // namespace

int MonthCalendar::headerHeight() const { return fontMetrics().height() * 3 / 2 + 2; }

QRect MonthCalendar::monthRect(int index) const {
    const int width = this->width() / kMonthsShown;
    return QRect(index * width, 0, width, height());
}

QRect MonthCalendar::previousButtonRect() const {
    const int side = headerHeight();
    return QRect(2, 0, side, side);
}

QRect MonthCalendar::nextButtonRect() const {
    const int side = headerHeight();
    return QRect(width() - side - 2, 0, side, side);
}

QRect MonthCalendar::titleRect(int index) const {
    // The title text's own width, centred as it is painted: the arrows stay apart.
    const QRect month = monthRect(index);
    const int width = fontMetrics().horizontalAdvance(monthTitle(index)) + 8;
    return QRect(month.center().x() - width / 2, 0, width, headerHeight());
}

QRect MonthCalendar::dayRect(QDate date) const {
    for (int index = 0; index < kMonthsShown; ++index) {
        const QDate month = firstMonth_.addMonths(index);
        if (date.year() != month.year() || date.month() != month.month()) continue;
        const QRect area = monthRect(index).adjusted(4, headerHeight(), -4, -2);
        const int cell = leadingDays(month) + date.day() - 1;
        const int cellWidth = area.width() / kColumns;
        const int cellHeight = area.height() / kRows;
        return QRect(area.left() + (cell % kColumns) * cellWidth,
                     area.top() + (cell / kColumns + 1) * cellHeight, cellWidth, cellHeight);
    }
    return {};
}

QDate MonthCalendar::dateAt(QPoint position) const {
    for (int index = 0; index < kMonthsShown; ++index) {
        const QDate month = firstMonth_.addMonths(index);
        for (int day = 1; day <= month.daysInMonth(); ++day) {
            const QDate date(month.year(), month.month(), day);
            if (dayRect(date).contains(position)) return date;
        }
    }
    return {};
}

void MonthCalendar::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().base());
    const int side = headerHeight();
    painter.fillRect(QRect(0, 0, width(), side), palette().button());
    painter.setPen(palette().buttonText().color());
    painter.drawText(previousButtonRect(), Qt::AlignCenter, QStringLiteral("◀"));
    painter.drawText(nextButtonRect(), Qt::AlignCenter, QStringLiteral("▶"));
    for (int index = 0; index < kMonthsShown; ++index) paintMonth(painter, index);
    if (hasFocus()) {
        painter.setPen(QPen(palette().highlight().color(), 1, Qt::DotLine));
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}

void MonthCalendar::paintMonth(QPainter& painter, int index) const {
    const QRect area = monthRect(index);
    const QDate month = firstMonth_.addMonths(index);
    QFont plain = font();
    QFont bold = font();
    bold.setBold(true);
    painter.setFont(plain);
    painter.setPen(palette().text().color());
    painter.drawText(QRect(area.left(), 0, area.width(), headerHeight()), Qt::AlignCenter, monthTitle(index));
    const QRect first = dayRect(month);
    for (int column = 0; column < kColumns; ++column) {
        const QRect cell(area.left() + 4 + column * first.width(), first.top() - first.height(), first.width(),
                         first.height());
        painter.drawText(cell, Qt::AlignCenter, ui::localized(page_text::kWeekdays[column]));
    }
    painter.drawLine(area.left() + 4, first.top() - 1, area.left() + 4 + kColumns * first.width(), first.top() - 1);
    // Only the month's own days: the neighbouring months' days stay blank.
    for (int day = 1; day <= month.daysInMonth(); ++day) {
        const QDate date(month.year(), month.month(), day);
        const QRect cell = dayRect(date);
        const bool selected = date == selected_;
        if (selected) painter.fillRect(cell.adjusted(1, 1, -1, -1), palette().highlight());
        const bool enabled = date >= minimum_ && date <= maximum_;
        painter.setPen(selected ? palette().highlightedText().color()
                                : palette().color(enabled ? QPalette::Active : QPalette::Disabled, QPalette::Text));
        painter.setFont(isBold(date) ? bold : plain);
        painter.drawText(cell, Qt::AlignCenter, QString::number(day));
    }
}

QSize MonthCalendar::sizeHint() const {
    const QFontMetrics metrics = fontMetrics();
    const int cell = metrics.horizontalAdvance(QStringLiteral("000"));
    return QSize(kMonthsShown * (kColumns * cell + 8), headerHeight() + kRows * (metrics.height() + 2) + 2);
}

}  // namespace lapdex::ui
