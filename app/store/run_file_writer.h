// Writing one downloaded run as a read-only run file (Shift_JIS, CR LF) in its stopwatch's folder.
#pragma once

#include <string>

#include "file_system.h"
#include "run_record.h"

namespace lapdex {

enum class RunFileWriteStatus {
    Written,        // the file is in place under its final name
    AlreadyExists,  // a file of that name exists and was left untouched (not a failure)
    NotEncodable,   // a memo holds characters that code page 932 cannot hold; nothing written
    WriteFailed,    // the file could not be created or written (folder missing, disk full, ...)
    Stopped,        // the batch was asked to stop before this file; nothing written
};

struct [[nodiscard]] RunFileWriteResult {
    RunFileWriteStatus status = RunFileWriteStatus::WriteFailed;
    std::string path;          // the run file's full path (UTF-8)
    std::string unencodable;   // NotEncodable: the offending characters, UTF-8
    FsStatus fsStatus;         // WriteFailed: the file system's cause
    bool readOnlySet = false;  // Written: the read-only attribute could be set
    bool ok() const {
        return status == RunFileWriteStatus::Written || status == RunFileWriteStatus::AlreadyExists;
    }
};

// "QTM-%02d" of slot index + 1; slot index -1 (no slot) gives "QTM-00".
std::string stopwatchFolderName(int slotIndex);

// Writes `record` as "<dataFolder>QTM-nn/<run file name>". An existing file of that name is never
// touched. The text goes to a temporary file in the same folder, is flushed and only then appears
// under its final name, already read-only, so a crash or a full disk never leaves a partial file
// there. `dataFolder` ends with '/'. A download's many runs go through RunFileBatch instead (one
// flush for all). Runs on the worker thread; safe to call concurrently for different files.
RunFileWriteResult writeRunFile(FileSystem& fs, const std::string& dataFolder, int slotIndex,
                                const std::string& serialText, const RunRecord& record);

// Sets the read-only attribute of a file that lacks it, unless another program holds the file
// open (then it stays writable). Returns true when the file ends up read-only.
bool makeReadOnlyWhenFree(FileSystem& fs, const std::string& path);

}  // namespace lapdex
