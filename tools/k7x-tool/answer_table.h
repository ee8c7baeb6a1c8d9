// A command's answer as typed cells, printed tab-separated or as JSON with the same values.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "invocation.h"

namespace k7x {

struct Cell {
    enum class Kind { Text, Whole, Seconds, Decimal, Flag, Missing };
    Kind kind = Kind::Missing;
    std::string text;      // Text; Decimal: the number as printed ("4.07")
    long long number = 0;  // Whole; Seconds: hundredths of a second; Flag: 0 or 1

    static Cell textOf(std::string text);
    // A date-time "YYYY-MM-DDTHH:MM:SS"; "" (none known) is Missing.
    static Cell dateTime(std::string text);
    static Cell whole(long long number);
    // -1 hundredths (a time that could not be read) is Missing.
    static Cell seconds(std::int64_t hundredths);
    // Signed and possibly fractional hundredths, rounded to whole ones.
    static Cell signedSeconds(double hundredths);
    static Cell decimal(std::string text);
    static Cell flag(bool set);
    static Cell missing() { return {}; }
};

enum class Layout {
    Rows,    // a header line of the column names, then one line per row; JSON: an array of objects
    Record,  // one row as "name<TAB>value" lines; JSON: one object
};

class AnswerTable {
  public:
    AnswerTable(Layout layout, std::vector<std::string> columns);
    // `cells` has one cell per column.
    void add(std::vector<Cell> cells);
    // Prints the whole answer on `out` in `form`.
    void print(AnswerForm form, std::FILE* out) const;

  private:
    void printTabs(bool header, std::FILE* out) const;
    void printJson(std::FILE* out) const;

    Layout layout;
    std::vector<std::string> columns;
    std::vector<std::vector<Cell>> rows;
};

}  // namespace k7x
