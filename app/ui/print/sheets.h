// The printed and PDF sheets: a run sheet (one run with its statistics, lap chart, laps and memos)
// and a day sheet (the team's day, its header row repeated on each page). A4 portrait, page
// numbers at the foot, Japanese text in an embedded font, texts in the language shown.
#pragma once

#include <QByteArray>
#include <QFont>
#include <QImage>
#include <QList>
#include <QPair>
#include <QString>
#include <vector>

#include "export_run.h"
#include "run_gathering.h"
#include "sessions.h"
#include "team_day.h"

class QObject;
class QTextDocument;
class QWidget;

namespace lapdex::ui {

// A sheet ready for printing: rich text and the pictures it names in <img src="...">.
struct Sheet {
    QString title;
    QString html;
    QList<QPair<QString, QImage>> images;
    double pointSize = 10;  // of the body text
};

// The sheets' face: a Japanese TrueType face that the PDF embeds.
QFont sheetFont(double pointSize);

// The run sheet of `run`: start and serial, statistics, the lap chart (when the run has laps),
// the lap table with lap memos and the run memo.
Sheet runSheet(const ExportRun& run);

// The day sheet of `day` under `title`: one row per run (name, start), one column per lap, then
// total, best and average, marked as the team day window marks them. Lap columns that do not fit
// the page's width go on in further tables, each with the names and starts again. A day of several
// training sessions (see sessionsOf) has one section per session, each marked on its own. A day
// with runs of club folders names each run's PC beside its start.
Sheet daySheet(const QString& title, const TeamDay& day,
               int gapMinutes = kDefaultSessionGapMinutes);

// Lays the sheet out in its font. The caller owns the document.
QTextDocument* sheetDocument(const Sheet& sheet, QObject* parent = nullptr);

// The sheet as the bytes of an A4 portrait PDF.
QByteArray sheetPdf(const Sheet& sheet);

// Writes the sheet to `path` as an A4 portrait PDF. False when the file cannot be written.
bool writeSheetPdf(const Sheet& sheet, const QString& path);

// Shows the print preview of the sheet and prints it where the user says.
void printSheet(QWidget* parent, const Sheet& sheet);

}  // namespace lapdex::ui
