// Reading a run file back cell by cell, the way the stopwatch page takes it apart.
#pragma once

#include <string>
#include <string_view>

#include "file_system.h"

namespace lapdex {

// Receives the cells of a run file. Row 0 is the summary, row r >= 1 the r-th lap line; columns
// count from 0. `text` is UTF-8; memos are already cut to 200 (run) or 20 (lap) characters.
// `ordinal` is the value the caller passed to the reader (a position in a day listing, or -1).
class RunCellStore {
public:
    virtual ~RunCellStore() = default;
    virtual void storeCell(int row, int column, const std::string& text, int ordinal) = 0;
};

// Reads the run file at `path` (Shift_JIS, lines ending in LF with an optional CR) and hands every
// cell of line 6 and of lines 9 onward to `store`, in file order. Returns false, handing nothing,
// when the file cannot be opened for reading (missing, not a regular file, or held exclusively by
// another program); true otherwise. Called on the window thread.
bool readRunFile(FileSystem& fs, const std::string& path, int ordinal, RunCellStore& store);

// The same on bytes already in memory (the file's whole content). Bytes that are not valid code
// page 932 become U+FFFD; the rest of the file is still read.
void readRunFileBytes(std::string_view bytes, int ordinal, RunCellStore& store);

// Hands the cells of one data line (UTF-8, line end removed) of row `row` to `store`.
void readRunFileRow(std::string_view line, int row, int ordinal, RunCellStore& store);

}  // namespace lapdex
