// The run file writer: name, encoding, the temporary file and the read-only attribute.
#include "run_file_writer.h"

#include <cstdio>

#include "cp932.h"
#include "run_file_format.h"

namespace lapdex {

std::string stopwatchFolderName(int slotIndex) {
    char name[16];
    std::snprintf(name, sizeof name, "QTM-%02d", slotIndex < 0 ? 0 : slotIndex + 1);
    return name;
}

bool makeReadOnlyWhenFree(FileSystem& fs, const std::string& path) {
    if (fs.isReadOnly(path)) return true;
    if (fs.isInUse(path)) return false;
    return fs.setReadOnlyAttribute(path, ReadOnly::On).ok();
}

RunFileWriteResult writeRunFile(FileSystem& fs, const std::string& dataFolder, int slotIndex,
                                const std::string& serialText, const RunRecord& record) {
    RunFileWriteResult result;
    result.path = withTrailingSlash(dataFolder) + stopwatchFolderName(slotIndex) + "/" +
                  runFileName(record.start, serialText);
    if (fs.kindOf(result.path) != EntryKind::None) {
        result.status = RunFileWriteStatus::AlreadyExists;
        return result;
    }
    TextConversion encoded = utf8ToCp932(runFileText(record));
    if (!encoded.ok()) {
        result.status = RunFileWriteStatus::NotEncodable;
        result.unencodable = encoded.offending;
        return result;
    }
    result.fsStatus = fs.writeFileAtomic(result.path, encoded.text, Existing::Refuse);
    if (result.fsStatus.error == FsError::AlreadyExists) {
        result.status = RunFileWriteStatus::AlreadyExists;
        result.fsStatus = FsStatus::success();
        return result;
    }
    if (!result.fsStatus.ok()) return result;
    result.status = RunFileWriteStatus::Written;
    result.readOnlySet = makeReadOnlyWhenFree(fs, result.path);
    return result;
}

}  // namespace lapdex
