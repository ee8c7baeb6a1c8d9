// The lap chart's layout, painting and mouse handling.
#include "lap_chart.h"

#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>
#include <algorithm>
#include <cmath>

#include "chart_texts.h"
#include "lap_chart_accessible.h"
#include "painted_items_accessible.h"
#include "ui_text.h"

namespace lapdex::ui {
namespace {

const QColor kBarColour(74, 120, 176);
const QColor kBestColour(46, 139, 87);
const QColor kSlowestColour(192, 57, 43);
const QColor kAverageColour(230, 126, 34);
const QColor kSelectionBand(255, 236, 150);
const QColor kAxisColour(90, 90, 90);

QString secondsLabel(double cs) {
    return QString::number(cs / 100.0, 'f', 1);
}

}  // namespace

ChartLayout chartLayout(int barCount, int plotWidth, int labelWidth) {
    ChartLayout layout;
    if (barCount <= 0 || plotWidth <= 0) return layout;
    layout.slotWidth = static_cast<double>(plotWidth) / barCount;
    // Bars keep a gap while there is room for one; below three pixels a slot is all bar.
    const double share = layout.slotWidth >= 3 ? 0.7 : 1.0;
    layout.barWidth = std::max(1, static_cast<int>(layout.slotWidth * share));
    // Steps of 1, 2, 5, 10, 20, 50, ...: the first whose labels are a label and a gap apart.
    for (int magnitude = 1;; magnitude *= 10) {
        for (int factor : {1, 2, 5}) {
            layout.labelStep = factor * magnitude;
            if (layout.labelStep * layout.slotWidth >= labelWidth + 4 ||
                layout.labelStep >= barCount)
                return layout;
        }
    }
}

LapChart::LapChart(QWidget* parent) : QWidget(parent) {
    installLapChartAccessibility();
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
}

void LapChart::setBars(std::vector<ChartBar> bars) {
    bars_ = std::move(bars);
    maxCs_ = 0;
    best_ = slowest_ = -1;
    double sum = 0;
    int known = 0;
    for (int i = 0; i < static_cast<int>(bars_.size()); ++i) {
        const std::int64_t cs = bars_[i].cs;
        if (cs < 0) continue;
        if (best_ < 0 || cs < bars_[best_].cs) best_ = i;
        if (slowest_ < 0 || cs > bars_[slowest_].cs) slowest_ = i;
        maxCs_ = std::max(maxCs_, cs);
        sum += static_cast<double>(cs);
        ++known;
    }
    averageCs_ = known > 0 ? sum / known : -1;
    selected_ = -1;
    update();
    announceItemsChanged(this);
}

void LapChart::setSelectedBar(int index) {
    const int next = index >= 0 && index < static_cast<int>(bars_.size()) ? index : -1;
    if (next == selected_) return;
    selected_ = next;
    update();
    announceSelectedItem(this, selected_);
}

QRect LapChart::plotArea() const {
    const QFontMetrics metrics(font());
    const int left = metrics.horizontalAdvance(QStringLiteral("0000.0")) + 8;
    const int right = metrics.horizontalAdvance(
                          ui::localized(chart_text::kAverage).arg(QStringLiteral("0000.0"))) +
                      8;
    const int top = metrics.height() + 2;
    const int bottom = metrics.height() + 6;
    return rect().adjusted(left, top, -right, -bottom);
}

ChartLayout LapChart::layoutNow() const {
    const QFontMetrics metrics(font());
    const int labelWidth = metrics.horizontalAdvance(QString::number(bars_.size()));
    return chartLayout(static_cast<int>(bars_.size()), plotArea().width(), labelWidth);
}

int LapChart::barAt(QPoint position) const {
    const QRect plot = plotArea();
    if (bars_.empty() || position.y() < plot.top() || position.y() > plot.bottom() + 1 ||
        position.x() < plot.left() || position.x() > plot.right())
        return -1;
    const ChartLayout layout = layoutNow();
    const int index = static_cast<int>((position.x() - plot.left()) / layout.slotWidth);
    return std::clamp(index, 0, static_cast<int>(bars_.size()) - 1);
}

QString LapChart::toolTipFor(int index) const {
    if (index < 0 || index >= static_cast<int>(bars_.size())) return {};
    const ChartBar& bar = bars_[index];
    QString tip = ui::localized(chart_text::kLapToolTip).arg(index + 1).arg(bar.timeText);
    if (!bar.memo.isEmpty()) tip += QLatin1Char('\n') + bar.memo;
    return tip;
}

QString LapChart::averageLabel() const {
    return averageCs_ < 0 ? QString()
                          : ui::localized(chart_text::kAverage).arg(secondsLabel(averageCs_));
}

int LapChart::barHeight(std::int64_t cs, int plotHeight) const {
    if (cs <= 0 || maxCs_ <= 0) return 0;
    // Bars stand on zero, so their heights compare as the times do. Some room stays free above
    // the slowest bar so it never touches the frame.
    const double top = static_cast<double>(maxCs_) * 1.08;
    return static_cast<int>(std::lround(static_cast<double>(cs) / top * plotHeight));
}

void LapChart::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().base());
    const QRect plot = plotArea();
    if (bars_.empty() || plot.width() <= 0 || plot.height() <= 0) {
        painter.setPen(palette().color(QPalette::PlaceholderText));
        painter.drawText(rect(), Qt::AlignCenter, ui::localized(chart_text::kNoLaps));
        return;
    }
    const ChartLayout layout = layoutNow();
    paintBars(painter, plot, layout);
    paintAxes(painter, plot, layout);
}

