// Temporary files that a crash or a killed program left behind, and removing them at the next
// start.
#pragma once

#include <string_view>

#include "data_folder.h"

namespace lapdex {

// The process id in a temporary file's name: ".NAME.tmp-PID-N" (the hidden names the store writes
// through) or, with `hidden` false, "NAME.tmp-PID-N" (k7x-tool's dump files); 0 when `name` is no
// such name. `target` non-empty: only the temporaries of that file name count.
long temporaryFileOwner(std::string_view name, bool hidden = true, std::string_view target = {});

// Removes the hidden temporary files left in the data folder and in its stopwatch folders (run
// file, Lapdex.dat and history temporaries) and returns how many went. Every one of them is a
// leftover only while nobody writes into the folder: call it while holding the data-folder lock,
// before writing.
int removeLeftoverTemporaries(const DataFolder& data);

}  // namespace lapdex
