// A run cell store that records every cell it is handed, for assertions on the reader's output.
#pragma once

#include <string>
#include <vector>

#include "run_file_reader.h"

namespace lapdex::testing {

struct Cell {
    int row;
    int column;
    std::string text;
    int ordinal;
    friend bool operator==(const Cell&, const Cell&) = default;
};

class RecordedCells : public RunCellStore {
public:
    void storeCell(int row, int column, const std::string& text, int ordinal) override {
        cells.push_back({row, column, text, ordinal});
    }
    // The cells of one row, in the order they were handed over.
    std::vector<std::string> row(int r) const {
        std::vector<std::string> texts;
        for (const Cell& c : cells) {
            if (c.row == r) texts.push_back(c.text);
        }
        return texts;
    }
    std::vector<Cell> cells;
};

}  // namespace lapdex::testing
