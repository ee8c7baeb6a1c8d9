// How long the lap chart takes to draw a run of 300 laps (and of 3,000) at the size the window
// gives it. Prints milliseconds per draw; not a test.
#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <cstdio>

#include "lap_chart.h"

using lapdex::ui::ChartBar;
using lapdex::ui::LapChart;

namespace {

double millisecondsPerDraw(int laps, int draws) {
    LapChart chart;
    chart.resize(900, 170);
    std::vector<ChartBar> bars;
    for (int i = 0; i < laps; ++i)
        bars.push_back({6000 + (i * 37) % 900, QStringLiteral("00:01'00\"00"), QString()});
    chart.setBars(std::move(bars));
    chart.setSelectedBar(laps / 2);
    QImage image(chart.size(), QImage::Format_ARGB32_Premultiplied);
    chart.render(&image);  // warm the font caches
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < draws; ++i) chart.render(&image);
    return static_cast<double>(timer.nsecsElapsed()) / 1e6 / draws;
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    for (int laps : {1, 30, 300, 3000})
        std::printf("lap chart, %4d laps, 900x170 px: %.3f ms per draw\n", laps,
                    millisecondsPerDraw(laps, 200));
    return 0;
}
