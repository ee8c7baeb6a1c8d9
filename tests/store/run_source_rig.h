// The data folder the differential run-source test works on: its file system with injected faults,
// the program's run index over it, and the operations and checks of one sequence.
#pragma once

#include <sys/stat.h>

#include <cerrno>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "file_system.h"
#include "run_index.h"
#include "run_record.h"
#include "run_source_model.h"
#include "temp_folder.h"

namespace lapdex::testing {

// The real file system, except that chosen folders cannot be listed (nor anything in them looked
// at or read) and chosen files cannot be read, as with permissions that even root would meet.
class ModelFileSystem : public PosixFileSystem {
  public:
    std::set<std::string> blockedFolders;  // paths without a trailing '/'
    std::set<std::string> blockedFiles;

    EntryKind kindOf(const std::string& path) override {
        return inBlockedFolder(path) ? EntryKind::None : PosixFileSystem::kindOf(path);
    }
    FolderListing listFolder(const std::string& folder) override {
        if (blockedFolders.count(withoutTrailingSlash(folder))) return {{FsError::Io, EACCES}, {}};
        return PosixFileSystem::listFolder(folder);
    }
    FolderListing findMatching(const std::string& folder, std::string_view pattern) override {
        if (blockedFolders.count(withoutTrailingSlash(folder))) return {{FsError::Io, EACCES}, {}};
        return PosixFileSystem::findMatching(folder, pattern);
    }
    FsBytes readFile(const std::string& path) override {
        if (inBlockedFolder(path) || blockedFiles.count(path)) return {{FsError::Io, EACCES}, {}};
        return PosixFileSystem::readFile(path);
    }

  private:
    bool inBlockedFolder(const std::string& path) const {
        const std::size_t slash = path.rfind('/');
        return slash != std::string::npos && blockedFolders.count(path.substr(0, slash)) > 0;
    }
};

// A run of 1 to 4 laps on one of four days in March 2024, in either time format.
RunRecord randomRun(std::uint32_t seed);
// A file's or folder's modification time; setTime sets both of its times to `mtime`.
timespec timeOfFile(const std::string& path);
void setTime(const std::string& path, timespec mtime);
// Writes `bytes` over the file in place (same inode), as cp or an editor saving in place does.
void overwrite(const std::string& path, const std::string& bytes);

// A run file of the data folder.
struct RunFilePlace {
    std::string folderName;
    std::string fileName;
};

class SequenceRig {
  public:
    bool setUp();
    // Applies one step and says what it did.
    std::string apply(const Op& op);
    // Compares every answer of the index (and of a second index opened in this step) with the
    // folder scan's; the first difference, or "" when all agree.
    std::string check(std::size_t step);
    std::size_t answersCompared() const { return compared_; }
    // Day queries the index answered itself rather than leaving them to the page's scan.
    std::size_t dayAnswers() const { return dayAnswers_; }

  private:
    std::string applyOp(const Op& op);
    // Operations (run_source_ops.cpp).
    std::string download(const Op& op);
    std::string registerNew(std::string& folderName);
    std::string registryChange(const Op& op);
    std::string pageChange(const Op& op);
    std::string handEdit(const Op& op);
    std::string handReplace(const Op& op);
    std::string handDeleteOrAdd(const Op& op);
    std::string handDamage(const Op& op);
    std::string fault(const Op& op);
    std::string times(const Op& op);
    void age();
    std::string importDataSet(const Op& op);
    std::string openSecondIndex();
    void tellIndex();
    std::unique_ptr<RunIndex> openIndex();
    std::vector<std::string> registeredFolders();
    std::vector<RunFilePlace> runFiles();
    std::string runFileBytes(const Op& op, std::string& name);
    std::string path(const RunFilePlace& place) const;
    // The clock and the second program (run_source_clock_ops.cpp).
    std::int64_t indexClock() const;
    std::string clockBack(const Op& op);
    void followMovedClock(std::int64_t stepStartNs);
    std::string otherProgram(const Op& op);

    // Checks (run_source_checks.cpp).
    std::string checkIndex(RunIndex& index, std::size_t step);
    std::string checkQueries(RunIndex& index, RunSource& scan, const RunListing& all,
                             std::size_t step);
    std::string checkComputed(RunIndex& index, RunSource& scan, const RunListing& all,
                              std::size_t step);
    std::string checkCatalogue(RunIndex& index);
    std::string checkCataloguePass(RunIndex& index);
    bool same(const std::string& what, const std::string& indexed, const std::string& scanned,
              std::string& difference);

    TempFolder root_;
    ModelFileSystem fs_;
    std::string data_;      // ends in '/'
    std::string database_;  // the index's file, outside the data folder
    std::unique_ptr<RunIndex> index_;
    std::unique_ptr<RunIndex> second_;  // only for the step that opened it
    std::uint32_t serials_ = 0;
    int imports_ = 0;
    std::size_t compared_ = 0;
    std::size_t dayAnswers_ = 0;
    std::int64_t clockBackNs_ = 0;    // how far the clock was moved back, in all
    std::string toolFailure_;         // what k7x-tool did wrong, checked as a difference
    std::vector<std::string> asked_;  // folders the index asked its refresh thread to compare
};

}  // namespace lapdex::testing
