// The interruption request and the clean-up of temporaries whose writer is gone.
#include "interruption.h"

#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <filesystem>
#include <functional>

#include "leftover_files.h"

namespace k7x {
namespace {

std::atomic<bool> requested{false};
std::atomic<std::atomic<bool>*> alsoRaised{nullptr};
static_assert(std::atomic<bool>::is_always_lock_free, "set from a signal handler");
static_assert(std::atomic<std::atomic<bool>*>::is_always_lock_free, "read in a signal handler");

void onSignal(int) {
    requested.store(true);
    if (std::atomic<bool>* flag = alsoRaised.load()) flag->store(true);
}

// True when no process of that id runs here any more. A process of another user still counts as
// running (EPERM), so its files stay.
bool writerEnded(long pid) {
    if (pid <= 0 || pid == static_cast<long>(::getpid())) return false;
    return ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH;
}

int removeMatching(const std::string& folder,
                   const std::function<bool(const std::string&)>& matches) {
    std::error_code error;
    int removed = 0;
    for (std::filesystem::directory_iterator it(folder.empty() ? "." : folder, error), end;
         !error && it != end; it.increment(error)) {
        const std::string name = it->path().filename().string();
        if (!it->is_regular_file(error) || !matches(name)) continue;
        std::error_code ignored;
        removed += std::filesystem::remove(it->path(), ignored) ? 1 : 0;
    }
    return removed;
}

}  // namespace

void catchInterruptions() {
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGINT, &action, nullptr);
    ::sigaction(SIGTERM, &action, nullptr);
}

void raiseOnInterruption(std::atomic<bool>* flag) {
    alsoRaised.store(flag);
    if (flag != nullptr && requested.load()) flag->store(true);
}

bool interruptionRequested() {
    return requested.load();
}

int removeDeadTemporaries(const std::string& folder, bool hidden, const std::string& target) {
    return removeMatching(folder, [&](const std::string& name) {
        return writerEnded(lapdex::temporaryFileOwner(name, hidden, target));
    });
}

int removeDeadExportTemporaries(const std::string& folder) {
    return removeMatching(folder, [](const std::string& name) {
        const long owner = lapdex::temporaryFileOwner(name);
        const std::string written = owner == 0 ? "" : name.substr(1, name.rfind(".tmp-") - 1);
        const bool exported =
            written == "runs.csv" || written == "laps.csv" || written.ends_with(".tcx");
        return exported && writerEnded(owner);
    });
}

int reportStoppedExport(const std::vector<std::string>& kept, const std::string& outFolder,
                        std::FILE* err) {
    if (kept.empty()) {
        std::fprintf(err, "Interrupted; no export file was left in %s: run the export again\n",
                     outFolder.c_str());
    } else {
        std::fprintf(err,
                     "Interrupted; %zu %s in %s replaced, the others not written: run the export "
                     "again with --force\n",
                     kept.size(), kept.size() == 1 ? "file was" : "files were", outFolder.c_str());
    }
    return kInterruptedStatus;
}

}  // namespace k7x
