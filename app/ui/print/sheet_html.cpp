// Pieces of rich text shared by the run and day sheets.
#include "sheet_html.h"

#include "export_times.h"

namespace lapdex::ui::sheet_html {

QString escaped(const std::string& text) {
    return QString::fromStdString(text).toHtmlEscaped();
}

QString shownTime(std::int64_t cs, TimeFormat format) {
    return QString::fromStdString(exportDisplayTime(cs, format)).toHtmlEscaped();
}

QString startText(const std::string& iso) {
    return QString::fromStdString(exportStartText(iso)).replace(u'-', u'/');
}

QString cell(const QString& text, Align align, const QString& extra) {
    return QStringLiteral("<td%1 style=\"white-space:nowrap\"%2>%3</td>")
        .arg(align == Align::Right ? QStringLiteral(" align=\"right\"") : QString(), extra, text);
}

QString wrappingCell(const QString& text) {
    return QStringLiteral("<td>") + text + QStringLiteral("</td>");
}

QString table(TableWidth width) {
    return QStringLiteral(
               "<table border=\"1\" cellspacing=\"0\" cellpadding=\"3\"%1 "
               "style=\"border-collapse:collapse\">")
        .arg(width == TableWidth::Page ? QStringLiteral(" width=\"100%\"") : QString());
}

}  // namespace lapdex::ui::sheet_html
