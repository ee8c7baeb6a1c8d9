// Time and date texts of the run index windows.
#include "run_texts.h"

#include "export_times.h"

namespace lapdex::ui {

QString runTimeText(std::int64_t hundredths, TimeFormat format) {
    // The page, the sheets and the CSV files write times so; the tables follow them.
    return QString::fromStdString(exportDisplayTime(hundredths, format));
}

QString startText(const std::string& isoStart) {
    QString text = QString::fromStdString(isoStart);
    text.replace(QLatin1Char('-'), QLatin1Char('/'));
    text.replace(QLatin1Char('T'), QLatin1Char(' '));
    return text;
}

}  // namespace lapdex::ui
