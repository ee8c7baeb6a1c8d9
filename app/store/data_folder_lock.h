// One program per data folder: an open-file-description lock on a file in the folder, held for
// as long as the object lives, whichever session or user started the program.
#pragma once

#include <string>

namespace lapdex {

class DataFolderLock {
  public:
    enum class State {
        Held,    // this object holds the lock
        InUse,   // another open description (another program) holds it
        Failed,  // the lock file could not be opened or created; nothing is held
    };

    // The lock file in the data folder; kept between runs (only the lock is released).
    static constexpr const char* kFileName = ".lapdex.lock";

    // Tries once, without waiting. `folder` ends in '/' or not.
    explicit DataFolderLock(const std::string& folder);
    ~DataFolderLock();
    DataFolderLock(const DataFolderLock&) = delete;
    DataFolderLock& operator=(const DataFolderLock&) = delete;

    State state() const { return state_; }

  private:
    int fd_ = -1;
    State state_ = State::Failed;
};

}  // namespace lapdex
