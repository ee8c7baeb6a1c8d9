// A streaming .xlsx workbook written with libxlsxwriter: the few cell kinds the exports need, with
// the library's failures kept as one result instead of checked call by call.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "file_system.h"

struct lxw_workbook;
struct lxw_worksheet;
struct lxw_format;

namespace lapdex {

class XlsxWorkbook;

// How a cell shows its value. Numbers of the Duration kind are days (a time of day's unit), so
// that a spreadsheet sums and charts them as times.
enum class XlsxKind {
    Text,      // shown as it is, never read as a formula, number or date
    Integer,   // "0"
    Seconds,   // "0.00"
    Duration,  // "[h]:mm:ss.00"
    DateTime,  // "yyyy-mm-dd hh:mm:ss"
};
enum class XlsxWeight { Normal, Bold };

// A local date and time, as the run files record a start.
struct XlsxDateTime {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};

// One sheet of an XlsxWorkbook. In the workbook's streaming mode rows must be written in rising
// order; cells within a row in any order. Row and column numbers are 0-based.
class XlsxSheet {
  public:
    // Writes row 0: `titles` bold, each wrapping onto a second line where its column is narrower.
    void headers(const std::vector<std::string>& titles);
    void text(int row, int column, std::string_view utf8, XlsxWeight weight = XlsxWeight::Normal);
    void number(int row, int column, double value, XlsxKind kind,
                XlsxWeight weight = XlsxWeight::Normal);
    void dateTime(int row, int column, const XlsxDateTime& value,
                  XlsxWeight weight = XlsxWeight::Normal);
    // Column widths in characters of the default font, from column 0 on.
    void setWidths(const std::vector<double>& widths);
    // Keeps row 0 in view while scrolling and puts a filter on it over `columns` columns and rows
    // 0 to `lastRow`.
    void headerRow(int lastRow, int columns);
    // Prints landscape, every column on one page width, row 0 repeated on each page.
    void printOnePageWide();

  private:
    friend class XlsxWorkbook;
    XlsxSheet(XlsxWorkbook& book, lxw_worksheet* sheet) : book_(&book), sheet_(sheet) {}
    XlsxWorkbook* book_;
    lxw_worksheet* sheet_;
};

// A workbook file being written. Streaming: each sheet's rows go to a temporary file in
// `tempFolder` as they are written (libxlsxwriter falls back to the system's temporary folder when
// that one cannot take them), so memory stays flat however many rows there are. Not thread-safe;
// one workbook per thread.
class XlsxWorkbook {
  public:
    // The largest row number a sheet holds (the format's limit of 1,048,576 rows).
    static constexpr int kLastRow = 1048575;

    // Starts the workbook that close() writes to `path` (replacing any file there).
    XlsxWorkbook(const std::string& path, const std::string& tempFolder);
    ~XlsxWorkbook();
    XlsxWorkbook(const XlsxWorkbook&) = delete;
    XlsxWorkbook& operator=(const XlsxWorkbook&) = delete;

    // Adds a sheet named `name` (UTF-8, at most 31 characters, none of []:*?/\). Its calls do
    // nothing once the workbook has failed.
    XlsxSheet addSheet(const std::string& name);

    // Writes the file. Io with the errno of the failing call, or EFBIG for more rows than a sheet
    // holds; the first failure of any earlier call is reported here too. A failed close may leave
    // a partial file at `path`: the caller writes to a temporary path of its own.
    FsStatus close();

  private:
    friend class XlsxSheet;
    lxw_format* format(XlsxKind kind, XlsxWeight weight) const;
    // Keeps the first failure; `code` is libxlsxwriter's lxw_error.
    void fail(int code);

    lxw_workbook* book_ = nullptr;
    std::vector<lxw_format*> formats_;  // kind × weight
    lxw_format* header_ = nullptr;
    std::string tempFolder_;
    FsStatus status_;
};

}  // namespace lapdex
