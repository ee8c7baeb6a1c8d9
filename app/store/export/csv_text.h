// Fields and lines of the comma-separated files the exports write for spreadsheets.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace lapdex {

// A text field as RFC 4180 writes it: enclosed in double quotes, inner ones doubled, when it holds
// a comma, a double quote, a CR or an LF. A text a spreadsheet would take for a formula (beginning
// with '=', '+', '-', '@', a tab or a CR) first gets a leading apostrophe, so it stays text.
std::string csvTextField(std::string_view text);

// A number field: written as it is (the caller gives digits, a point, or "").
std::string csvNumberField(std::string_view number);

// The fields joined by commas, ending in CR LF.
std::string csvLine(const std::vector<std::string>& fields);

// The byte-order mark that tells a spreadsheet the file is UTF-8.
inline constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

}  // namespace lapdex
