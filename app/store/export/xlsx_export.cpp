// runs.xlsx.
#include "xlsx_export.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "export_times.h"
#include "spreadsheet_export.h"
#include "spreadsheet_texts.h"
#include "xlsx_workbook.h"

namespace lapdex {
namespace {

using namespace spreadsheet_text;

constexpr double kHundredthsPerDay = 8640000.0;
// Wide enough for a memo of some words; a longer one shows whole in the edit line of its cell.
constexpr double kWidestColumn = 50.0;
// Room for the filter's button beside each header.
constexpr double kFilterButton = 3.0;

// Columns a text takes in a spreadsheet's default font: East Asian characters take two.
double displayWidth(std::string_view utf8) {
    double width = 0;
    for (std::size_t i = 0; i < utf8.size();) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        const int length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        unsigned codePoint = lead;
        if (length == 3 && i + 2 < utf8.size())
            codePoint = (lead & 0x0Fu) << 12 | (utf8[i + 1] & 0x3Fu) << 6 | (utf8[i + 2] & 0x3Fu);
        const bool halfWidthKana = codePoint >= 0xFF61 && codePoint <= 0xFFDC;
        const bool wide = length == 4 || (length == 3 && codePoint >= 0x1100 && !halfWidthKana);
        width += wide ? 2 : 1;
        i += static_cast<std::size_t>(length);
    }
    return width;
}

// The columns "[h]:mm:ss.00" shows for `hundredths`.
double durationWidth(std::int64_t hundredths) {
    return static_cast<double>(std::to_string(hundredths / 360000).size()) + 9;
}

// Rows of one sheet, with the width each column needs so far.
class SheetRows {
  public:
    SheetRows(XlsxSheet sheet, const std::vector<const texts::Text*>& columns,
              texts::Language language)
        : sheet_(sheet), widths_(columns.size(), 0.0) {
        std::vector<std::string> titles;
        for (const texts::Text* header : columns) {
            titles.emplace_back(header->in(language));
            // A long title wraps onto its second line rather than widen its column alone.
            widths_[titles.size() - 1] = displayWidth(titles.back()) / 2 + kFilterButton;
        }
        sheet_.headers(titles);
    }
    void nextRow(XlsxWeight weight) { ++row_, weight_ = weight; }
    void text(int column, std::string_view value) {
        sheet_.text(row_, column, value, weight_);
        widen(column, displayWidth(value));
    }
    void integer(int column, int value) {
        sheet_.number(row_, column, value, XlsxKind::Integer, weight_);
        widen(column, static_cast<double>(std::to_string(value).size()));
    }
    // Seconds and the duration of `hundredths` in two columns; both empty for -1.
    void time(int secondsColumn, int durationColumn, std::int64_t hundredths) {
        if (hundredths < 0) return;
        if (secondsColumn >= 0) {
            sheet_.number(row_, secondsColumn, static_cast<double>(hundredths) / 100,
                          XlsxKind::Seconds, weight_);
            widen(secondsColumn, static_cast<double>(exportSeconds(hundredths).size()));
        }
        sheet_.number(row_, durationColumn, static_cast<double>(hundredths) / kHundredthsPerDay,
                      XlsxKind::Duration, weight_);
        widen(durationColumn, durationWidth(hundredths));
    }
    void start(int column, const std::string& isoStart);
    // Sets the widths, freezes the header row, filters on it and sets the sheet's printing.
    void finish() {
        for (double& w : widths_) w = std::min(w + 1, kWidestColumn);
        sheet_.setWidths(widths_);
        sheet_.headerRow(row_, static_cast<int>(widths_.size()));
        sheet_.printOnePageWide();
    }

  private:
    void widen(int column, double width) {
        double& w = widths_[static_cast<std::size_t>(column)];
        w = std::max(w, width);
    }

