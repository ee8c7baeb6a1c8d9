// The run file reader: line selection, cell splitting, quotes and memo limits.
#include "run_file_reader.h"

#include "cp932.h"
#include "run_file_format.h"

namespace lapdex {
namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD

// Lead bytes of the two-byte characters of code page 932.
bool isCp932Lead(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

// Converts one line; when it is not valid code page 932 as a whole, goes character by character
// so only the bad bytes are lost.
std::string lineToUtf8(std::string_view line) {
    TextConversion whole = cp932ToUtf8(line);
    if (whole.ok()) return std::move(whole.text);
    std::string out;
    for (std::size_t i = 0; i < line.size();) {
        const std::size_t width =
            isCp932Lead(static_cast<unsigned char>(line[i])) && i + 1 < line.size() ? 2 : 1;
        TextConversion piece = cp932ToUtf8(line.substr(i, width));
        if (piece.ok()) {
            out += piece.text;
            i += width;
        } else {
            out += kReplacement;
            i += 1;
        }
    }
    return out;
}

bool startsWithQuote(std::string_view cell) { return !cell.empty() && cell.front() == '"'; }
bool endsWithQuote(std::string_view cell) { return !cell.empty() && cell.back() == '"'; }

// The memo column: one pass, each doubled quote becomes one.
std::string undoQuotePairsOnce(std::string_view cell) {
    std::string out;
    for (std::size_t i = 0; i < cell.size(); ++i) {
        out += cell[i];
        if (cell[i] == '"' && i + 1 < cell.size() && cell[i + 1] == '"') ++i;
    }
    return out;
}

// Other columns: doubled quotes are replaced until none is left, so every run of quotes
// ends up as a single one.
std::string undoQuotePairsFully(std::string_view cell) {
    std::string out;
    for (std::size_t i = 0; i < cell.size(); ++i) {
        if (cell[i] == '"' && i > 0 && cell[i - 1] == '"') continue;
        out += cell[i];
    }
    return out;
}

std::string memoCell(std::string_view rest, int row) {
    if (row > 0) {
        for (int i = 0; i < 3 && !rest.empty() && rest.back() == ','; ++i) rest.remove_suffix(1);
    }
    if (rest.size() > 1 && startsWithQuote(rest) && endsWithQuote(rest)) rest = rest.substr(1, rest.size() - 2);
    const std::string memo = undoQuotePairsOnce(rest);
    return std::string(utf8Prefix(memo, row == 0 ? kRunMemoLimit : kLapMemoLimit));
}

}  // namespace

void readRunFileRow(std::string_view line, int row, int ordinal, RunCellStore& store) {
    const int memoColumn = row == 0 ? 6 : 3;
    std::size_t pos = 0;
    for (int column = 0;; ++column) {
        if (column == memoColumn) {
            store.storeCell(row, column, memoCell(line.substr(pos), row), ordinal);
            return;
        }
        std::size_t comma = line.find(',', pos);
        bool lineEnds = comma == std::string_view::npos;
        std::string cell(line.substr(pos, lineEnds ? std::string_view::npos : comma - pos));
        pos = lineEnds ? line.size() : comma + 1;
        // A quoted cell whose text holds commas continues over the following parts.
        while (!lineEnds && startsWithQuote(cell) && (cell.size() == 1 || !endsWithQuote(cell))) {
            comma = line.find(',', pos);
            lineEnds = comma == std::string_view::npos;
            cell += ',';
            cell += line.substr(pos, lineEnds ? std::string_view::npos : comma - pos);
            pos = lineEnds ? line.size() : comma + 1;
        }
        if (cell.size() > 1 && startsWithQuote(cell) && endsWithQuote(cell)) cell = cell.substr(1, cell.size() - 2);
        store.storeCell(row, column, undoQuotePairsFully(cell), ordinal);
        if (lineEnds) return;
    }
}

void readRunFileBytes(std::string_view bytes, int ordinal, RunCellStore& store) {
    // One conversion for the whole file; only a file with bad bytes is converted line by line.
    TextConversion whole = cp932ToUtf8(bytes);
    const bool converted = whole.ok();
    const std::string_view text = converted ? std::string_view(whole.text) : bytes;
    int lineNumber = 0;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t lf = text.find('\n', pos);
        std::string_view line = text.substr(pos, lf == std::string_view::npos ? std::string_view::npos : lf - pos);
        pos = lf == std::string_view::npos ? text.size() : lf + 1;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        ++lineNumber;
        if (lineNumber != kSummaryLine && lineNumber < kFirstLapLine) continue;
        const int row = lineNumber == kSummaryLine ? 0 : lineNumber - kFirstLapLine + 1;
        if (converted) {
            readRunFileRow(line, row, ordinal, store);
        } else {
            readRunFileRow(lineToUtf8(line), row, ordinal, store);
        }
    }
}

bool readRunFile(FileSystem& fs, const std::string& path, int ordinal, RunCellStore& store) {
    // readFile refuses what the reader must not open: links, other kinds, files held exclusively.
    FsBytes content = fs.readFile(path);
    if (!content.ok()) return false;
    readRunFileBytes(content.bytes, ordinal, store);
    return true;
}

}  // namespace lapdex
