// The cells of a flat OpenDocument spreadsheet (.fods) as LibreOffice writes it: each cell's value
// type, numeric value and text, row by row. Just enough XML for what Calc itself produces.
#pragma once

#include <regex>
#include <string>
#include <vector>

namespace lapdex::testing {

struct FodsCell {
    std::string type;   // office:value-type: "string", "float", "date", ... ("" for an empty cell)
    std::string value;  // office:value of a number
    std::string text;   // the paragraphs joined by "\n"
};
using FodsRow = std::vector<FodsCell>;

inline std::string attribute(const std::string& tag, const std::string& name) {
    const std::size_t at = tag.find(" " + name + "=\"");
    if (at == std::string::npos) return {};
    const std::size_t from = at + name.size() + 3;
    return tag.substr(from, tag.find('"', from) - from);
}

// Character data of one paragraph: spacing elements expanded, other markup removed, entities
// undone.
inline std::string paragraphText(const std::string& xml) {
    std::string plain;
    for (std::size_t i = 0; i < xml.size();) {
        if (xml[i] == '<') {
            const std::size_t end = xml.find('>', i);
            const std::string tag = xml.substr(i, end - i + 1);
            if (tag.rfind("<text:s", 0) == 0 && tag.rfind("<text:span", 0) != 0) {
                const std::string count = attribute(tag, "text:c");
                plain.append(count.empty() ? 1 : std::stoul(count), ' ');
            } else if (tag == "<text:tab/>") {
                plain += '\t';
            } else if (tag == "<text:line-break/>") {
                plain += '\n';
            }
            i = end + 1;
        } else if (xml[i] == '&') {
            const std::size_t end = xml.find(';', i);
            const std::string entity = xml.substr(i + 1, end - i - 1);
            plain += entity == "amp"    ? "&"
                     : entity == "lt"   ? "<"
                     : entity == "gt"   ? ">"
                     : entity == "quot" ? "\""
                     : entity == "apos" ? "'"
                                        : "?";
            i = end + 1;
        } else {
            plain += xml[i++];
        }
    }
    return plain;
}

inline std::vector<FodsRow> fodsRows(const std::string& xml) {
    std::vector<FodsRow> rows;
    static const std::regex kCell(
        R"(<table:table-cell(\s[^>]*?)?(/>|>([\s\S]*?)</table:table-cell>)|</table:table-row>)");
    static const std::regex kParagraph(R"(<text:p>([\s\S]*?)</text:p>|<text:p/>)");
    FodsRow row;
    for (std::sregex_iterator it(xml.begin(), xml.end(), kCell), end; it != end; ++it) {
        const std::smatch& m = *it;
        if (m.str(0) == "</table:table-row>") {
            while (!row.empty() && row.back().type.empty() && row.back().text.empty())
                row.pop_back();
            if (!row.empty()) rows.push_back(row);
            row.clear();
            continue;
        }
        const std::string tag = m.str(1);
        FodsCell cell{attribute(tag, "office:value-type"), attribute(tag, "office:value"), ""};
        const std::string body = m.str(3);
        bool first = true;
        for (std::sregex_iterator p(body.begin(), body.end(), kParagraph); p != end; ++p) {
            if (!first) cell.text += '\n';
            cell.text += paragraphText((*p).str(1));
            first = false;
        }
        const std::string repeat = attribute(tag, "table:number-columns-repeated");
        const unsigned long times = repeat.empty() ? 1 : std::min(std::stoul(repeat), 64ul);
        for (unsigned long i = 0; i < times; ++i) row.push_back(cell);
    }
    return rows;
}

}  // namespace lapdex::testing
