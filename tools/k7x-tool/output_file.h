// Files the tool writes: why a write failed, in words, and an output file that appears
// under its name only once it is complete.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "output_folder.h"

namespace k7x {

// "cannot write PATH: " and writeProblem.
[[nodiscard]] std::string cannotWrite(const std::string& path, int error);

// An output file written through a temporary file beside it ("NAME.tmp-PID-N" in the same
// folder), renamed into place by commit(). Until then the final name is untouched; the
// temporary file is removed when the object dies uncommitted.
class OutputFile {
  public:
    OutputFile() = default;
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // Creates the temporary file and reserves `reserve` bytes on the disk for it. False with
    // `error` set (see cannotWrite) when the output cannot be written there, when the disk
    // has not that much room, or when `path` is a folder.
    [[nodiscard]] bool open(const std::string& path, std::string& error, size_t reserve = 0);
    // Writes all bytes, flushes them to the disk, closes and renames the file into place.
    [[nodiscard]] bool commit(const uint8_t* bytes, size_t length, std::string& error);

  private:
    void discard();

    std::string target;
    std::string temporary;
    int descriptor = -1;
};

// Opens (creating it, by the rule of createLastFolder, when missing) DIR/rdcaa_debug.log for the
// library's debug log. Returns "" on success, otherwise a message naming the file and why it could
// not be opened.
[[nodiscard]] std::string openDebugLog(std::string directory);

}  // namespace k7x
