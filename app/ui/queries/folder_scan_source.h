// The one place where the windows get the folder scan they answer from when the run index cannot
// be used.
#pragma once

#include <memory>
#include <string>

#include "file_system.h"
#include "run_source.h"

namespace lapdex::ui {

// The plain scan of the stopwatch folders of `dataFolder` (ending in '/'), or null while this
// program has none: the windows then say that the runs cannot be read instead of waiting.
std::unique_ptr<RunSource> makeFolderScanSource(FileSystem& fs, const std::string& dataFolder);

}  // namespace lapdex::ui
