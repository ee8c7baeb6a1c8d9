// Painting the comparison of runs.
#include "compare_chart.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>

#include "chart_texts.h"
#include "lap_chart.h"
#include "ui_text.h"

namespace lapdex::ui {
namespace {

constexpr int kLegendRowHeight = 16;

}  // namespace

CompareChart::CompareChart(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

QColor CompareChart::colourOf(int index) {
    static const QColor kColours[kMaxSeries] = {
        QColor(31, 119, 180),  QColor(214, 39, 40), QColor(44, 160, 44),   QColor(255, 127, 14),
        QColor(148, 103, 189), QColor(140, 86, 75), QColor(227, 119, 194), QColor(23, 190, 207)};
    return kColours[std::clamp(index, 0, kMaxSeries - 1)];
}

void CompareChart::setSeries(std::vector<CompareSeries> series) {
    if (series.size() > kMaxSeries) series.resize(kMaxSeries);
    series_ = std::move(series);
    lapColumns_ = 0;
    minCs_ = -1;
    maxCs_ = 0;
    for (const CompareSeries& s : series_) {
        lapColumns_ = std::max(lapColumns_, static_cast<int>(s.lapsCs.size()));
        for (std::int64_t cs : s.lapsCs) {
            if (cs < 0) continue;
            if (minCs_ < 0 || cs < minCs_) minCs_ = cs;
            maxCs_ = std::max(maxCs_, cs);
        }
    }
    if (minCs_ < 0) minCs_ = 0;
    update();
}

QRect CompareChart::plotArea() const {
    const QFontMetrics metrics(font());
    const int legendRows = static_cast<int>(series_.size());
    const int left = metrics.horizontalAdvance(QStringLiteral("0000.0")) + 8;
    const int bottom = metrics.height() + 8 + legendRows * kLegendRowHeight + 6;
    return rect().adjusted(left, metrics.height() + 4, -12, -bottom);
}

double CompareChart::yOf(std::int64_t cs, const QRect& plot) const {
    // A tenth of the range above and below, so no line runs along the frame.
    const double span = static_cast<double>(std::max<std::int64_t>(maxCs_ - minCs_, 100));
    const double low = static_cast<double>(minCs_) - span * 0.1;
    const double high = static_cast<double>(maxCs_) + span * 0.1;
    return plot.bottom() - (static_cast<double>(cs) - low) / (high - low) * plot.height();
}

QPointF CompareChart::pointOf(int index, int lap) const {
    const QRect plot = plotArea();
    const std::int64_t cs =
        series_[static_cast<std::size_t>(index)].lapsCs[static_cast<std::size_t>(lap)];
    const double slot = lapColumns_ > 0 ? static_cast<double>(plot.width()) / lapColumns_ : 0;
    return {plot.left() + (lap + 0.5) * slot, yOf(cs, plot)};
}

void CompareChart::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().base());
    const QRect plot = plotArea();
    if (series_.empty() || lapColumns_ == 0 || plot.width() <= 0 || plot.height() <= 0) {
        painter.setPen(palette().color(QPalette::PlaceholderText));
        painter.drawText(rect(), Qt::AlignCenter, ui::localized(chart_text::kNoLaps));
        return;
    }
    paintAxes(painter, plot);
    painter.setRenderHint(QPainter::Antialiasing);
    for (int i = 0; i < static_cast<int>(series_.size()); ++i) {
        QPainterPath path;
        bool drawing = false;
        const auto& laps = series_[static_cast<std::size_t>(i)].lapsCs;
        for (int lap = 0; lap < static_cast<int>(laps.size()); ++lap) {
            // An unreadable lap breaks the line rather than pulling it to zero.
            if (laps[static_cast<std::size_t>(lap)] < 0) {
                drawing = false;
                continue;
            }
            const QPointF point = pointOf(i, lap);
            if (drawing)
                path.lineTo(point);
            else
                path.moveTo(point);
            drawing = true;
            if (lapColumns_ <= 60)
                painter.fillRect(QRectF(point.x() - 2, point.y() - 2, 4, 4), colourOf(i));
        }
        painter.setPen(QPen(colourOf(i), 2));
        painter.drawPath(path);
    }
    painter.setRenderHint(QPainter::Antialiasing, false);
    paintLegend(painter, plot);
}

void CompareChart::paintAxes(QPainter& painter, const QRect& plot) const {
    const QFontMetrics metrics(font());
    painter.setPen(QColor(90, 90, 90));
    painter.drawRect(plot.adjusted(-1, -1, 0, 0));
    painter.drawText(QRect(0, 0, plot.left() - 4, metrics.height()), Qt::AlignRight,
                     ui::localized(chart_text::kSeconds));
    // The fastest and slowest lap of all on the time axis.
    for (std::int64_t cs : {minCs_, maxCs_}) {
        const int y = static_cast<int>(yOf(cs, plot));
        painter.drawText(QRect(0, y - metrics.height() / 2, plot.left() - 4, metrics.height()),
                         Qt::AlignRight | Qt::AlignVCenter, QString::number(cs / 100.0, 'f', 1));
    }
    const ChartLayout layout = chartLayout(lapColumns_, plot.width(),
                                           metrics.horizontalAdvance(QString::number(lapColumns_)));
    int lastRight = -1;
    for (int lap = 1; lap <= lapColumns_; ++lap) {
        if (lap != 1 && lap % layout.labelStep != 0) continue;
        const QString text = QString::number(lap);
        const int width = metrics.horizontalAdvance(text);
        const int left = plot.left() + static_cast<int>((lap - 0.5) * layout.slotWidth) - width / 2;
        if (left <= lastRight + 2) continue;
        painter.drawText(QRect(left, plot.bottom() + 3, width, metrics.height()), Qt::AlignCenter,
                         text);
        lastRight = left + width;
    }
}

void CompareChart::paintLegend(QPainter& painter, const QRect& plot) const {
    const QFontMetrics metrics(font());
    int y = plot.bottom() + metrics.height() + 8;
    for (int i = 0; i < static_cast<int>(series_.size()); ++i) {
        painter.fillRect(QRect(plot.left(), y + kLegendRowHeight / 2 - 2, 18, 4), colourOf(i));
        painter.setPen(palette().color(QPalette::Text));
        painter.drawText(QRect(plot.left() + 24, y, plot.width() - 24, kLegendRowHeight),
                         Qt::AlignLeft | Qt::AlignVCenter,
                         series_[static_cast<std::size_t>(i)].name);
        y += kLegendRowHeight;
    }
}

}  // namespace lapdex::ui
