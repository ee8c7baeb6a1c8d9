// A month calendar that shows two months side by side with bold days, no days of the
// neighbouring months and no mark for today.
#pragma once

#include <QDate>
#include <QWidget>
#include <cstdint>
#include <vector>

namespace lapdex::ui {

class MonthCalendar : public QWidget {
    Q_OBJECT
public:
    static constexpr int kMonthsShown = 2;
    static constexpr int kGridDays = 42;  // six weeks per month, Sunday first

    explicit MonthCalendar(QWidget* parent = nullptr);

    // Limits selection and scrolling to [minimum, maximum].
    void setDateRange(QDate minimum, QDate maximum);
    QDate minimumDate() const { return minimum_; }
    QDate maximumDate() const { return maximum_; }

    QDate selectedDate() const { return selected_; }
    // Selects `date` (kept within the range) and scrolls as little as needed to show it.
    // The program's own selection: no signal.
    void setSelectedDate(QDate date);

    // Day 1 of the left month.
    QDate firstShownMonth() const { return firstMonth_; }
    // Shows the month of `month` on the left (within the limits); the selection stays. The
    // program's own scrolling: no signal.
    void showMonths(QDate month);
    // The displayed range with the partly covered months at both ends: the first cell of the
    // left month's grid, the last cell of the right month's grid, and the months they span.
    QDate firstGridDate() const;
    QDate lastGridDate() const;
    int gridMonthCount() const;

    // One mask per month of the displayed range, the first for firstGridDate()'s month: bit
    // d - 1 shows day d bold. Kept until new masks arrive.
    void setDayStates(const std::vector<std::uint32_t>& masks);
    bool isBold(QDate date) const;

    // The user's navigation: the view moves by two months and the selection with it.
    void showPreviousMonths();
    void showNextMonths();
    // The user chose `month` for shown month `index` (0 left, 1 right): the view and the
    // selection move as far as that takes them.
    void showChosenMonth(int index, QDate month);

    // Geometry in widget pixels (for painting, hit tests and tests).
    QRect previousButtonRect() const;
    QRect nextButtonRect() const;
    // The title of shown month `index`; a click on it opens the month and year choice.
    QRect titleRect(int index) const;
    // The cell of `date` when it lies in a shown month, else an empty rectangle.
    QRect dayRect(QDate date) const;
    // The shown day under `position`, or a null date.
    QDate dateAt(QPoint position) const;
    // The title of shown month 0 or 1 in the language shown ("January 2024").
    QString monthTitle(int index) const;

    QSize sizeHint() const override;

signals:
    // The user picked a day, moved the selection with the keys or scrolled.
    void selectionChanged();
    // The shown months changed; new day states are wanted.
    void dayStatesNeeded();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    // Repaints the month and weekday names in the language now shown.
    void changeEvent(QEvent* event) override;

private:
    QDate clamp(QDate date) const;
    QDate clampFirstMonth(QDate month) const;
    // Selects by the user: scrolls as needed and emits the signals.
    void selectByUser(QDate date);
    bool showMonthOf(QDate date);
    void scrollBy(int months);
    void chooseMonth(int index);
    QRect monthRect(int index) const;
    int headerHeight() const;
    void paintMonth(class QPainter& painter, int index) const;

    QDate minimum_{2000, 1, 1};
    QDate maximum_{2099, 12, 31};
    QDate selected_;
    QDate firstMonth_;
    QDate masksFirstMonth_;
    std::vector<std::uint32_t> masks_;
};

// Day 1 of the month of `date`.
QDate monthStart(QDate date);
// Days from the grid's first cell to day 1 of `month` (Sunday first: 0 to 6).
int leadingDays(QDate month);

}  // namespace lapdex::ui
