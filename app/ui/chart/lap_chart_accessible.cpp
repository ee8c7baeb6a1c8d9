// The lap chart's accessible interface: the chart names itself and its average, each bar its lap.
#include "lap_chart_accessible.h"

#include "chart_texts.h"
#include "lap_chart.h"
#include "painted_items_accessible.h"
#include "ui_text.h"

namespace lapdex::ui {
namespace {

class LapChartAccessible : public PaintedItemsAccessible {
  public:
    explicit LapChartAccessible(LapChart* chart)
        : PaintedItemsAccessible(chart, QAccessible::Chart, QAccessible::ListItem) {}

    int itemCount() const override { return static_cast<int>(chart()->bars().size()); }
    QString itemName(int index) const override {
        return chart()->toolTipFor(index).section(QLatin1Char('\n'), 0, 0);
    }
    // Whether the lap is the fastest or the slowest, and its memo.
    QString itemDescription(int index) const override {
        QStringList parts;
        if (index == chart()->bestBar()) parts << ui::localized(chart_text::kFastestBar);
        if (index == chart()->slowestBar()) parts << ui::localized(chart_text::kSlowestBar);
        const QString& memo = chart()->bars()[static_cast<std::size_t>(index)].memo;
        if (!memo.isEmpty()) parts << memo;
        return parts.join(QStringLiteral(", "));
    }
    QRect itemRect(int index) const override {
        const QRect plot = chart()->plotArea();
        const double slot = chart()->layoutNow().slotWidth;
        const int left = plot.left() + static_cast<int>(index * slot);
        const int right = plot.left() + static_cast<int>((index + 1) * slot);
        return QRect(left, plot.top(), std::max(1, right - left), plot.height());
    }
    bool itemSelected(int index) const override { return index == chart()->selectedBar(); }

    QString text(QAccessible::Text t) const override {
        const QString own = PaintedItemsAccessible::text(t);
        if (t == QAccessible::Name && own.isEmpty()) return ui::localized(chart_text::kChartName);
        if (t == QAccessible::Description && own.isEmpty()) return chart()->averageLabel();
        return own;
    }

  private:
    LapChart* chart() const { return static_cast<LapChart*>(widget()); }
};

QAccessibleInterface* lapChartFactory(const QString& className, QObject* object) {
    if (className != QLatin1String(LapChart::staticMetaObject.className())) return nullptr;
    auto* chart = qobject_cast<LapChart*>(object);
    return chart ? new LapChartAccessible(chart) : nullptr;
}

}  // namespace

void installLapChartAccessibility() {
    static const bool installed = (QAccessible::installFactory(lapChartFactory), true);
    (void)installed;
}

}  // namespace lapdex::ui
