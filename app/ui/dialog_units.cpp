#include "dialog_units.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QString>
#include <QStringList>

namespace lapdex::ui {

namespace {

// Rounds n × num / den to the nearest integer, halves away from zero (like MulDiv).
int mulDiv(int n, int num, int den) {
    const long long p = static_cast<long long>(n) * num;
    return static_cast<int>(p >= 0 ? (p + den / 2) / den : -((-p + den / 2) / den));
}

}  // namespace

QFont dialogFont() {
    const QStringList families = QFontDatabase::families();
    QString family = QStringLiteral("Noto Sans CJK JP");
    for (const QString& preferred : {QStringLiteral("メイリオ"), QStringLiteral("Meiryo")}) {
        if (families.contains(preferred)) {
            family = preferred;
            break;
        }
    }
    QFont font(family);
    font.setPointSize(8);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

DialogUnits::DialogUnits(const QFont& font) {
    const QFontMetrics metrics(font);
    const int letters =
        metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    baseX_ = (letters / 26 + 1) / 2;
    baseY_ = metrics.height();
    if (baseX_ < 1) baseX_ = 1;
    if (baseY_ < 1) baseY_ = 1;
}

DialogUnits::DialogUnits(int averageCharWidth, int charHeight)
    : baseX_(averageCharWidth), baseY_(charHeight) {}

int DialogUnits::toPixelsX(int x) const { return mulDiv(x, baseX_, 4); }
int DialogUnits::toPixelsY(int y) const { return mulDiv(y, baseY_, 8); }

QRect DialogUnits::toPixels(const QRect& r) const {
    return QRect(toPixelsX(r.x()), toPixelsY(r.y()), toPixelsX(r.width()), toPixelsY(r.height()));
}

QSize DialogUnits::toPixels(const QSize& s) const {
    return QSize(toPixelsX(s.width()), toPixelsY(s.height()));
}

}  // namespace lapdex::ui
