// The run index's database file shared by every program on a data folder: who may open or
// rebuild it, and whether another program has it open.
#pragma once

#include <string>

namespace lapdex {

// Holds the lock that makes opening, checking and rebuilding an index file one step among all
// processes (flock() on "<database>.lock" beside it, waiting for it). Released on destruction.
class IndexOpenLock {
  public:
    explicit IndexOpenLock(const std::string& databasePath);
    ~IndexOpenLock();
    IndexOpenLock(const IndexOpenLock&) = delete;
    IndexOpenLock& operator=(const IndexOpenLock&) = delete;
    bool held() const { return fd_ >= 0; }

  private:
    int fd_ = -1;
};

// True when a connection of another process has the database open: SQLite's connections in WAL
// mode hold a shared lock on a byte of its "-shm" file for as long as they are open. Connections
// of this process are not seen (fcntl() locks are the process's).
bool databaseOpenElsewhere(const std::string& databasePath);

// Removes what a database left beside it ("-wal", "-shm", "-journal"). Only for a database that
// no connection has open: the write-ahead log of a live one holds its latest commits.
void removeDatabaseLeftovers(const std::string& databasePath);

}  // namespace lapdex
