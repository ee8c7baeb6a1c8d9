// The roster from any source of runs and the contact history, for when the run index, which
// keeps its own, cannot be used. It must equal the index's roster (a test compares the two).
#pragma once

#include <optional>

#include "data_folder.h"
#include "run_index.h"
#include "run_source.h"

namespace lapdex::ui {

// One entry per registered stopwatch of `source`, in slot order, with its last contact from
// `data`'s History.csv. Nullopt when `source` cannot answer. Blocking: worker thread only.
std::optional<Roster> rosterOfRuns(RunSource& source, const DataFolder& data);

}  // namespace lapdex::ui
