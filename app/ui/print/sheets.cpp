// Laying sheets out on A4 pages, for PDF files and for the printer.
#include "sheets.h"

#include <QBuffer>
#include <QFile>
#include <QPageLayout>
#include <QPdfWriter>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QTextDocument>
#include <QUrl>
#include <memory>

namespace lapdex::ui {
namespace {

// A4 portrait with 10 mm margins; a printed document keeps 2 cm more on each side and writes the
// page number in the lower one.
QPageLayout sheetPageLayout() {
    return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(10, 10, 10, 10),
                       QPageLayout::Millimeter);
}

}  // namespace

QFont sheetFont(double pointSize) {
    // Its text reads back as the same characters (faces that share glyphs between radicals and
    // ideographs give readers the radicals).
    QFont font(QStringLiteral("IPAGothic"));
    font.setPointSizeF(pointSize);
    return font;
}

QTextDocument* sheetDocument(const Sheet& sheet, QObject* parent) {
    auto* document = new QTextDocument(parent);
    document->setDefaultFont(sheetFont(sheet.pointSize));
    for (const auto& [name, image] : sheet.images)
        document->addResource(QTextDocument::ImageResource, QUrl(name), image);
    document->setHtml(sheet.html);
    return document;
}

QByteArray sheetPdf(const Sheet& sheet) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setPageLayout(sheetPageLayout());
        writer.setTitle(sheet.title);
        writer.setCreator(QStringLiteral("Lapdex"));
        std::unique_ptr<QTextDocument> document(sheetDocument(sheet));
        // An unpaginated document is laid out on the writer's pages with the page number at each
        // foot, and a table's header row at the top of each page it reaches.
        document->print(&writer);
    }
    return bytes;
}

bool writeSheetPdf(const Sheet& sheet, const QString& path) {
    QFile file(path);
    const QByteArray bytes = sheetPdf(sheet);
    return !bytes.isEmpty() && file.open(QIODevice::WriteOnly) &&
           file.write(bytes) == bytes.size() && file.flush();
}

void printSheet(QWidget* parent, const Sheet& sheet) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageLayout(sheetPageLayout());
    QPrintPreviewDialog preview(&printer, parent);
    std::unique_ptr<QTextDocument> document(sheetDocument(sheet));
    QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &preview,
                     [&document](QPrinter* p) { document->print(p); });
    preview.exec();
}

}  // namespace lapdex::ui
