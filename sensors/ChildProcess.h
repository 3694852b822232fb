#pragma once

#include <sys/types.h>

#include <atomic>
#include <chrono>
#include <optional>
#include <string>
#include <vector>

// A program run as a child whose end is awaited only until a deadline, so that a child this
// process may not signal (pkexec once it runs its program as root) never holds the waiting
// thread longer than the caller chose. Standard input is /dev/null, standard output is
// dropped and the last 64 KiB of standard error are kept.
class ChildProcess {
public:
    ChildProcess() = default;
    // A child still running is left to run: never waited for, never killed.
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // Starts `program`, an absolute path (PATH is never searched), with `arguments`.
    // 0, or the errno of what failed.
    int start(const std::string& program, const std::vector<std::string>& arguments);

    // Waits until the child has ended or `deadline` has passed, reading its standard error
    // meanwhile. True once it has ended.
    bool waitUntil(std::chrono::steady_clock::time_point deadline);

    // Sends `signal` to the child; false when it has ended or may not be signalled. Any
    // thread, while the object lives: the signal goes to this child, never to a process that
    // later got its number.
    bool signal(int signal) const;

    bool ended() const { return ended_; }
    // The status waitpid gave once ended(); none when the child was reaped elsewhere.
    std::optional<int> waitStatus() const { return waitStatus_; }
    const std::string& standardError() const { return standardError_; }

private:
    // Reads what is there; false when nothing was.
    bool readStandardError();

    pid_t pid_ = -1;
    int pidFd_ = -1;
    int errorFd_ = -1;
    std::atomic<bool> ended_{false};
    std::optional<int> waitStatus_;
    std::string standardError_;
};
