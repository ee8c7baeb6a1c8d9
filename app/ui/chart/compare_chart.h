// Several runs' laps as lines in one chart, lap by lap, with a legend naming each run. Like the lap
// chart it reads its texts when it paints, so a change of language (which repaints) reaches it.
#pragma once

#include <QString>
#include <QWidget>
#include <cstdint>
#include <vector>

namespace lapdex::ui {

// One run of the comparison. Lap times in hundredths of a second; a negative one is a gap.
struct CompareSeries {
    QString name;  // the legend's text: tab name and start
    std::vector<std::int64_t> lapsCs;
};

class CompareChart : public QWidget {
    Q_OBJECT
  public:
    static constexpr int kMaxSeries = 8;

    explicit CompareChart(QWidget* parent = nullptr);

    // Keeps the first kMaxSeries series.
    void setSeries(std::vector<CompareSeries> series);
    const std::vector<CompareSeries>& series() const { return series_; }
    // The colour of series `index`; each of the eight differs.
    static QColor colourOf(int index);
    // The plot area and the point of lap `lap` (0-based) of series `index`, in widget
    // coordinates; the lap's x is the same in every series.
    QRect plotArea() const;
    QPointF pointOf(int index, int lap) const;
    // The most laps of any series.
    int lapColumns() const { return lapColumns_; }

    QSize sizeHint() const override { return {720, 360}; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    void paintAxes(class QPainter& painter, const QRect& plot) const;
    void paintLegend(QPainter& painter, const QRect& plot) const;
    double yOf(std::int64_t cs, const QRect& plot) const;

    std::vector<CompareSeries> series_;
    int lapColumns_ = 0;
    std::int64_t minCs_ = 0;
    std::int64_t maxCs_ = 0;
};

}  // namespace lapdex::ui
