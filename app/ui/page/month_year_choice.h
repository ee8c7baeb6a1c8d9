// The month and year choice that a click on a month title of the calendar opens.
#pragma once

#include <QDate>
#include <QDialog>

class QComboBox;
class QSpinBox;

namespace lapdex::ui {

class MonthYearChoice : public QDialog {
    Q_OBJECT
  public:
    // Starts at the month of `shown`; years are limited to those of [minimum, maximum].
    MonthYearChoice(QWidget* owner, QDate shown, QDate minimum, QDate maximum);

    // Day 1 of the chosen month.
    QDate chosenMonth() const;
    QComboBox* monthBox() const { return month_; }
    QSpinBox* yearBox() const { return year_; }

  private:
    QComboBox* month_ = nullptr;
    QSpinBox* year_ = nullptr;
};

}  // namespace lapdex::ui
