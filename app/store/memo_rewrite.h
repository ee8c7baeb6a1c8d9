// Rewriting the run memo or one lap memo of a stored run file.
#pragma once

#include <string>

#include "file_system.h"

namespace lapdex {

enum class MemoKind { Run, Lap };

enum class MemoRewriteStatus {
    Written,       // the file holds the new content
    NotEncodable,  // the memo holds characters that code page 932 cannot hold; file untouched
    CannotCopy,    // the file could not be copied to its "_bak.csv" copy (missing, held exclusively)
    CannotOpen,    // the file could not be opened with exclusive access (in use by another program)
    WriteFailed,   // the new content could not be written or moved into place; old content kept
};

struct [[nodiscard]] MemoRewriteResult {
    MemoRewriteStatus status = MemoRewriteStatus::WriteFailed;
    std::string unencodable;  // NotEncodable: the offending characters, UTF-8
    FsStatus fsStatus;        // the file system's cause of a failure
    bool ok() const { return status == MemoRewriteStatus::Written; }
};

// "<folder>/<file name up to its first point>_bak.csv" of a run file path.
std::string memoBackupPath(const std::string& runFilePath);

// Replaces the memo of line 6 (MemoKind::Run) or of line 9 + `lapIndex` (MemoKind::Lap, 0-based)
// of the run file with `memo` (UTF-8) in its quoted form; every other line keeps its bytes, and all
// line ends become CR LF. A lap index beyond the last lap changes no line. The new content is built
// in the "_bak.csv" file beside the run file, flushed, and renamed over the run file in one step,
// so the file holds either its old or its new content. The file is read-only again afterwards.
// Window thread only, with the worker paused.
MemoRewriteResult rewriteMemo(FileSystem& fs, const std::string& path, const std::string& memo,
                              MemoKind kind, int lapIndex);

}  // namespace lapdex
