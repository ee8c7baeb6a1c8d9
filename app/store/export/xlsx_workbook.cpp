// The workbook over libxlsxwriter.
#include "xlsx_workbook.h"

#include <xlsxwriter.h>

#include <cerrno>

namespace lapdex {
namespace {

constexpr const char* kNumberFormats[] = {"@", "0", "0.00", "[h]:mm:ss.00", "yyyy-mm-dd hh:mm:ss"};
constexpr int kKinds = 5;

std::size_t formatSlot(XlsxKind kind, XlsxWeight weight) {
    return static_cast<std::size_t>(kind) * 2 + (weight == XlsxWeight::Bold ? 1 : 0);
}

// What a libxlsxwriter failure means for the caller, with the errno the library left behind for
// the failures of files.
FsStatus statusOf(int code, int sysErrno) {
    switch (code) {
        case LXW_ERROR_WORKSHEET_INDEX_OUT_OF_RANGE:
            return {FsError::Io, EFBIG};
        case LXW_ERROR_MEMORY_MALLOC_FAILED:
            return {FsError::Io, ENOMEM};
        case LXW_ERROR_CREATING_XLSX_FILE:
        case LXW_ERROR_CREATING_TMPFILE:
        case LXW_ERROR_READING_TMPFILE:
        case LXW_ERROR_ZIP_FILE_OPERATION:
        case LXW_ERROR_ZIP_FILE_ADD:
        case LXW_ERROR_ZIP_CLOSE:
            return {FsError::Io, sysErrno != 0 ? sysErrno : EIO};
        default:
            return {FsError::Io, EINVAL};
    }
}

}  // namespace

XlsxWorkbook::XlsxWorkbook(const std::string& path, const std::string& tempFolder)
    : tempFolder_(tempFolder) {
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    options.tmpdir = tempFolder_.data();
    // Above 4 GB only; a large export of laps stays far below, but the limit is not ours to set.
    options.use_zip64 = LXW_TRUE;
    book_ = workbook_new_opt(path.c_str(), &options);
    if (!book_) {
        fail(LXW_ERROR_MEMORY_MALLOC_FAILED);
        return;
    }
    for (int kind = 0; kind < kKinds; ++kind) {
        for (XlsxWeight weight : {XlsxWeight::Normal, XlsxWeight::Bold}) {
            lxw_format* f = workbook_add_format(book_);
            format_set_num_format(f, kNumberFormats[kind]);
            if (weight == XlsxWeight::Bold) format_set_bold(f);
            formats_.push_back(f);
        }
    }
    header_ = workbook_add_format(book_);
    format_set_bold(header_);
    format_set_text_wrap(header_);
    format_set_align(header_, LXW_ALIGN_VERTICAL_TOP);
}

XlsxWorkbook::~XlsxWorkbook() {
    if (book_) lxw_workbook_free(book_);
}

void XlsxWorkbook::fail(int code) {
    const int sysErrno = errno;
    if (status_.ok()) status_ = statusOf(code, sysErrno);
}

lxw_format* XlsxWorkbook::format(XlsxKind kind, XlsxWeight weight) const {
    return formats_[formatSlot(kind, weight)];
}

XlsxSheet XlsxWorkbook::addSheet(const std::string& name) {
    lxw_worksheet* sheet = nullptr;
    if (book_ && status_.ok()) {
        errno = 0;
        sheet = workbook_add_worksheet(book_, name.c_str());
        if (!sheet) fail(LXW_ERROR_CREATING_TMPFILE);
    }
    return XlsxSheet(*this, sheet);
}

FsStatus XlsxWorkbook::close() {
    if (!book_) return status_;
    errno = 0;
    const lxw_error closed = workbook_close(book_);  // frees the workbook, whatever the outcome
    book_ = nullptr;
    if (closed != LXW_NO_ERROR) fail(closed);
    return status_;
}

void XlsxSheet::headers(const std::vector<std::string>& titles) {
    if (!sheet_) return;
    // Two lines of the default font; set before the row's cells, as streaming requires.
    constexpr double kTwoLines = 30;
    (void)worksheet_set_row(sheet_, 0, kTwoLines, nullptr);
    for (std::size_t c = 0; c < titles.size(); ++c) {
        const lxw_error e = worksheet_write_string(sheet_, 0, static_cast<lxw_col_t>(c),
                                                   titles[c].c_str(), book_->header_);
        if (e != LXW_NO_ERROR) return book_->fail(e);
    }
}

void XlsxSheet::text(int row, int column, std::string_view utf8, XlsxWeight weight) {
    if (!sheet_ || utf8.empty()) return;  // an empty text is an empty cell
    const std::string copy(utf8);
    const lxw_error e =
        worksheet_write_string(sheet_, static_cast<lxw_row_t>(row), static_cast<lxw_col_t>(column),
                               copy.c_str(), book_->format(XlsxKind::Text, weight));
    if (e != LXW_NO_ERROR) book_->fail(e);
}

void XlsxSheet::number(int row, int column, double value, XlsxKind kind, XlsxWeight weight) {
    if (!sheet_) return;
    const lxw_error e =
        worksheet_write_number(sheet_, static_cast<lxw_row_t>(row), static_cast<lxw_col_t>(column),
                               value, book_->format(kind, weight));
    if (e != LXW_NO_ERROR) book_->fail(e);
}

void XlsxSheet::dateTime(int row, int column, const XlsxDateTime& value, XlsxWeight weight) {
    if (!sheet_) return;
    lxw_datetime when{value.year, value.month,  value.day,
                      value.hour, value.minute, static_cast<double>(value.second)};
    const lxw_error e = worksheet_write_datetime(sheet_, static_cast<lxw_row_t>(row),
                                                 static_cast<lxw_col_t>(column), &when,
                                                 book_->format(XlsxKind::DateTime, weight));
    if (e != LXW_NO_ERROR) book_->fail(e);
}

void XlsxSheet::setWidths(const std::vector<double>& widths) {
    if (!sheet_) return;
    for (std::size_t c = 0; c < widths.size(); ++c) {
        const auto column = static_cast<lxw_col_t>(c);
        (void)worksheet_set_column(sheet_, column, column, widths[c], nullptr);
    }
}

void XlsxSheet::headerRow(int lastRow, int columns) {
    if (!sheet_ || columns <= 0) return;
    worksheet_freeze_panes(sheet_, 1, 0);
    const lxw_error e = worksheet_autofilter(sheet_, 0, 0, static_cast<lxw_row_t>(lastRow),
                                             static_cast<lxw_col_t>(columns - 1));
    if (e != LXW_NO_ERROR) book_->fail(e);
}

void XlsxSheet::printOnePageWide() {
    if (!sheet_) return;
    worksheet_set_landscape(sheet_);
    worksheet_fit_to_pages(sheet_, 1, 0);  // 0: as many pages down as the rows need
    const lxw_error e = worksheet_repeat_rows(sheet_, 0, 0);
    if (e != LXW_NO_ERROR) book_->fail(e);
}

}  // namespace lapdex
