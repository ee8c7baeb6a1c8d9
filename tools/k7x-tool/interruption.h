// Ctrl-C and SIGTERM as a request the writing commands poll, so that they end their files cleanly.
#pragma once

#include <atomic>
#include <cstdio>
#include <string>
#include <vector>

namespace k7x {

// The exit status of a command ended by SIGINT or SIGTERM.
inline constexpr int kInterruptedStatus = 130;

// From now on SIGINT and SIGTERM only raise the request (system calls resume after them, so the
// reader library is never cut off mid-exchange). Safe to call more than once.
void catchInterruptions();

// Makes the signal also set `flag` at once (null: no longer), so that a worker thread that polls
// it stops without waiting for the main thread. `flag` must outlive the registration.
void raiseOnInterruption(std::atomic<bool>* flag);

// True once SIGINT or SIGTERM arrived after catchInterruptions().
[[nodiscard]] bool interruptionRequested();

// Removes the temporary files of `target` (a file name) in `folder` whose writing process has
// ended: the hidden ".NAME.tmp-PID-N" of the store's writes, or with `hidden` false the dump's
// "NAME.tmp-PID-N". Returns how many went.
int removeDeadTemporaries(const std::string& folder, bool hidden, const std::string& target);

// The export's leftovers in `folder`: hidden temporaries of runs.csv, laps.csv and *.tcx whose
// writing process has ended.
int removeDeadExportTemporaries(const std::string& folder);

// Says on `err` what an export ended by an interruption left in `outFolder` (`kept`: the files it
// replaced, which stay; the files it had created are gone) and returns kInterruptedStatus.
int reportStoppedExport(const std::vector<std::string>& kept, const std::string& outFolder,
                        std::FILE* err);

}  // namespace k7x
