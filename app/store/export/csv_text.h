// Fields and lines of the comma-separated files the exports write for spreadsheets.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace lapdex {

// `text` as a spreadsheet keeps it as text: one that it would take for a formula (beginning with
// '=', '+', '-', '@', a tab or a CR) gets a leading apostrophe. For every text that may be pasted
// or read into a spreadsheet: CSV fields and copied rows alike.
std::string formulaGuarded(std::string_view text);

// A text field as RFC 4180 writes it: enclosed in double quotes, inner ones doubled, when it holds
// a comma, a double quote, a CR or an LF; guarded against formulas first (formulaGuarded).
std::string csvTextField(std::string_view text);

// A number field: written as it is (the caller gives digits, a point, or "").
std::string csvNumberField(std::string_view number);

// The fields joined by commas, ending in CR LF.
std::string csvLine(const std::vector<std::string>& fields);

// The byte-order mark that tells a spreadsheet the file is UTF-8.
inline constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

}  // namespace lapdex
