// The cells of a flat OpenDocument spreadsheet (.fods) as LibreOffice writes it: each cell's value
// type, value, text and style, row by row, sheet by sheet. Just enough XML for what Calc itself
// produces.
#pragma once

#include <regex>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace lapdex::testing {

struct FodsCell {
    std::string type;   // office:value-type: "string", "float", "date", ... ("" for an empty cell)
    std::string value;  // office:value of a number, office:date-value or office:time-value
    std::string text;   // the paragraphs joined by "\n"
    std::string style;  // table:style-name
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
        FodsCell cell{attribute(tag, "office:value-type"), attribute(tag, "office:value"), "",
                      attribute(tag, "table:style-name")};
        if (cell.type == "date") cell.value = attribute(tag, "office:date-value");
        if (cell.type == "time") cell.value = attribute(tag, "office:time-value");
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

// Each sheet's name and rows, in the order of the workbook.
inline std::vector<std::pair<std::string, std::vector<FodsRow>>> fodsSheets(
    const std::string& xml) {
    std::vector<std::pair<std::string, std::vector<FodsRow>>> sheets;
    const std::string open = "<table:table table:name=\"";
    for (std::size_t at = xml.find(open); at != std::string::npos;) {
        const std::size_t name = at + open.size();
        const std::size_t end = xml.find("</table:table>", name);
        sheets.emplace_back(xml.substr(name, xml.find('"', name) - name),
                            fodsRows(xml.substr(at, end - at)));
        at = xml.find(open, end);
    }
    return sheets;
}

// The names of the cell styles whose text is bold.
inline std::set<std::string> boldCellStyles(const std::string& xml) {
    std::set<std::string> names;
    static const std::regex kStyle(
        R"re(<style:style style:name="([^"]+)" style:family="table-cell"[^>]*>([\s\S]*?)</style:style>)re");
    for (std::sregex_iterator it(xml.begin(), xml.end(), kStyle), end; it != end; ++it) {
        if ((*it).str(2).find("fo:font-weight=\"bold\"") != std::string::npos)
            names.insert((*it).str(1));
    }
    return names;
}

}  // namespace lapdex::testing
