// Painting and choosing in the progress chart.
#include "progress_chart.h"

#include <QDateTime>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>
#include <algorithm>
#include <cmath>
#include <limits>

#include "progress_texts.h"
#include "run_texts.h"

namespace lapdex::ui {
namespace {

const QColor kLineColour(31, 119, 180);
const QColor kBestColour(214, 140, 0);

}  // namespace

ProgressChart::ProgressChart(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
}

void ProgressChart::setProgress(const Progress& progress) {
    runs_ = progress.runs;
    format_ = progress.timeFormat;
    days_.clear();
    for (const ProgressRun& run : runs_) {
        const QDateTime start =
            QDateTime::fromString(QString::fromStdString(run.start), Qt::ISODate);
        days_.push_back(start.isValid() ? static_cast<double>(start.toSecsSinceEpoch()) / 86400
                                        : 0);
    }
    firstDay_ = days_.empty() ? 0 : *std::min_element(days_.begin(), days_.end());
    lastDay_ = days_.empty() ? 0 : *std::max_element(days_.begin(), days_.end());
    for (bool lower : {false, true}) {
        std::int64_t& low = lowCs_[lower ? 1 : 0];
        std::int64_t& high = highCs_[lower ? 1 : 0];
        low = -1, high = 0;
        for (int i = 0; i < static_cast<int>(runs_.size()); ++i) {
            const std::int64_t cs = timeOf(i, lower);
            if (cs < 0) continue;
            if (low < 0 || cs < low) low = cs;
            high = std::max(high, cs);
        }
    }
    selected_ = -1;
    update();
}

void ProgressChart::select(int index) {
    if (index < -1 || index >= static_cast<int>(runs_.size()) || index == selected_) return;
    selected_ = index;
    update();
    emit selectedChanged(index);
}

std::int64_t ProgressChart::timeOf(int index, bool lower) const {
    const ProgressRun& run = runs_[static_cast<std::size_t>(index)];
    return lower ? run.bestLapCs : run.totalCs;
}

QRect ProgressChart::plotOf(bool lower) const {
    const QFontMetrics metrics(font());
    const int left = metrics.horizontalAdvance(QStringLiteral("00:00:00.00")) + 10;
    const QRect area = rect().adjusted(left, metrics.height() + 4, -14, -metrics.height() - 8);
    const int half = (area.height() - metrics.height() - 8) / 2;
    if (!lower) return {area.left(), area.top(), area.width(), half};
    return {area.left(), area.bottom() - half, area.width(), half};
}

QPointF ProgressChart::pointOf(int index, bool lower) const {
    return pointIn(index, lower, plotOf(lower));
}

QPointF ProgressChart::pointIn(int index, bool lower, const QRect& plot) const {
    const double x = plot.left() + (days_[static_cast<std::size_t>(index)] - firstDay_) /
                                       std::max(lastDay_ - firstDay_, 1.0) * plot.width();
    const std::int64_t low = lowCs_[lower ? 1 : 0];
    // A tenth of the range above and below, so no point sits on the frame.
    const double range =
        static_cast<double>(std::max<std::int64_t>(highCs_[lower ? 1 : 0] - low, 100));
    const double bottom = static_cast<double>(low) - range * 0.1;
    const double y = plot.bottom() - (static_cast<double>(timeOf(index, lower)) - bottom) /
                                         (range * 1.2) * plot.height();
    return {x, y};
}

QString ProgressChart::describe(int index) const {
    const ProgressRun& run = runs_[static_cast<std::size_t>(index)];
    QString text = ui::localized(progress_text::kPoint)
                       .arg(startText(run.start), runTimeText(run.totalCs, format_),
                            runTimeText(run.bestLapCs, format_));
    if (run.personalBest)
        text += QStringLiteral("  ") + ui::localized(progress_text::kPersonalBest);
    return text;
}

void ProgressChart::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().base());
    if (runs_.empty()) {
        painter.setPen(palette().color(QPalette::PlaceholderText));
        painter.drawText(rect(), Qt::AlignCenter, ui::localized(progress_text::kNoRuns));
        return;
    }
    paintPlot(painter, false);
    paintPlot(painter, true);
    const QFontMetrics metrics(font());
    const QRect lower = plotOf(true);
    painter.setPen(palette().color(QPalette::Text));
    painter.drawText(QRect(lower.left(), lower.bottom() + 4, lower.width(), metrics.height()),
                     Qt::AlignLeft, startText(runs_.front().start).left(10));
    painter.drawText(QRect(lower.left(), lower.bottom() + 4, lower.width(), metrics.height()),
                     Qt::AlignRight, startText(runs_.back().start).left(10));
}

