// A file system that runs out of space: from its n-th write on (or at the n-th write only), writes
// fail with ENOSPC and nothing reaches the disk, until space is given back. Thread-safe.
#pragma once

#include <cerrno>
#include <mutex>
#include <string>
#include <vector>

#include "file_system.h"

namespace lapdex::testing {

class FullDiskFileSystem : public PosixFileSystem {
  public:
    // The 1-based write from which the disk is full; 0 = never.
    void fullFrom(int write) {
        std::lock_guard<std::mutex> guard(mutex_);
        fullFrom_ = write;
        only_ = false;
    }
    // Only the 1-based `write` fails (space freed again at once); 0 = none.
    void failOnly(int write) {
        std::lock_guard<std::mutex> guard(mutex_);
        fullFrom_ = write;
        only_ = true;
    }
    void spaceBack() { fullFrom(0); }
    int writes() {
        std::lock_guard<std::mutex> guard(mutex_);
        return writes_;
    }
    int refused() {
        std::lock_guard<std::mutex> guard(mutex_);
        return refused_;
    }

    FsStatus writeFileAtomic(const std::string& path, std::string_view bytes,
                             Existing existing) override {
        if (outOfSpace()) return {FsError::Io, ENOSPC};
        return PosixFileSystem::writeFileAtomic(path, bytes, existing);
    }
    // Each file of a batch counts as one write; those refused never reach the disk.
    std::vector<FsStatus> createFiles(const std::vector<NewFile>& files, ReadOnly attribute) override {
        std::vector<FsStatus> statuses(files.size());
        std::vector<NewFile> room;
        std::vector<size_t> at;
        for (size_t i = 0; i < files.size(); ++i) {
            if (outOfSpace()) {
                statuses[i] = {FsError::Io, ENOSPC};
            } else {
                room.push_back(files[i]);
                at.push_back(i);
            }
        }
        std::vector<FsStatus> written = PosixFileSystem::createFiles(room, attribute);
        for (size_t i = 0; i < at.size(); ++i) statuses[at[i]] = written[i];
        return statuses;
    }
    FsStatus copyFile(const std::string& from, const std::string& to, Existing existing) override {
        if (outOfSpace()) return {FsError::Io, ENOSPC};
        return PosixFileSystem::copyFile(from, to, existing);
    }
    FsStatus createFolder(const std::string& folder) override {
        if (outOfSpace()) return {FsError::Io, ENOSPC};
        return PosixFileSystem::createFolder(folder);
    }

  private:
    bool outOfSpace() {
        std::lock_guard<std::mutex> guard(mutex_);
        ++writes_;
        const bool full = fullFrom_ > 0 && (only_ ? writes_ == fullFrom_ : writes_ >= fullFrom_);
        if (full) ++refused_;
        return full;
    }

    std::mutex mutex_;
    int fullFrom_ = 0;
    int writes_ = 0;
    int refused_ = 0;
    bool only_ = false;
};

}  // namespace lapdex::testing
