#include "month_year_choice.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "desktop.h"
#include "page_texts.h"

namespace lapdex::ui {

MonthYearChoice::MonthYearChoice(QWidget* owner, QDate shown, QDate minimum, QDate maximum)
    : QDialog(owner) {
    setWindowTitle(kBoxTitle);
    if (owner) setFont(owner->font());
    year_ = new QSpinBox(this);
    year_->setRange(minimum.year(), maximum.year());
    // The year's number stands where the text has its placeholder.
    const QStringList yearParts = ui::localized(page_text::kYearField).split(QStringLiteral("%1"));
    year_->setPrefix(yearParts.value(0));
    year_->setSuffix(yearParts.value(1));
    year_->setValue(shown.year());
    month_ = new QComboBox(this);
    for (int m = 1; m <= 12; ++m) month_->addItem(ui::localized(page_text::kMonthNames[m - 1]));
    month_->setCurrentIndex(shown.month() - 1);
    year_->setAccessibleName(ui::localized(page_text::kYearName));
    month_->setAccessibleName(ui::localized(page_text::kMonthName));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Cancel)->setText(ui::localized(page_text::kCancel));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* fields = new QHBoxLayout;
    fields->addWidget(year_);
    fields->addWidget(month_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addWidget(buttons);
    month_->setFocus(Qt::OtherFocusReason);
}

QDate MonthYearChoice::chosenMonth() const {
    return QDate(year_->value(), month_->currentIndex() + 1, 1);
}

}  // namespace lapdex::ui
