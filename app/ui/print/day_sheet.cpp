// The day sheet: the team day table as the window shows it, split into parts as wide as the page.
#include <QBrush>
#include <QFontMetricsF>
#include <QSettings>
#include <algorithm>

#include "club_settings.h"
#include "print_texts.h"
#include "sessions.h"
#include "sheet_html.h"
#include "sheets.h"
#include "team_day_model.h"

namespace lapdex::ui {
namespace {

using namespace sheet_html;

constexpr double kDayPointSize = 8;
// The symbol of a marked time: a full-width triangle at three quarters of the text stands about as
// tall as the digits, and leaves three laps with total, best and average room on one table.
constexpr double kMarkPointSize = 6;
// A cell's padding and borders beyond its text, in points.
constexpr double kCellExtraPt = 7;
// A long name wraps rather than narrow the laps' room.
constexpr double kNameWidthPt = 90;

// The lap columns [firstLap, endLap) of one table (model columns), and whether total, best and
// average close it.
struct ColumnGroup {
    int firstLap = 0;
    int endLap = 0;
    bool trailing = false;
};

// The symbol of the time at (row, column) and the space after it; empty when it is not marked.
QString markOf(const TeamDayModel& model, int row, int column) {
    const QChar symbol = markSymbol(model.index(row, column).data(TeamDayModel::kRankRole).toInt());
    return symbol.isNull() ? QString() : symbol + QStringLiteral(" ");
}

// The font's metrics in points.
QFontMetricsF pointMetrics(double pointSize) {
    QFont font = sheetFont(pointSize);
    font.setBold(true);  // headers and the fastest times are bold
    QImage points(1, 1, QImage::Format_RGB32);
    points.setDotsPerMeterX(2835);  // 72 dots per inch: one dot is one point
    points.setDotsPerMeterY(2835);
    return QFontMetricsF(font, &points);
}

// The width in points each column of `model` needs for its header and widest cell.
std::vector<double> columnWidths(const TeamDayModel& model) {
    const QFontMetricsF metrics = pointMetrics(kDayPointSize);
    const QFontMetricsF markMetrics = pointMetrics(kMarkPointSize);
    std::vector<double> widths;
    for (int c = 0; c < model.columnCount(); ++c) {
        double widest = metrics.horizontalAdvance(
            model.headerData(c, Qt::Horizontal, Qt::DisplayRole).toString());
        for (int r = 0; r < model.rowCount(); ++r) {
            const QString text = model.data(model.index(r, c), Qt::DisplayRole).toString();
            widest = std::max(widest, metrics.horizontalAdvance(text) +
                                          markMetrics.horizontalAdvance(markOf(model, r, c)));
        }
        widths.push_back(widest + kCellExtraPt);
    }
    widths[TeamDayModel::kTabName] = std::min(widths[TeamDayModel::kTabName], kNameWidthPt);
    return widths;
}

// Lap columns go into tables as many as fit the page beside the name and start; total, best
// and average close the last one, or stand in one of their own when the laps fill it.
std::vector<ColumnGroup> columnGroups(const TeamDayModel& model) {
    const std::vector<double> w = columnWidths(model);
    const double fixed =
        w[TeamDayModel::kTabName] + w[TeamDayModel::kStart] +
        (model.pcColumn() >= 0 ? w[static_cast<std::size_t>(model.pcColumn())] : 0);
    const double trailing =
        w[model.totalColumn()] + w[model.bestColumn()] + w[model.averageColumn()];
    const double budget = kBodyWidthPt - 2;
    std::vector<ColumnGroup> groups;
    int lap = TeamDayModel::kFirstLap;
    do {
        ColumnGroup group{lap, lap, false};
        double width = fixed;
        while (group.endLap < model.totalColumn() &&
               (group.endLap == group.firstLap || width + w[group.endLap] <= budget))
            width += w[group.endLap++];
        group.trailing = group.endLap == model.totalColumn() && width + trailing <= budget;
        groups.push_back(group);
        lap = group.endLap;
    } while (lap < model.totalColumn());
    if (!groups.back().trailing) groups.push_back({lap, lap, true});
    return groups;
}

QString timeCell(const TeamDayModel& model, int row, int column) {
    const QModelIndex index = model.index(row, column);
    QString text = index.data(Qt::DisplayRole).toString().toHtmlEscaped();
    const int rank = index.data(TeamDayModel::kRankRole).toInt();
    if (rank > 0) text = QStringLiteral("<b>") + text + QStringLiteral("</b>");
    if (rank < 0) text = QStringLiteral("<i>") + text + QStringLiteral("</i>");
    // The symbol keeps the mark on a sheet printed without colour.
    if (rank != 0)
        text = QStringLiteral("<span style=\"font-size:%1pt\">%2</span>")
                   .arg(kMarkPointSize)
                   .arg(markOf(model, row, column)) +
               text;
    const QVariant background = index.data(Qt::BackgroundRole);
    const QString colour =
        background.isValid()
            ? QStringLiteral(" bgcolor=\"%1\"").arg(background.value<QBrush>().color().name())
            : QString();
    return cell(text, Align::Right, colour);
}

QString groupTable(const TeamDayModel& model, const ColumnGroup& group) {
    std::vector<int> columns{TeamDayModel::kTabName, TeamDayModel::kStart};
    // Runs of club folders name their PC beside the start, in every part of the table.
    const bool pc = model.pcColumn() >= 0;
    if (pc) columns.push_back(model.pcColumn());
    const std::size_t fixedColumns = columns.size();
    for (int c = group.firstLap; c < group.endLap; ++c) columns.push_back(c);
    if (group.trailing)
        columns.insert(columns.end(),
                       {model.totalColumn(), model.bestColumn(), model.averageColumn()});
    QString html = table(TableWidth::Content) + QStringLiteral("<thead><tr>");
    for (int c : columns) {
        html += QStringLiteral("<th style=\"white-space:nowrap\">") +
                model.headerData(c, Qt::Horizontal, Qt::DisplayRole).toString().toHtmlEscaped() +
                QStringLiteral("</th>");
    }
    html += QStringLiteral("</tr></thead>");
    for (int r = 0; r < model.rowCount(); ++r) {
        html += QStringLiteral("<tr>") +
                wrappingCell(model.data(model.index(r, TeamDayModel::kTabName), Qt::DisplayRole)
                                 .toString()
                                 .toHtmlEscaped()) +
                cell(model.data(model.index(r, TeamDayModel::kStart), Qt::DisplayRole).toString());
        if (pc)
            html += wrappingCell(model.data(model.index(r, model.pcColumn()), Qt::DisplayRole)
                                     .toString()
                                     .toHtmlEscaped());
        for (std::size_t i = fixedColumns; i < columns.size(); ++i)
            html += timeCell(model, r, columns[i]);
        html += QStringLiteral("</tr>");
    }
    return html + QStringLiteral("</table>");
}

// The tables of `day`, marked among its own runs; with the "PC" column when `pcColumn`.
QString dayTables(const TeamDay& day, bool pcColumn) {
    TeamDayModel model;
    model.setDay(day);
    QSettings settings(QStringLiteral("Lapdex"), QStringLiteral("Lapdex"));
    model.setPcColumn(pcColumn, ownPcLabel(settings));
    QString html;
    const std::vector<ColumnGroup> groups = columnGroups(model);
    for (const ColumnGroup& group : groups) {
        if (groups.size() > 1 && group.endLap > group.firstLap) {
            html += QStringLiteral("<p><b>%1</b></p>")
                        .arg(ui::localized(print_text::kLapRange)
                                 .arg(group.firstLap - TeamDayModel::kFirstLap + 1)
                                 .arg(group.endLap - TeamDayModel::kFirstLap));
        } else if (groups.size() > 1) {
            html += QStringLiteral("<p></p>");
        }
        html += groupTable(model, group);
    }
    return html;
}

}  // namespace

Sheet daySheet(const QString& title, const TeamDay& day, int gapMinutes) {
    Sheet sheet;
    sheet.title = title;
    sheet.pointSize = kDayPointSize;
    const auto runs = static_cast<long long>(day.runs.size());
    sheet.html = QStringLiteral("<h2>%1</h2><p>%2</p>")
                     .arg(title.toHtmlEscaped(),
                          ui::localized(texts::forCount(print_text::kRuns, runs)).arg(runs));
    if (day.runs.empty()) {
        sheet.html += QStringLiteral("<p>%1</p>").arg(ui::localized(print_text::kNoRuns));
        return sheet;
    }
    sheet.html +=
        QStringLiteral("<p>%1</p>")
            .arg(ui::localized(print_text::kLegend).arg(kFastestSymbol).arg(kSlowestSymbol));
    // A day of this PC's runs alone prints as it always did; with club runs every table has "PC".
    const bool pc = std::any_of(day.runs.begin(), day.runs.end(),
                                [](const TeamDayRun& run) { return !run.pc.empty(); });
    // One section per training session, each marked among its own runs.
    const std::vector<TeamSession> sessions = sessionsOf(day, gapMinutes);
    if (sessions.size() < 2) return sheet.html += dayTables(day, pc), sheet;
    auto clock = [](const std::string& at) { return QString::fromStdString(at).mid(11, 5); };
    for (std::size_t n = 0; n < sessions.size(); ++n) {
        sheet.html += QStringLiteral("<h3>%1</h3>")
                          .arg(ui::localized(print_text::kSession)
                                   .arg(static_cast<qsizetype>(n + 1))
                                   .arg(clock(sessions[n].start), clock(sessions[n].end)));
        sheet.html += dayTables(sessionDay(day, sessions[n]), pc);
    }
    return sheet;
}

}  // namespace lapdex::ui
