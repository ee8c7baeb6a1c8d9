// A child process started by a test and stopped by its own pid, never by name.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace testsupport {

class ChildProcess {
public:
    ChildProcess() = default;
    ~ChildProcess() { stop(); }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // Starts argv[0] (searched in PATH) with stdout and stderr appended to `logPath`.
    // False with `error` set when it cannot be started.
    bool start(const std::vector<std::string>& argv, const std::string& logPath, std::string& error);
    // True while the child has not exited. Reaps it once it has.
    bool running();
    // Waits up to `timeoutMs` for the child to exit; its exit status (as waitpid gives it)
    // goes to `status`. False when it is still running.
    bool waitExit(int timeoutMs, int* status = nullptr);
    // SIGTERM, then SIGKILL after `graceMs`; reaps the child. Does nothing when none runs.
    void stop(int graceMs = 5000);

    pid_t pid() const { return child; }
    int exitStatus() const { return status; }

private:
    pid_t child = -1;
    int status = 0;
};

}  // namespace testsupport
