// The folder scan behind the windows.
#include "folder_scan_source.h"

namespace lapdex::ui {

std::unique_ptr<RunSource> makeFolderScanSource(FileSystem& fs, const std::string& dataFolder) {
    // No RunSource scans the folders yet; this is where it is made once one does.
    (void)fs;
    (void)dataFolder;
    return nullptr;
}

}  // namespace lapdex::ui