void ProgressChart::paintPlot(QPainter& painter, bool lower) const {
    const QRect plot = plotOf(lower);
    const QFontMetrics metrics(font());
    painter.setPen(QColor(90, 90, 90));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(plot.adjusted(-1, -1, 0, 0));
    painter.drawText(
        QRect(plot.left(), plot.top() - metrics.height() - 2, plot.width(), metrics.height()),
        Qt::AlignLeft,
        lower ? ui::localized(progress_text::kBestLap)
              : ui::localized(progress_text::kTotal) + QStringLiteral("   ") +
                    ui::localized(progress_text::kPersonalBest));
    std::int64_t low = -1, high = -1;
    for (int i = 0; i < static_cast<int>(runs_.size()); ++i) {
        if (timeOf(i, lower) < 0) continue;  // an unreadable time is left out, not drawn as 0
        if (low < 0 || timeOf(i, lower) < timeOf(low, lower)) low = i;
        if (high < 0 || timeOf(i, lower) > timeOf(high, lower)) high = i;
    }
    // Dots only where they stay apart; where runs crowd, smoothing buys nothing and costs most.
    const bool dots = static_cast<int>(runs_.size()) * 4 <= plot.width();
    painter.setRenderHint(QPainter::Antialiasing, dots);
    // A cosmetic pen takes the fast stroker; the line is never scaled anyway.
    QPen pen(kLineColour, 1.5);
    pen.setCosmetic(true);
    painter.setPen(pen);
    const std::vector<QPointF> line = thinnedLine(lower, plot);
    for (std::size_t i = 1; i < line.size(); ++i) painter.drawLine(line[i - 1], line[i]);
    // The bests and the chosen run are drawn whatever the crowd.
    painter.setRenderHint(QPainter::Antialiasing);
    for (int i = 0; i < static_cast<int>(runs_.size()); ++i) {
        if (timeOf(i, lower) < 0) continue;
        const QPointF at = pointIn(i, lower, plot);
        const bool best = runs_[static_cast<std::size_t>(i)].personalBest && !lower;
        if (best || dots) {
            painter.setBrush(best ? kBestColour : kLineColour);
            painter.setPen(Qt::NoPen);
            painter.drawEllipse(at, best ? 5.0 : 3.0, best ? 5.0 : 3.0);
        }
        if (best) {
            painter.setPen(kBestColour);
            painter.drawText(at + QPointF(-5, -8), QStringLiteral("★"));
        }
        if (i == selected_) {
            painter.setBrush(Qt::NoBrush);
            painter.setPen(QPen(palette().color(QPalette::Highlight), 2));
            painter.drawEllipse(at, 8.0, 8.0);
        }
    }
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(palette().color(QPalette::Text));
    for (std::int64_t i : {low, high}) {
        if (i < 0) continue;
        const int y = static_cast<int>(pointIn(static_cast<int>(i), lower, plot).y());
        painter.drawText(QRect(0, y - metrics.height() / 2, plot.left() - 6, metrics.height()),
                         Qt::AlignRight | Qt::AlignVCenter,
                         runTimeText(timeOf(static_cast<int>(i), lower), format_));
    }
}

std::vector<QPointF> ProgressChart::thinnedLine(bool lower, const QRect& plot) const {
    // Runs that fall on one pixel column become its first, lowest, highest and last point: the
    // same picture as every segment, at a cost bound by the width rather than the run count.
    std::vector<QPointF> line;
    int column = std::numeric_limits<int>::min();
    QPointF first, top, bottom, last;
    auto flush = [&] {
        if (column == std::numeric_limits<int>::min()) return;
        for (const QPointF& p : {first, top, bottom, last})
            if (line.empty() || line.back() != p) line.push_back(p);
    };
    for (int i = 0; i < static_cast<int>(runs_.size()); ++i) {
        if (timeOf(i, lower) < 0) continue;
        const QPointF at = pointIn(i, lower, plot);
        if (static_cast<int>(at.x()) != column) {
            flush();
            column = static_cast<int>(at.x());
            first = top = bottom = at;
        }
        if (at.y() < top.y()) top = at;
        if (at.y() > bottom.y()) bottom = at;
        last = at;
    }
    flush();
    return line;
}

int ProgressChart::nearest(QPointF at) const {
    int found = -1;
    double closest = 12.0;  // pixels: a click further from every point chooses none
    const QRect plots[2] = {plotOf(false), plotOf(true)};
    for (int i = 0; i < static_cast<int>(runs_.size()); ++i) {
        for (bool lower : {false, true}) {
            if (timeOf(i, lower) < 0) continue;
            const QPointF d = pointIn(i, lower, plots[lower ? 1 : 0]) - at;
            const double distance = std::hypot(d.x(), d.y());
            if (distance < closest) closest = distance, found = i;
        }
    }
    return found;
}

void ProgressChart::mousePressEvent(QMouseEvent* event) {
    const int hit = nearest(event->position());
    if (hit >= 0) select(hit);
    QWidget::mousePressEvent(event);
}

void ProgressChart::mouseDoubleClickEvent(QMouseEvent* event) {
    const int hit = nearest(event->position());
    if (hit >= 0) emit activated(hit);
}

bool ProgressChart::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const int hit = nearest(help->pos());
        if (hit >= 0)
            QToolTip::showText(help->globalPos(), describe(hit), this);
        else
            QToolTip::hideText();
        return true;
    }
    return QWidget::event(event);
}

void ProgressChart::keyPressEvent(QKeyEvent* event) {
    const int last = static_cast<int>(runs_.size()) - 1;
    switch (event->key()) {
        case Qt::Key_Left:
            return select(std::max(selected_ - 1, 0));
        case Qt::Key_Right:
            return select(std::min(selected_ + 1, last));
        case Qt::Key_Home:
            return select(last >= 0 ? 0 : -1);
        case Qt::Key_End:
            return select(last);
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (selected_ >= 0) emit activated(selected_);
            return;
        default:
            QWidget::keyPressEvent(event);
    }
}

}  // namespace lapdex::ui
