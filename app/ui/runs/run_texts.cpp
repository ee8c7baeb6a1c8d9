// Time and date texts of the run index windows.
#include "run_texts.h"

namespace lapdex::ui {

QString runTimeText(std::int64_t hundredths, TimeFormat format) {
    if (hundredths < 0) return {};
    if (format == TimeFormat::DecimalMinute) {
        const std::int64_t thousandths = hundredths / 6;  // six hundredths of a second each
        return QString::asprintf("%03lld.%03lld", static_cast<long long>(thousandths / 1000),
                                 static_cast<long long>(thousandths % 1000));
    }
    const long long cs = hundredths;
    return QString::asprintf("%02lld:%02lld:%02lld.%02lld", cs / 360000, cs / 6000 % 60,
                             cs / 100 % 60, cs % 100);
}

QString startText(const std::string& isoStart) {
    QString text = QString::fromStdString(isoStart);
    text.replace(QLatin1Char('-'), QLatin1Char('/'));
    text.replace(QLatin1Char('T'), QLatin1Char(' '));
    return text;
}

}  // namespace lapdex::ui
