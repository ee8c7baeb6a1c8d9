// The run file writer: name, encoding, the temporary file and the read-only attribute.
#include "run_file_writer.h"

#include <cstdio>

#include "run_file_batch.h"

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
    RunFileBatch batch(fs, dataFolder, slotIndex, serialText);
    batch.add(record);
    return std::move(batch.commit().front());
}

}  // namespace lapdex
