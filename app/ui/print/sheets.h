// The printed and PDF sheets: a run sheet (one run with its statistics, laps and memos) and a day
// sheet (every run of a day, its header row repeated on each page). A4 portrait, page numbers at
// the foot, Japanese text in an embedded font.
#pragma once

#include <QByteArray>
#include <QString>
#include <vector>

#include "export_run.h"

class QObject;
class QTextDocument;
class QWidget;

namespace lapdex::ui {

// The sheets as rich text, ready for printing. A day sheet's runs share the day of its title: its
// rows show their start times only.
QString runSheetHtml(const ExportRun& run);
QString daySheetHtml(const QString& title, const std::vector<ExportRun>& runs);

// Lays `html` out in the sheet's font. The caller owns the document.
QTextDocument* sheetDocument(const QString& html, QObject* parent = nullptr);

// The sheet as the bytes of an A4 portrait PDF.
QByteArray sheetPdf(const QString& html, const QString& title);

// Writes the sheet to `path` as an A4 portrait PDF. False when the file cannot be written.
bool writeSheetPdf(const QString& html, const QString& title, const QString& path);

// Shows the print preview of the sheet and prints it where the user says.
void printSheet(QWidget* parent, const QString& html);

}  // namespace lapdex::ui
