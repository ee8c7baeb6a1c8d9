// Starting, watching and stopping a test's child processes with posix_spawn.
#include "child_process.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>

extern char** environ;

namespace testsupport {

bool ChildProcess::start(const std::vector<std::string>& argv, const std::string& logPath, std::string& error) {
    std::vector<char*> args;
    for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, logPath.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    int result = posix_spawnp(&child, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (result != 0) {
        child = -1;
        error = "cannot start " + argv[0] + ": " + std::strerror(result);
        return false;
    }
    return true;
}

bool ChildProcess::running() {
    if (child <= 0) return false;
    int result = waitpid(child, &status, WNOHANG);
    if (result == child || (result < 0 && errno == ECHILD)) {
        child = -1;
        return false;
    }
    return true;
}

bool ChildProcess::waitExit(int timeoutMs, int* exitStatus) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (running()) {
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    if (exitStatus) *exitStatus = status;
    return true;
}

void ChildProcess::stop(int graceMs) {
    if (!running()) return;
    kill(child, SIGTERM);
    if (waitExit(graceMs)) return;
    kill(child, SIGKILL);
    waitExit(5000);
}

}  // namespace testsupport
