// Writing the run files of one download together, with one flush for the whole batch.
#pragma once

#include <functional>
#include <string>
#include <unordered_set>
#include <vector>

#include "file_system.h"
#include "run_file_writer.h"
#include "run_record.h"

namespace lapdex {

// Collects the runs of one download and writes them in one go. Every run keeps the single-file
// guarantees: a run file appears complete under its final name or not at all, an existing file is
// never touched, and the file is read-only from the moment it appears. Failures are per run.
// One owner; use it on one thread.
class RunFileBatch {
  public:
    // `dataFolder` ends with '/'; the files go to its folder of `slotIndex`.
    RunFileBatch(FileSystem& fs, std::string dataFolder, int slotIndex, std::string serialText);

    // Encodes the run and queues it. A run whose text does not fit code page 932 is NotEncodable at
    // once; a second run of the same name in the batch is AlreadyExists (the first one is written).
    void add(const RunRecord& record);

    // Asks commit() to write in groups (16 files, then twice as many each time up to 256) and, once
    // `stop` returns true, to write no further group: the group being written is finished, the runs
    // after it are Stopped. Without it commit() writes everything in one group (one flush). `stop`
    // is called on the committing thread.
    void stopWhen(std::function<bool()> stop) { stop_ = std::move(stop); }

    // Writes every queued run and returns one result per added run, in the order added. The batch
    // is empty afterwards.
    std::vector<RunFileWriteResult> commit();

  private:
    // Files per group when the batch can be stopped: the first group, doubled group by group up to
    // the largest (each group costs one flush).
    static constexpr std::size_t kFirstGroup = 16;
    static constexpr std::size_t kLargestGroup = 256;

    std::vector<FsStatus> createInGroups();

    FileSystem& fs_;
    std::string folder_;  // the stopwatch's folder, ending with '/'
    std::string serialText_;
    std::vector<RunFileWriteResult> results_;
    std::vector<NewFile> files_;
    std::vector<std::size_t> resultOfFile_;  // files_[k] belongs to results_[resultOfFile_[k]]
    std::unordered_set<std::string> names_;
    std::function<bool()> stop_;
};

// True when every result is Written or AlreadyExists.
bool allRunsWritten(const std::vector<RunFileWriteResult>& results);

}  // namespace lapdex
