// The differential run-source test's clock moved back during a sequence, and a second program,
// k7x-tool, at work on the same data folder and the same index file.
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cstring>

#include "file_stamp.h"
#include "folder_run_source.h"
#include "run_source_rig.h"

extern char** environ;

namespace lapdex::testing {
namespace {

constexpr std::int64_t kSecondNs = 1'000'000'000;
// A step back within the coarsest file-system tick, a few minutes, and a time zone's worth.
constexpr std::int64_t kClockSteps[] = {2 * kSecondNs, 600 * kSecondNs, 3 * 3600 * kSecondNs};

timespec timespecOf(std::int64_t ns) {
    return {static_cast<time_t>(ns / kSecondNs), static_cast<long>(ns % kSecondNs)};
}

// Runs `argv` with XDG_CACHE_HOME set to `cache` and its output thrown away; its exit status, or
// -1 when it did not exit by itself.
int runProgram(const std::vector<std::string>& argv, const std::string& cache) {
    std::vector<std::string> environment{"XDG_CACHE_HOME=" + cache};
    for (char** e = environ; *e != nullptr; ++e) {
        if (std::strncmp(*e, "XDG_CACHE_HOME=", 15) != 0) environment.emplace_back(*e);
    }
    auto pointers = [](std::vector<std::string>& strings) {
        std::vector<char*> p;
        for (std::string& s : strings) p.push_back(s.data());
        p.push_back(nullptr);
        return p;
    };
    std::vector<std::string> args = argv;
    std::vector<char*> argp = pointers(args), envp = pointers(environment);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t child = 0;
    const int spawned = ::posix_spawn(&child, argp[0], &actions, nullptr, argp.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) return -1;
    int status = 0;
    if (::waitpid(child, &status, 0) != child) return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace

std::int64_t SequenceRig::indexClock() const {
    return wallClockNs() - clockBackNs_;
}

std::string SequenceRig::clockBack(const Op& op) {
    const std::int64_t step = kClockSteps[op.a % std::size(kClockSteps)];
    clockBackNs_ += step;
    return "move the clock back by " + std::to_string(step / kSecondNs) + " s (" +
           std::to_string(clockBackNs_ / kSecondNs) + " s behind in all)";
}

// What the step wrote got the times of the moved clock: its modification times are set back (the
// change times, which no program sets, stay the system's).
void SequenceRig::followMovedClock(std::int64_t stepStartNs) {
    if (clockBackNs_ == 0) return;
    auto follow = [&](const std::string& path) {
        const FileStamp stamp = stampOf(path);
        if (stamp.kind != StampKind::None && stamp.mtimeNs >= stepStartNs)
            setTime(path, timespecOf(stamp.mtimeNs - clockBackNs_));
    };
    for (const FolderEntry& entry : systemFileSystem().listFolder(data_).entries) {
        const std::string at = data_ + entry.name;
        if (entry.kind == EntryKind::Folder) {
            for (const FolderEntry& file : systemFileSystem().listFolder(at).entries)
                follow(at + "/" + file.name);
        }
        follow(at);
    }
}

// k7x-tool over the same data folder, with the same index file: it may bring the index up to date
// or rebuild it under the program's open connection. Only its exit status is looked at: 0, or 3
// when it could not read everything, which the scan then finds too.
std::string SequenceRig::otherProgram(const Op& op) {
#ifdef K7X_TOOL_PATH
    const std::string command = op.a % 2 ? "roster" : "runs";
    const int status = runProgram({K7X_TOOL_PATH, command, withoutTrailingSlash(data_)},
                                  withoutTrailingSlash(root_ / "cache"));
    const bool whole = FolderRunSource(DataFolder(fs_, data_)).listRuns({}).problems.empty();
    std::string said =
        "k7x-tool " + command + " on the data folder: exit " + std::to_string(status);
    if (status != 0 && status != 3) toolFailure_ = said;
    if (status == 3 && whole) toolFailure_ = said + ", though every run file can be read";
    return said;
#else
    (void)op;
    return "k7x-tool: not built";
#endif
}

}  // namespace lapdex::testing
