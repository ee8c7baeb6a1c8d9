// Printing an answer table tab-separated or as one JSON document.
#include "answer_table.h"

#include <cmath>
#include <nlohmann/json.hpp>

#include "index_session.h"
#include "lap_statistics.h"

namespace k7x {
namespace {

using Json = nlohmann::ordered_json;

std::string tabText(const Cell& cell) {
    switch (cell.kind) {
        case Cell::Kind::Text:
            return cellText(cell.text);
        case Cell::Kind::Whole:
            return std::to_string(cell.number);
        case Cell::Kind::Seconds:
            return lapdex::signedSecondsText(static_cast<double>(cell.number));
        case Cell::Kind::Decimal:
            return cell.text;
        case Cell::Kind::Flag:
            return cell.number != 0 ? "yes" : "no";
        case Cell::Kind::Missing:
            break;
    }
    return {};
}

Json jsonValue(const Cell& cell) {
    switch (cell.kind) {
        case Cell::Kind::Text:
            return cell.text;
        case Cell::Kind::Whole:
            return cell.number;
        case Cell::Kind::Seconds:
            return static_cast<double>(cell.number) / 100.0;
        case Cell::Kind::Decimal:
            return std::stod(cell.text);
        case Cell::Kind::Flag:
            return cell.number != 0;
        case Cell::Kind::Missing:
            break;
    }
    return nullptr;
}

}  // namespace

Cell Cell::textOf(std::string text) {
    return {Kind::Text, std::move(text), 0};
}

Cell Cell::dateTime(std::string text) {
    return text.empty() ? missing() : textOf(std::move(text));
}

Cell Cell::whole(long long number) {
    return {Kind::Whole, {}, number};
}

Cell Cell::seconds(std::int64_t hundredths) {
    return hundredths < 0 ? missing() : Cell{Kind::Seconds, {}, hundredths};
}

Cell Cell::signedSeconds(double hundredths) {
    return {Kind::Seconds, {}, std::llround(hundredths)};
}

Cell Cell::decimal(std::string text) {
    return {Kind::Decimal, std::move(text), 0};
}

Cell Cell::flag(bool set) {
    return {Kind::Flag, {}, set ? 1 : 0};
}

AnswerTable::AnswerTable(Layout layout, std::vector<std::string> columns)
    : layout(layout), columns(std::move(columns)) {}

void AnswerTable::add(std::vector<Cell> cells) {
    cells.resize(columns.size());
    rows.push_back(std::move(cells));
}

void AnswerTable::print(AnswerForm form, std::FILE* out) const {
    if (form == AnswerForm::Json) {
        printJson(out);
    } else {
        printTabs(form == AnswerForm::Table, out);
    }
}

void AnswerTable::printTabs(bool header, std::FILE* out) const {
    if (layout == Layout::Record) {
        for (const std::vector<Cell>& row : rows) {
            for (std::size_t i = 0; i < columns.size(); ++i)
                std::fprintf(out, "%s\t%s\n", columns[i].c_str(), tabText(row[i]).c_str());
        }
        return;
    }
    std::string text;
    for (std::size_t i = 0; header && i < columns.size(); ++i)
        text += (i == 0 ? "" : "\t") + columns[i] + (i + 1 == columns.size() ? "\n" : "");
    for (const std::vector<Cell>& row : rows) {
        for (std::size_t i = 0; i < row.size(); ++i) text += (i == 0 ? "" : "\t") + tabText(row[i]);
        text += '\n';
    }
    std::fputs(text.c_str(), out);
}

void AnswerTable::printJson(std::FILE* out) const {
    Json document = layout == Layout::Record ? Json::object() : Json::array();
    for (const std::vector<Cell>& row : rows) {
        Json object = Json::object();
        for (std::size_t i = 0; i < columns.size(); ++i) object[columns[i]] = jsonValue(row[i]);
        if (layout == Layout::Record) {
            document = std::move(object);
        } else {
            document.push_back(std::move(object));
        }
    }
    // A text that is not UTF-8 (a damaged memo) must not lose the whole answer.
    const std::string text = document.dump(2, ' ', false, Json::error_handler_t::replace);
    std::fprintf(out, "%s\n", text.c_str());
}

}  // namespace k7x
