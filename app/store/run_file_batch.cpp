// One download's run files: encoded one by one, created together by the file system.
#include "run_file_batch.h"

#include <algorithm>

#include "cp932.h"
#include "run_file_format.h"

namespace lapdex {

RunFileBatch::RunFileBatch(FileSystem& fs, std::string dataFolder, int slotIndex,
                           std::string serialText)
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

std::vector<FsStatus> RunFileBatch::createInGroups() {
    if (!stop_) return fs_.createFiles(files_, ReadOnly::On);
    std::vector<FsStatus> statuses;
    // Small groups first, so that a stop comes soon; then larger ones, so that a long download
    // does not flush the disk once per handful of files.
    std::size_t groupSize = kFirstGroup;
    for (std::size_t first = 0; first < files_.size();
         first += groupSize, groupSize = std::min(groupSize * 2, kLargestGroup)) {
        if (stop_()) break;
        const std::size_t end = std::min(files_.size(), first + groupSize);
        std::vector<NewFile> group(
            std::make_move_iterator(files_.begin() + static_cast<std::ptrdiff_t>(first)),
            std::make_move_iterator(files_.begin() + static_cast<std::ptrdiff_t>(end)));
        std::vector<FsStatus> done = fs_.createFiles(group, ReadOnly::On);
        done.resize(group.size(), FsStatus{FsError::Io, 0});
        statuses.insert(statuses.end(), done.begin(), done.end());
    }
    return statuses;
}

std::vector<RunFileWriteResult> RunFileBatch::commit() {
    const bool stoppable = static_cast<bool>(stop_);
    const std::vector<FsStatus> statuses = createInGroups();
    for (std::size_t k = 0; k < files_.size(); ++k) {
        RunFileWriteResult& result = results_[resultOfFile_[k]];
        if (k >= statuses.size() && stoppable) {
            result.status = RunFileWriteStatus::Stopped;
            continue;
        }
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
    return std::all_of(results.begin(), results.end(),
                       [](const RunFileWriteResult& r) { return r.ok(); });
}

}  // namespace lapdex
