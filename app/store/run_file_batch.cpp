// One download's run files: encoded one by one, created together by the file system.
#include "run_file_batch.h"

#include <algorithm>

#include "cp932.h"
#include "run_file_format.h"

namespace lapdex {

RunFileBatch::RunFileBatch(FileSystem& fs, std::string dataFolder, int slotIndex, std::string serialText)
    : fs_(fs),
      folder_(withTrailingSlash(dataFolder) + stopwatchFolderName(slotIndex) + "/"),
      serialText_(std::move(serialText)) {}

void RunFileBatch::add(const RunRecord& record) {
    RunFileWriteResult& result = results_.emplace_back();
    std::string name = runFileName(record.start, serialText_);
    result.path = folder_ + name;
    if (!names_.insert(std::move(name)).second) {
        // Two runs started in the same second: the first keeps the name, as writing one by one did.
        result.status = RunFileWriteStatus::AlreadyExists;
        return;
    }
    // A run downloaded before keeps its file; a Reload then costs no temporary file for it.
    if (fs_.kindOf(result.path) != EntryKind::None) {
        result.status = RunFileWriteStatus::AlreadyExists;
        return;
    }
    TextConversion encoded = utf8ToCp932(runFileText(record));
    if (!encoded.ok()) {
        result.status = RunFileWriteStatus::NotEncodable;
        result.unencodable = std::move(encoded.offending);
        return;
    }
    files_.push_back({result.path, std::move(encoded.text)});
    resultOfFile_.push_back(results_.size() - 1);
}

std::vector<RunFileWriteResult> RunFileBatch::commit() {
    const std::vector<FsStatus> statuses = fs_.createFiles(files_, ReadOnly::On);
    for (std::size_t k = 0; k < files_.size(); ++k) {
        RunFileWriteResult& result = results_[resultOfFile_[k]];
        const FsStatus status = k < statuses.size() ? statuses[k] : FsStatus{FsError::Io, 0};
        if (status.ok()) {
            result.status = RunFileWriteStatus::Written;
            result.readOnlySet = true;
        } else if (status.error == FsError::AlreadyExists) {
            result.status = RunFileWriteStatus::AlreadyExists;
        } else {
            result.status = RunFileWriteStatus::WriteFailed;
            result.fsStatus = status;
        }
    }
    std::vector<RunFileWriteResult> results = std::move(results_);
    results_.clear();
    files_.clear();
    resultOfFile_.clear();
    names_.clear();
    return results;
}

bool allRunsWritten(const std::vector<RunFileWriteResult>& results) {
    return std::all_of(results.begin(), results.end(), [](const RunFileWriteResult& r) { return r.ok(); });
}

}  // namespace lapdex