    XlsxSheet sheet_;
    std::vector<double> widths_;
    int row_ = 0;
    XlsxWeight weight_ = XlsxWeight::Normal;
};

// A date-time cell from the index's "YYYY-MM-DDTHH:MM:SS"; a start of another form stays text.
void SheetRows::start(int column, const std::string& isoStart) {
    XlsxDateTime t;
    char separator = 0;
    char rest = 0;
    if (std::sscanf(isoStart.c_str(), "%4d-%2d-%2d%c%2d:%2d:%2d%c", &t.year, &t.month, &t.day,
                    &separator, &t.hour, &t.minute, &t.second, &rest) != 7 ||
        separator != 'T' || t.year < 1900 || t.month < 1 || t.month > 12 || t.day < 1 ||
        t.day > 31 || t.hour > 23 || t.minute > 59 || t.second > 59)
        return text(column, exportStartText(isoStart));
    sheet_.dateTime(row_, column, t, weight_);
    widen(column, 19);
}

// The columns of a sheet, with "PC" last when runs of club folders are among `runs`.
std::vector<const texts::Text*> columnsOf(std::vector<const texts::Text*> columns,
                                          const std::vector<ExportRun>& runs) {
    if (hasClubRuns(runs)) columns.push_back(&kPc);
    return columns;
}

void writeRunsSheet(XlsxSheet sheet, const std::vector<ExportRun>& runs, texts::Language language,
                    const std::string& ownPcLabel) {
    const std::vector<const texts::Text*> columns =
        columnsOf({&kTabName, &kSerial, &kStart, &kLapCount, &kTotalSeconds, &kBestSeconds,
                   &kBestNumber, &kAverageSeconds, &kMemo, &kFile, &kTotal, &kBest, &kAverage},
                  runs);
    SheetRows rows(sheet, columns, language);
    const bool pcColumn = hasClubRuns(runs);
    for (const ExportRun& r : runs) {
        const RunDetails& run = r.run;
        rows.nextRow(XlsxWeight::Normal);
        rows.text(0, r.tabName);
        rows.text(1, r.serialText);
        rows.start(2, run.start);
        rows.integer(3, run.lapCount);
        rows.time(4, 10, run.totalCs);
        rows.time(5, 11, run.bestLapCs);
        if (run.bestLapNumber > 0) rows.integer(6, run.bestLapNumber);
        rows.time(7, 12, run.averageLapCs);
        rows.text(8, run.memo);
        rows.text(9, r.relativePath);
        if (pcColumn) rows.text(13, exportPcText(r, ownPcLabel));
    }
    rows.finish();
}

// The number of the fastest lap of `run`, the earliest of equal ones as the stopwatch counts its
// best lap; 0 when no lap is timed.
int fastestLapNumber(const RunDetails& run) {
    const LapDetails* fastest = nullptr;
    for (const LapDetails& lap : run.laps) {
        if (lap.lapCs >= 0 && (!fastest || lap.lapCs < fastest->lapCs)) fastest = &lap;
    }
    return fastest ? fastest->number : 0;
}

void writeLapsSheet(XlsxSheet sheet, const std::vector<ExportRun>& runs, texts::Language language,
                    const std::string& ownPcLabel) {
    const std::vector<const texts::Text*> columns =
        columnsOf({&kTabName, &kSerial, &kStart, &kLapNumber, &kLapSeconds, &kSplitSeconds,
                   &kLapMemo, &kLap, &kSplit},
                  runs);
    SheetRows rows(sheet, columns, language);
    const bool pcColumn = hasClubRuns(runs);
    for (const ExportRun& r : runs) {
        const int fastest = fastestLapNumber(r.run);
        for (const LapDetails& lap : r.run.laps) {
            rows.nextRow(lap.number == fastest ? XlsxWeight::Bold : XlsxWeight::Normal);
            rows.text(0, r.tabName);
            rows.text(1, r.serialText);
            rows.start(2, r.run.start);
            rows.integer(3, lap.number);
            rows.time(4, 7, lap.lapCs);
            rows.time(5, 8, lap.splitCs);
            rows.text(6, lap.memo);
            if (pcColumn) rows.text(9, exportPcText(r, ownPcLabel));
        }
    }
    rows.finish();
}

}  // namespace

FsStatus writeRunsWorkbook(const std::string& path, const std::vector<ExportRun>& runs,
                           texts::Language language, const std::string& tempFolder,
                           const std::string& ownPcLabel) {
    const std::string ownLabel = exportOwnPcLabel(ownPcLabel, language);
    // Checked before writing: no sheet is begun of runs that cannot fit one below its header.
    const ExportCounts counts = countsOf(runs);
    if (std::max(counts.runs, counts.laps) > XlsxWorkbook::kLastRow) return {FsError::Io, EFBIG};
    XlsxWorkbook book(path, tempFolder);
    writeRunsSheet(book.addSheet(std::string(kRunsSheet.in(language))), runs, language, ownLabel);
    writeLapsSheet(book.addSheet(std::string(kLapsSheet.in(language))), runs, language, ownLabel);
    return book.close();
}

WorkbookBytes runsWorkbook(const std::vector<ExportRun>& runs, texts::Language language,
                           const std::string& tempFolder, const std::string& ownPcLabel) {
    WorkbookBytes result;
    std::string path = withTrailingSlash(tempFolder) + "lapdex-xlsx-XXXXXX";
    const int fd = ::mkstemp(path.data());
    if (fd < 0) return result.status = {FsError::Io, errno}, result;
    ::close(fd);
    result.status = writeRunsWorkbook(path, runs, language, tempFolder, ownPcLabel);
    if (result.ok()) {
        FsBytes read = systemFileSystem().readFile(path);
        result.status = read.status;
        result.bytes = std::move(read.bytes);
    }
    ::unlink(path.c_str());
    return result;
}

std::string temporaryFolder() {
    const char* folder = std::getenv("TMPDIR");
    return folder && *folder ? folder : "/tmp";
}

}  // namespace lapdex
