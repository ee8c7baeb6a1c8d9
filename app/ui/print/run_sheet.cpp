// The run sheet: statistics, the lap chart as the page draws it, the laps and the memos.
#include <QPainter>
#include <QPalette>

#include "lap_chart.h"
#include "print_texts.h"
#include "sheet_html.h"
#include "sheets.h"

namespace lapdex::ui {
namespace {

using namespace sheet_html;

// The chart's place on the sheet in the document's pixels (1/96 inch): the body's width, a third
// of it high.
constexpr int kChartWidth = 560;
constexpr int kChartHeight = 190;
// Drawn at four times that, so that bars and labels stay sharp on paper.
constexpr int kChartScale = 4;
const QString kChartName = QStringLiteral("lapdex-sheet:lap-chart");

// The page's lap chart widget, painted off screen into a picture.
QImage lapChartImage(const RunDetails& run) {
    LapChart chart;
    QPalette palette = chart.palette();
    palette.setColor(QPalette::Base, Qt::white);
    palette.setColor(QPalette::Text, Qt::black);
    chart.setPalette(palette);
    QFont font(QStringLiteral("IPAGothic"));
    font.setPointSizeF(8);
    chart.setFont(font);
    std::vector<ChartBar> bars;
    for (const LapDetails& lap : run.laps)
        bars.push_back({lap.lapCs, shownTime(lap.lapCs, run.timeFormat), QString()});
    chart.setBars(std::move(bars));
    chart.resize(kChartWidth, kChartHeight);
    QImage image(chart.size() * kChartScale, QImage::Format_RGB32);
    image.setDevicePixelRatio(kChartScale);
    image.fill(Qt::white);
    chart.render(&image);
    return image;
}

QString statistics(const RunDetails& run) {
    using namespace print_text;
    QString html = table() + QStringLiteral(
                                 "<tr><th>%1</th><th>%2</th><th>%3</th><th>%4</th>"
                                 "<th>%5</th></tr><tr>")
                                 .arg(ui::localized(kTotal), ui::localized(kLapCount),
                                      ui::localized(kBestNumber), ui::localized(kBest),
                                      ui::localized(kAverage));
    html += cell(shownTime(run.totalCs, run.timeFormat), Align::Right) +
            cell(QString::number(run.lapCount), Align::Right) +
            cell(QString::number(run.bestLapNumber), Align::Right) +
            cell(shownTime(run.bestLapCs, run.timeFormat), Align::Right) +
            cell(shownTime(run.averageLapCs, run.timeFormat), Align::Right);
    return html + QStringLiteral("</tr></table><p></p>");
}

QString lapTable(const RunDetails& run) {
    using namespace print_text;
    QString html = table() + QStringLiteral(
                                 "<thead><tr><th>%1</th><th>%2</th><th>%3</th>"
                                 "<th>%4</th></tr></thead>")
                                 .arg(ui::localized(kNumber), ui::localized(kLap),
                                      ui::localized(kSplit), ui::localized(kLapMemo));
    for (const LapDetails& lap : run.laps) {
        html += QStringLiteral("<tr>") + cell(QString::number(lap.number), Align::Right) +
                cell(shownTime(lap.lapCs, run.timeFormat), Align::Right) +
                cell(shownTime(lap.splitCs, run.timeFormat), Align::Right) +
                wrappingCell(escaped(lap.memo)) + QStringLiteral("</tr>");
    }
    return html + QStringLiteral("</table>");
}

}  // namespace

Sheet runSheet(const ExportRun& r) {
    const RunDetails& run = r.run;
    Sheet sheet;
    sheet.title = QString::fromStdString(r.tabName);
    sheet.html =
        QStringLiteral("<h2>%1</h2><p>%2</p>")
            .arg(escaped(r.tabName), ui::localized(print_text::kStartAndSerial)
                                         .arg(startText(run.start), escaped(r.serialText)));
    sheet.html += statistics(run);
    if (!run.laps.empty()) {
        sheet.html += QStringLiteral("<p><img src=\"%1\" width=\"%2\" height=\"%3\"></p>")
                          .arg(kChartName)
                          .arg(kChartWidth)
                          .arg(kChartHeight);
        sheet.images.append({kChartName, lapChartImage(run)});
    }
    sheet.html += lapTable(run);
    sheet.html +=
        QStringLiteral("<p>%1</p>").arg(ui::localized(print_text::kMemo).arg(escaped(run.memo)));
    return sheet;
}

}  // namespace lapdex::ui
