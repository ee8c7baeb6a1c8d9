#include "download_command.h"

#include <fcntl.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <optional>
#include <vector>

#include "configuration.h"
#include "count_words.h"
#include "data_folder.h"
#include "data_folder_lock.h"
#include "engine/download_worker.h"
#include "engine/engine_state.h"
#include "engine/store_worker_host.h"
#include "interruption.h"
#include "output_file.h"
#include "profile_file.h"
#include "rdcom32.h"
#include "reader_list.h"
#include "registry_repair.h"
#include "run_file_format.h"
#include "stopwatch_session.h"

namespace k7x {
namespace {

using lapdex::MessageId;

// How often the wait looks for an interruption.
constexpr std::chrono::milliseconds kPollPeriod{50};
// How long an exchange under way may take to end (a whole transfer on a slow reader).
constexpr std::chrono::milliseconds kWorkerEnd{60000};

// Remembers the notifications and wakes the waiting main thread on the final one.
class DownloadWatcher : public lapdex::NotificationSink {
  public:
    void post(MessageId id) override {
        std::lock_guard<std::mutex> guard(mutex_);
        if (id == lapdex::NTF_RUN_FILE_ERROR) writeFailed_ = true;
        if (isFinal(id)) final_ = id;
        changed_.notify_all();
    }
    std::optional<MessageId> waitForFinal(std::chrono::milliseconds timeout) {
        std::unique_lock<std::mutex> lock(mutex_);
        changed_.wait_for(lock, timeout, [this] { return final_.has_value(); });
        return final_;
    }
    bool writeFailed() {
        std::lock_guard<std::mutex> guard(mutex_);
        return writeFailed_;
    }

