// The memo rewrite: new content through the "_bak.csv" file, then one rename over the run file.
#include "memo_rewrite.h"

#include "cp932.h"
#include "run_file_format.h"
#include "run_file_writer.h"

namespace lapdex {
namespace {

// Far beyond the laps any run data can hold; keeps the line number arithmetic in range.
constexpr int kMaxLapIndex = 1 << 24;

// The target line keeps its text up to and including its n-th comma (commas are never part of a
// two-byte Shift_JIS character). A line with fewer commas is padded so the memo stays in its column.
std::string replaceMemo(std::string_view line, int commas, const std::string& quotedMemo) {
    std::size_t pos = 0;
    for (int found = 0; found < commas; ++found) {
        const std::size_t comma = line.find(',', pos);
        if (comma == std::string_view::npos) {
            std::string padded(line);
            padded.append(static_cast<std::size_t>(commas - found), ',');
            return padded + quotedMemo;
        }
        pos = comma + 1;
    }
    return std::string(line.substr(0, pos)) + quotedMemo;
}

// The whole new content: every line (CR removed) followed by CR LF, the target line replaced.
std::string rebuild(std::string_view bytes, int targetLine, int commas, const std::string& quotedMemo) {
    std::string out;
    out.reserve(bytes.size() + quotedMemo.size() + 16);
    int lineNumber = 0;
    for (std::size_t pos = 0; pos < bytes.size();) {
        const std::size_t lf = bytes.find('\n', pos);
        std::string_view line =
            bytes.substr(pos, lf == std::string_view::npos ? std::string_view::npos : lf - pos);
        pos = lf == std::string_view::npos ? bytes.size() : lf + 1;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        ++lineNumber;
        if (lineNumber == targetLine) {
            out += replaceMemo(line, commas, quotedMemo);
        } else {
            out += line;
        }
        out += "\r\n";
    }
    return out;
}

MemoRewriteResult failure(MemoRewriteStatus status, FsStatus cause) {
    MemoRewriteResult result;
    result.status = status;
    result.fsStatus = cause;
    return result;
}

// Steps after the "_bak.csv" copy exists: read under an exclusive lock, write, rename.
MemoRewriteResult replaceThroughBackup(FileSystem& fs, const std::string& path, const std::string& backup,
                                       int targetLine, int commas, const std::string& quotedMemo) {
    // Exclusive access proves no other program has the file open. The probe lock is dropped before
    // reading (our own lock would make the read see the file as held) and before the rename, which
    // itself refuses a file that another program opened meanwhile.
    if (!fs.holdLock(path, LockMode::Exclusive)) {
        return failure(MemoRewriteStatus::CannotOpen, {FsError::InUse, 0});
    }
    FsBytes content = fs.readFile(path);
    if (!content.ok()) return failure(MemoRewriteStatus::CannotOpen, content.status);
    const std::string rebuilt = rebuild(content.bytes, targetLine, commas, quotedMemo);
    if (FsStatus written = fs.writeFileAtomic(backup, rebuilt, Existing::Replace); !written.ok()) {
        return failure(MemoRewriteStatus::WriteFailed, written);
    }
    if (FsStatus renamed = fs.renameReplace(backup, path); !renamed.ok()) {
        return failure(MemoRewriteStatus::WriteFailed, renamed);
    }
    return {MemoRewriteStatus::Written, {}, FsStatus::success()};
}

}  // namespace

std::string memoBackupPath(const std::string& runFilePath) {
    const std::size_t slash = runFilePath.rfind('/');
    const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    const std::size_t point = runFilePath.find('.', nameStart);
    return runFilePath.substr(0, point) + "_bak.csv";
}

MemoRewriteResult rewriteMemo(FileSystem& fs, const std::string& path, const std::string& memo,
                              MemoKind kind, int lapIndex) {
    TextConversion encoded = utf8ToCp932(quoteMemo(memo));
    if (!encoded.ok()) {
        MemoRewriteResult result = failure(MemoRewriteStatus::NotEncodable, FsStatus::success());
        result.unencodable = encoded.offending;
        return result;
    }
    const bool lapMemo = kind == MemoKind::Lap;
    // Line 0 never exists: a lap index outside every possible file changes no line.
    const bool lapInRange = lapIndex >= 0 && lapIndex <= kMaxLapIndex;
    const int targetLine = lapMemo ? (lapInRange ? kFirstLapLine + lapIndex : 0) : kSummaryLine;
    const std::string backup = memoBackupPath(path);
    (void)fs.setReadOnlyAttribute(path, ReadOnly::Off);
    if (fs.kindOf(backup) == EntryKind::File) (void)fs.setReadOnlyAttribute(backup, ReadOnly::Off);

    MemoRewriteResult result;
    if (FsStatus copied = fs.copyFile(path, backup, Existing::Replace); !copied.ok()) {
        result = failure(MemoRewriteStatus::CannotCopy, copied);
    } else {
        result = replaceThroughBackup(fs, path, backup, targetLine, lapMemo ? 3 : 6, encoded.text);
    }
    if (fs.kindOf(backup) == EntryKind::File) (void)fs.deleteFile(backup);
    if (fs.kindOf(path) == EntryKind::File) (void)makeReadOnlyWhenFree(fs, path);
    return result;
}

}  // namespace lapdex
