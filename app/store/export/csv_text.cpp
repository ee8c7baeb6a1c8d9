// Spreadsheet-safe CSV fields.
#include "csv_text.h"

namespace lapdex {

std::string formulaGuarded(std::string_view text) {
    std::string value;
    if (!text.empty() && (text[0] == '=' || text[0] == '+' || text[0] == '-' || text[0] == '@' ||
                          text[0] == '\t' || text[0] == '\r')) {
        value = "'";
    }
    return value += text;
}

std::string csvTextField(std::string_view text) {
    const std::string value = formulaGuarded(text);
    if (value.find_first_of(",\"\r\n") == std::string::npos) return value;
    std::string quoted = "\"";
    for (char c : value) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    return quoted + '"';
}

std::string csvNumberField(std::string_view number) {
    return std::string(number);
}

std::string csvLine(const std::vector<std::string>& fields) {
    std::string line;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i > 0) line += ',';
        line += fields[i];
    }
    return line + "\r\n";
}

}  // namespace lapdex