  private:
    static bool isFinal(MessageId id) {
        return id == lapdex::NTF_DOWNLOAD_DONE || id == lapdex::NTF_NO_DATA ||
               id == lapdex::NTF_COMM_ERROR || id == lapdex::NTF_REGISTRY_FULL;
    }
    std::mutex mutex_;
    std::condition_variable changed_;
    std::optional<MessageId> final_;
    bool writeFailed_ = false;
};

// The run files of a folder: other files (a memo rewrite's copy, notes) are not runs.
size_t countRunFiles(const std::string& folder) {
    std::error_code error;
    size_t count = 0;
    for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end;
         it.increment(error)) {
        count += lapdex::serialOfRunFileName(it->path().filename().string()).empty() ? 0 : 1;
    }
    return count;
}

int fail(const std::string& message) {
    std::fprintf(stderr, "k7x-tool: %s\n", message.c_str());
    return 1;
}

// Why nothing could be written into `folder`, found by trying.
std::string folderProblem(const std::string& folder) {
    const std::string probe = folder + "/.k7x-probe";
    const int descriptor = ::open(probe.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (descriptor < 0 && errno != EEXIST) return writeProblem(probe, errno);
    if (descriptor >= 0) {
        ::close(descriptor);
        ::unlink(probe.c_str());
    }
    struct statvfs space {};
    if (::statvfs(folder.c_str(), &space) == 0 && space.f_bavail == 0) return "the disk is full";
    return "the disk was full or the folder was changed meanwhile";
}

int report(MessageId outcome, lapdex::EngineState& state, bool writeFailed) {
    if (outcome == lapdex::NTF_COMM_ERROR) {
        return fail("the stopwatch did not answer reliably; lay it on again");
    }
    if (outcome == lapdex::NTF_REGISTRY_FULL) {
        if (state.config.registry.registeredCount() < lapdex::kSlotCount) {
            // Free slots whose folders hold other stopwatches' runs are never given out.
            return fail("the stopwatch could not be registered: every free stopwatch folder of " +
                        lapdex::withoutTrailingSlash(state.data.path()) +
                        " holds another stopwatch's runs; its runs stay on the stopwatch for "
                        "'download all'");
        }
        return fail("100 stopwatches are registered; this one cannot be");
    }
    std::printf("%s\n", outcome == lapdex::NTF_NO_DATA ? "No new runs." : "Download finished.");
    int tab = state.shared.notifiedTab.load();
    if (tab >= 0 && tab < static_cast<int>(state.tabs.titles().size())) {
        int slot = state.config.registry.findByName(state.tabs.titles()[tab]);
        if (slot >= 0) {
            const std::string folder = state.data.stopwatchFolder(slot);
            std::printf(
                "Stopwatch %s: %s in %s\n", state.config.registry.entry(slot).displayName.c_str(),
                counted(static_cast<long long>(countRunFiles(folder)), "run file", "run files")
                    .c_str(),
                folder.c_str());
        }
    }
    if (writeFailed) {
        const lapdex::RunFileShortfall& missing = state.runFileShortfall;
        // Without a slot the shortfall names the data folder: no folder could take the stopwatch.
        if (missing.folder == state.data.path()) {
            return fail("the stopwatch could not be registered: every free stopwatch folder of " +
                        lapdex::withoutTrailingSlash(missing.folder) +
                        " holds another stopwatch's runs; its " +
                        counted(missing.total, "run stays", "runs stay") +
                        " on the stopwatch for 'download all'");
        }
        return fail(std::to_string(missing.unsaved) + " of " + std::to_string(missing.total) +
                    " run files could not be written in " + missing.folder + ": " +
                    folderProblem(missing.folder) +
                    "; their runs stay on the stopwatch for 'download all'");
    }
    return 0;
}

// Why the store could not read or write `path`.
std::string storeProblem(const std::string& path, const lapdex::FsStatus& status) {
    switch (status.error) {
        case lapdex::FsError::ReadOnly:
            return "it is read-only";
        case lapdex::FsError::InUse:
            return "another program holds it open";
        case lapdex::FsError::SymbolicLink:
            return "it is a symbolic link, which Lapdex never follows";
        default:
            return status.sysErrno != 0 ? writeProblem(path, status.sysErrno)
                                        : "input/output error";
    }
}

// The reader the download will use, or a message saying what is missing.
std::optional<std::string> findReader(std::string& error) {
    const ReaderListing listing = listReaders();
    SessionError missing = SessionError::None;
    if (!listing.serviceReached) {
        missing = SessionError::NoService;
    } else if (listing.names.empty()) {
        missing = SessionError::NoReader;
    } else if (libraryReader(listing).empty()) {
        missing = SessionError::NoServedReader;
    }
    if (missing == SessionError::None) return libraryReader(listing);
    error = describe(missing, "");
    return std::nullopt;
}

// The data folder as it was before the download, so that one that brought nothing leaves
// nothing behind.
struct FolderBefore {
    bool folderExisted = false;
    bool configurationExisted = false;
    bool lockFileExisted = false;
};

// Creates the data folder when missing. Null with `error` set when the download must not go on.
std::optional<FolderBefore> prepareFolder(const lapdex::DataFolder& data, std::string& error) {
    namespace fs = std::filesystem;
    const std::string folder = lapdex::withoutTrailingSlash(data.path());
    std::error_code code;
    FolderBefore before;
    const fs::file_status status = fs::symlink_status(folder, code);
    before.folderExisted = fs::exists(status);
    if (before.folderExisted && !fs::is_directory(fs::status(folder, code))) {
        error = "cannot use " + folder + " as the data folder: it is not a folder";
        return std::nullopt;
    }
    bool created = false;
    std::string problem;
    if (!before.folderExisted && !createLastFolder(folder, created, problem)) {
        error = "cannot create the data folder " + folder + ": " + problem;
        return std::nullopt;
    }
    before.configurationExisted = fs::exists(fs::symlink_status(data.configurationFile(), code));
    before.lockFileExisted =
        fs::exists(fs::symlink_status(data.path() + lapdex::DataFolderLock::kFileName, code));
    return before;
}

// False with `error` set when Lapdex.dat must not be touched: it cannot be read, or it does not
// read as the profile it should be (adding to it would hand out the folders of stopwatches whose
// registration it lost).
bool configurationUsable(const lapdex::DataFolder& data, const std::string& dir,
                         std::string& error) {
    const lapdex::ConfigurationFileCheck check = lapdex::checkConfigurationFile(data);
    const std::string file = data.configurationFile();
    if (check.state == lapdex::ConfigurationFileState::Unreadable) {
        error = file + " exists but cannot be read (" + storeProblem(file, check.status) +
                "); it is left as it is. Check it, or give another folder.";
        return false;
    }
    if (check.state == lapdex::ConfigurationFileState::Damaged) {
        error = file + " is damaged (" + check.reason +
                "); it is left as it is. Run `k7x-tool repair " + dir +
                "` to rebuild it from the stopwatch folders.";
        return false;
    }
    return true;
}

void undoFolder(const lapdex::DataFolder& data, const FolderBefore& before) {
    std::error_code ignored;
    if (!before.configurationExisted) std::filesystem::remove(data.configurationFile(), ignored);
    // Unlinked while still locked: a program that opened it meanwhile was refused and has left.
    if (!before.lockFileExisted) {
        std::filesystem::remove(data.path() + lapdex::DataFolderLock::kFileName, ignored);
    }
    // Only an empty folder goes: remove() refuses one that holds anything.
    if (!before.folderExisted) {
        std::filesystem::remove(lapdex::withoutTrailingSlash(data.path()), ignored);
    }
}

// Only a finished exchange registers a stopwatch or writes files.
bool leftNothing(std::optional<MessageId> outcome) {
    return !outcome || *outcome == lapdex::NTF_COMM_ERROR || *outcome == lapdex::NTF_REGISTRY_FULL;
}

// Loads the registry as Lapdex does at start-up (leftover temporaries removed, missing stopwatch
// folders made, the file saved) once Lapdex.dat is known to be usable. 0, or the exit status.
int loadRegistry(lapdex::EngineState& state, const Invocation& invocation,
                 const FolderBefore& before) {
    std::string error;
    if (!configurationUsable(state.data, invocation.file, error)) {
        undoFolder(state.data, before);
        return fail(error);
    }
    state.config = lapdex::loadConfiguration(
        state.data, lapdex::localeDefaultLocation(lapdex::processEnvironment()));
    lapdex::createStopwatchFolders(state.data, state.config.registry);
    if (const lapdex::FsStatus saved = lapdex::saveConfiguration(state.data, state.config);
        !saved.ok()) {
        undoFolder(state.data, before);
        const std::string file = state.data.configurationFile();
        return fail("cannot write " + file + ": " + storeProblem(file, saved));
    }
    state.tabs.rebuild(state.config.registry);
    state.clockSync.store(state.config.settings.pcTime == "ON");
    state.stoppableWrites = true;
    return 0;
}

// Waits for the download's end, the time-out or an interruption, whichever comes first.
std::optional<MessageId> waitForOutcome(DownloadWatcher& watcher, std::chrono::milliseconds wait) {
    const auto deadline = std::chrono::steady_clock::now() + wait;
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        const std::optional<MessageId> outcome =
            watcher.waitForFinal(std::clamp(left, std::chrono::milliseconds(0), kPollPeriod));
        if (outcome || left <= kPollPeriod || interruptionRequested()) return outcome;
    }
}

// The one line after an interruption: what is on disk and what to run next.
int reportInterruption(lapdex::EngineState& state, const Invocation& invocation,
                       const FolderBefore& before, std::optional<MessageId> outcome) {
    const lapdex::DownloadTally tally = state.lastDownload;
    const std::string dir = invocation.file;
    std::string line;
    if (tally.runs < 0 && outcome == lapdex::NTF_NO_DATA) {
        line = "Interrupted: the stopwatch had no runs to download; nothing is left to do";
    } else if (tally.runs < 0) {
        if (leftNothing(outcome)) undoFolder(state.data, before);
        line =
            std::string(
                "Interrupted before any run was read; nothing was saved: run `k7x-tool download ") +
            (invocation.command == Command::DownloadAll ? "all " : "new ") + dir + "` again";
    } else if (tally.saved < tally.runs) {
        line = std::to_string(tally.saved) + " of " + std::to_string(tally.runs) +
               " runs saved; the other " + std::to_string(tally.runs - tally.saved) +
               " stay on the stopwatch as old runs: run `k7x-tool download all " + dir + "`";
    } else {
        line = std::to_string(tally.saved) + " of " + std::to_string(tally.runs) +
               " runs saved before the interruption; nothing is left to download";
    }
    std::fprintf(stderr, "%s\n", line.c_str());
    return kInterruptedStatus;
}

}  // namespace