void LapChart::paintBars(QPainter& painter, const QRect& plot, const ChartLayout& layout) const {
    const int baseline = plot.bottom();
    if (selected_ >= 0) {
        const int x = plot.left() + static_cast<int>(selected_ * layout.slotWidth);
        const int width = std::max(2, static_cast<int>(std::ceil(layout.slotWidth)));
        painter.fillRect(QRect(x, plot.top(), width, plot.height()), kSelectionBand);
    }
    const double inset = (layout.slotWidth - layout.barWidth) / 2;
    for (int i = 0; i < static_cast<int>(bars_.size()); ++i) {
        if (bars_[i].cs < 0) continue;
        const QColor colour = i == best_      ? kBestColour
                              : i == slowest_ ? kSlowestColour
                                              : kBarColour;
        const int x = plot.left() + static_cast<int>(i * layout.slotWidth + inset);
        // A zero lap still shows as a sliver on the axis, so it reads as a lap and not a gap.
        const int height = std::max(1, barHeight(bars_[i].cs, plot.height()));
        painter.fillRect(QRect(x, baseline - height + 1, layout.barWidth, height), colour);
        if (i == selected_ && layout.barWidth >= 4) {
            painter.setPen(QPen(Qt::black, 1));
            painter.drawRect(QRect(x, baseline - height + 1, layout.barWidth - 1, height - 1));
        }
    }
    paintBarTimes(painter, plot, layout);
    if (averageCs_ >= 0) {
        const int y =
            baseline - barHeight(static_cast<std::int64_t>(std::lround(averageCs_)), plot.height());
        painter.setPen(QPen(kAverageColour, 1.5, Qt::DashLine));
        painter.drawLine(plot.left(), y, plot.right(), y);
        painter.setPen(kAverageColour);
        painter.drawText(QRect(plot.right() + 4, y - 20, width() - plot.right() - 4, 40),
                         Qt::AlignLeft | Qt::AlignVCenter, averageLabel());
    }
}

void LapChart::paintBarTimes(QPainter& painter, const QRect& plot,
                             const ChartLayout& layout) const {
    // Bars from zero differ little in height, so each tells its time where the bar is wide enough
    // to hold it; at its foot, clear of the average line.
    const QFontMetrics metrics(font());
    if (layout.barWidth < metrics.horizontalAdvance(QStringLiteral("000.00")) + 4) return;
    const double inset = (layout.slotWidth - layout.barWidth) / 2;
    painter.setPen(Qt::white);
    for (int i = 0; i < static_cast<int>(bars_.size()); ++i) {
        const std::int64_t cs = bars_[i].cs;
        if (cs < 0 || barHeight(cs, plot.height()) < metrics.height() + 4) continue;
        const int x = plot.left() + static_cast<int>(i * layout.slotWidth + inset);
        painter.drawText(
            QRect(x, plot.bottom() - metrics.height() - 2, layout.barWidth, metrics.height()),
            Qt::AlignCenter, QString::number(static_cast<double>(cs) / 100.0, 'f', 2));
    }
}

void LapChart::paintAxes(QPainter& painter, const QRect& plot, const ChartLayout& layout) const {
    const QFontMetrics metrics(font());
    painter.setPen(kAxisColour);
    painter.drawLine(plot.left(), plot.bottom() + 1, plot.right(), plot.bottom() + 1);
    painter.drawLine(plot.left() - 1, plot.top(), plot.left() - 1, plot.bottom() + 1);
    const QRect yLabels(0, 0, plot.left() - 4, height());
    painter.drawText(QRect(0, 0, plot.left() - 4, metrics.height()), Qt::AlignRight,
                     ui::localized(chart_text::kSeconds));
    if (maxCs_ > 0) {
        const int y = plot.bottom() - barHeight(maxCs_, plot.height());
        painter.drawText(QRect(0, y - metrics.height() / 2, yLabels.width(), metrics.height()),
                         Qt::AlignRight | Qt::AlignVCenter,
                         secondsLabel(static_cast<double>(maxCs_)));
    }
    painter.drawText(
        QRect(0, plot.bottom() - metrics.height() / 2, yLabels.width(), metrics.height()),
        Qt::AlignRight | Qt::AlignVCenter, secondsLabel(0));
    int lastRight = -1;
    for (int i = 0; i < static_cast<int>(bars_.size()); ++i) {
        const int number = i + 1;
        if (number != 1 && number % layout.labelStep != 0) continue;
        const QString text = QString::number(number);
        const int width = metrics.horizontalAdvance(text);
        const int centre = plot.left() + static_cast<int>((i + 0.5) * layout.slotWidth);
        const int left = std::min(centre - width / 2, rect().right() - width);
        // Lap 1 and the first step can crowd each other on a dense axis: the later one yields.
        if (left <= lastRight + 2) continue;
        painter.drawText(QRect(left, plot.bottom() + 3, width, metrics.height()), Qt::AlignCenter,
                         text);
        lastRight = left + width;
    }
}

void LapChart::mousePressEvent(QMouseEvent* event) {
    const int index = barAt(event->position().toPoint());
    if (index < 0) return;
    setSelectedBar(index);
    emit barSelected(index);
}

bool LapChart::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const QString tip = toolTipFor(barAt(help->pos()));
        if (tip.isEmpty()) {
            QToolTip::hideText();
            event->ignore();
        } else {
            QToolTip::showText(help->globalPos(), tip, this);
        }
        return true;
    }
    return QWidget::event(event);
}

}  // namespace lapdex::ui
