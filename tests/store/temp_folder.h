// A fresh temporary folder per test, removed with everything in it when the test ends.
#pragma once

#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>

namespace lapdex::testing {

class TempFolder {
public:
    TempFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "lapdex-store-XXXXXX").string();
        path_ = ::mkdtemp(pattern.data()) ? pattern : std::string();
    }
    ~TempFolder() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // The folder path without a trailing '/'.
    const std::string& path() const { return path_; }
    // `relative` inside the folder.
    std::string operator/(std::string_view relative) const { return path_ + "/" + std::string(relative); }

private:
    std::string path_;
};

}  // namespace lapdex::testing