int runDownload(const Invocation& invocation, std::chrono::milliseconds wait) {
    catchInterruptions();
    if (!invocation.logDirectory.empty()) {
        if (const std::string problem = openDebugLog(invocation.logDirectory); !problem.empty()) {
            return fail(problem);
        }
    }
    std::string error;
    const std::optional<std::string> reader = findReader(error);
    if (!reader) return fail(error);
    lapdex::EngineState state(lapdex::DataFolder(lapdex::systemFileSystem(), invocation.file));
    const std::optional<FolderBefore> before = prepareFolder(state.data, error);
    if (!before) return fail(error);
    // As Lapdex does: one program at a time writes a data folder.
    const lapdex::DataFolderLock folderLock(state.data.path());
    if (folderLock.state() == lapdex::DataFolderLock::State::InUse) {
        return fail("the data folder " + invocation.file +
                    " is in use by Lapdex or another k7x-tool; download once it has ended");
    }
    if (const int status = loadRegistry(state, invocation, *before); status != 0) return status;
    if (!cardPresent(*reader)) {
        std::printf("No stopwatch on %s yet: lay it on the reader (waiting up to %lld s).\n",
                    reader->c_str(), static_cast<long long>(wait.count() / 1000));
        std::fflush(stdout);
    }

    DownloadWatcher watcher;
    lapdex::StoreWorkerHost host(state, watcher);
    lapdex::DownloadWorker worker(state.lock, state.shared, host, watcher);
    worker.post(invocation.command == Command::DownloadAll ? lapdex::CMD_DOWNLOAD_ALL
                                                           : lapdex::CMD_DOWNLOAD_NEW);
    // The signal stops the run files at once, not at the main thread's next look.
    raiseOnInterruption(&state.stopWriting);
    worker.start();
    std::optional<MessageId> outcome = waitForOutcome(watcher, wait);
    // An exchange under way ends first: its files are finished or never begun.
    worker.stop(kWorkerEnd);
    raiseOnInterruption(nullptr);
    if (interruptionRequested()) return reportInterruption(state, invocation, *before, outcome);
    if (leftNothing(outcome)) undoFolder(state.data, *before);
    if (!outcome) {
        return fail("no stopwatch was laid on " + *reader + " within " +
                    std::to_string(wait.count() / 1000) + " s");
    }
    return report(*outcome, state, watcher.writeFailed());
}

}  // namespace k7x
