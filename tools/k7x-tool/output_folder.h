// The folders k7x-tool's commands write into: one rule to make them, and why a write failed.
#pragma once

#include <string>

namespace k7x {

// Why `path` could not be written, from the errno of the failed call: the folder does not
// exist, is not a folder, is read-only, the disk is full, ...
[[nodiscard]] std::string writeProblem(const std::string& path, int error);
// The one rule for the folders the commands write into: a missing folder is created when the
// folder that holds it exists; nothing further up is created. False with `problem` set (as
// writeProblem words it) when the folder cannot be had; `created` says whether it was made.
[[nodiscard]] bool createLastFolder(const std::string& folder, bool& created, std::string& problem);

// A folder to write into, made by createLastFolder and removed again on destruction when it was
// made here and is still empty: a command that wrote nothing leaves nothing behind.
class OutputFolder {
  public:
    OutputFolder() = default;
    ~OutputFolder();
    OutputFolder(const OutputFolder&) = delete;
    OutputFolder& operator=(const OutputFolder&) = delete;

    [[nodiscard]] bool make(const std::string& folder, std::string& problem);

  private:
    std::string made;
};

}  // namespace k7x
