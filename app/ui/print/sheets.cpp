// Run sheets and day sheets for paper and PDF.
#include "sheets.h"

#include <QBuffer>
#include <QFile>
#include <QPageLayout>
#include <QPdfWriter>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QTextDocument>
#include <memory>

#include "export_times.h"

namespace lapdex::ui {
namespace {

QString escaped(const std::string& text) {
    return QString::fromStdString(text).toHtmlEscaped();
}

QString shown(std::int64_t cs, TimeFormat format) {
    return QString::fromStdString(exportDisplayTime(cs, format)).toHtmlEscaped();
}

QString startText(const std::string& iso) {
    return QString::fromStdString(exportStartText(iso)).replace(u'-', u'/');
}

// Names, numbers and times stay on one line (numbers and times aligned right); only memos wrap.
QString cell(const QString& text, bool right = false) {
    return (right ? QStringLiteral("<td align=\"right\" style=\"white-space:nowrap\">")
                  : QStringLiteral("<td style=\"white-space:nowrap\">")) +
           text + QStringLiteral("</td>");
}

QString memoCell(const std::string& memo) {
    return QStringLiteral("<td>") + escaped(memo) + QStringLiteral("</td>");
}

const QString kTable = QStringLiteral(
    "<table border=\"1\" cellspacing=\"0\" cellpadding=\"3\" width=\"100%\" "
    "style=\"border-collapse:collapse\">");

}  // namespace

QString runSheetHtml(const ExportRun& r) {
    const IndexedRun& run = r.run;
    QString html = QStringLiteral("<h2>%1</h2><p>%2　シリアル番号 %3</p>")
                       .arg(escaped(r.tabName), startText(run.start), escaped(r.serialText));
    html += kTable + QStringLiteral(
                         "<tr><th>トータルタイム</th><th>ラップ数</th><th>ベストラップNo</th>"
                         "<th>ベストラップタイム</th><th>平均ラップタイム</th></tr><tr>");
    html += cell(shown(run.totalCs, run.timeFormat), true) +
            cell(QString::number(run.lapCount), true) +
            cell(QString::number(run.bestLapNumber), true) +
            cell(shown(run.bestLapCs, run.timeFormat), true) +
            cell(shown(run.averageLapCs, run.timeFormat), true) +
            QStringLiteral("</tr></table><p></p>");
    html += kTable + QStringLiteral(
                         "<thead><tr><th>No.</th><th>ラップ</th><th>スプリット</th>"
                         "<th>ラップメモ</th></tr></thead>");
    for (const IndexedLap& lap : run.laps) {
        html += QStringLiteral("<tr>") + cell(QString::number(lap.number), true) +
                cell(shown(lap.lapCs, run.timeFormat), true) +
                cell(shown(lap.splitCs, run.timeFormat), true) + memoCell(lap.memo) +
                QStringLiteral("</tr>");
    }
    html += QStringLiteral("</table><p>メモ：%1</p>").arg(escaped(run.memo));
    return html;
}

QString daySheetHtml(const QString& title, const std::vector<ExportRun>& runs) {
    QString html = QStringLiteral("<h2>%1</h2>").arg(title.toHtmlEscaped());
    html +=
        kTable +
        QStringLiteral(
            "<thead><tr><th style=\"white-space:nowrap\">タブ名</th><th "
            "style=\"white-space:nowrap\">開始</th>"
            "<th style=\"white-space:nowrap\">ラップ数</th><th "
            "style=\"white-space:nowrap\">トータル</th>"
            "<th style=\"white-space:nowrap\">ベスト</th><th style=\"white-space:nowrap\">平均</th>"
            "<th width=\"28%\">メモ</th></tr></thead>");
    for (const ExportRun& r : runs) {
        const IndexedRun& run = r.run;
        html += QStringLiteral("<tr>") + cell(escaped(r.tabName)) +
                cell(startText(run.start).mid(11)) + cell(QString::number(run.lapCount), true) +
                cell(shown(run.totalCs, run.timeFormat), true) +
                cell(shown(run.bestLapCs, run.timeFormat), true) +
                cell(shown(run.averageLapCs, run.timeFormat), true) + memoCell(run.memo) +
                QStringLiteral("</tr>");
    }
    return html + QStringLiteral("</table>");
}

QTextDocument* sheetDocument(const QString& html, QObject* parent) {
    auto* document = new QTextDocument(parent);
    // A Japanese TrueType face: the PDF embeds it, and its text reads back as the same characters
    // (faces that share glyphs between radicals and ideographs give readers the radicals).
    QFont font(QStringLiteral("IPAGothic"));
    font.setPointSizeF(10);
    document->setDefaultFont(font);
    document->setHtml(html);
    return document;
}

QByteArray sheetPdf(const QString& html, const QString& title) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                         QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter));
        writer.setTitle(title);
        writer.setCreator(QStringLiteral("Lapdex"));
        std::unique_ptr<QTextDocument> document(sheetDocument(html));
        // An unpaginated document is laid out on the writer's pages with the page number at each
        // foot.
        document->print(&writer);
    }
    return bytes;
}

bool writeSheetPdf(const QString& html, const QString& title, const QString& path) {
    QFile file(path);
    const QByteArray bytes = sheetPdf(html, title);
    return !bytes.isEmpty() && file.open(QIODevice::WriteOnly) &&
           file.write(bytes) == bytes.size() && file.flush();
}

void printSheet(QWidget* parent, const QString& html) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(QPageLayout::Portrait);
    QPrintPreviewDialog preview(&printer, parent);
    std::unique_ptr<QTextDocument> document(sheetDocument(html));
    QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &preview,
                     [&document](QPrinter* p) { document->print(p); });
    preview.exec();
}

}  // namespace lapdex::ui
