// The folder scan behind the windows.
#include "folder_scan_source.h"

#include "folder_run_source.h"

namespace lapdex::ui {

std::unique_ptr<RunSource> makeFolderScanSource(FileSystem& fs, const std::string& dataFolder) {
    return std::make_unique<FolderRunSource>(DataFolder(fs, dataFolder));
}

}  // namespace lapdex::ui
