// The one place where the windows get the folder scan they answer from when the run index cannot
// be used.
#pragma once

#include <memory>
#include <string>

#include "file_system.h"
#include "run_source.h"

namespace lapdex::ui {

// The plain scan of the stopwatch folders of `dataFolder` (ending in '/'): the windows' answer
// whenever the run index cannot be used.
std::unique_ptr<RunSource> makeFolderScanSource(FileSystem& fs, const std::string& dataFolder);

}  // namespace lapdex::ui
