// The catalogue's day marks and day listing answered from the run index, with the same results as
// the folder scan, which remains the answer whenever the index cannot give one.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "run_catalogue.h"
#include "run_index.h"

namespace lapdex {

// The day masks of the page's displayed months from the index: nullopt when it cannot answer.
// A day is marked when one of its runs is a regular file not held exclusively by another program,
// exactly as the folder scan decides. Does not hand the masks to the page.
std::optional<std::vector<std::uint32_t>> indexedDayMasks(RunIndex& index, FileSystem& fs,
                                                          CataloguePage& page);

// Lists the runs of `date` from the index (each run read by the run file reader, as the scan does,
// in the folder's listing order): nullopt, having listed nothing, when the index cannot answer.
std::optional<bool> listIndexedRunsOfDay(RunIndex& index, FileSystem& fs, CataloguePage& page,
                                         const CalendarDate& date);

// The page's entry points: the index when it answers, the folder scan otherwise. `index` may be
// null. Never a comparison of the index on the caller's thread: a folder the index does not know
// to be unchanged is scanned here (the same answer) and compared by the index's refresh thread.
std::vector<std::uint32_t> computeDayMasks(RunIndex* index, FileSystem& fs, CataloguePage& page);
bool listRunsOfDay(RunIndex* index, FileSystem& fs, CataloguePage& page, const CalendarDate& date);

}  // namespace lapdex
