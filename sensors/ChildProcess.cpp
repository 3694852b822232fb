#include "sensors/ChildProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace {

constexpr std::size_t kKeptErrorBytes = 64 * 1024;

// Through syscall(): this glibc's <sys/pidfd.h> declares them without C linkage.
int openPidFd(pid_t pid) {
    return static_cast<int>(::syscall(SYS_pidfd_open, pid, 0));
}

bool sendSignal(int pidFd, int signal) {
    return ::syscall(SYS_pidfd_send_signal, pidFd, signal, nullptr, 0) == 0;
}

void closeIfOpen(int& fd) {
    if (fd >= 0) {
        ::close(fd);
        fd = -1;
    }
}

}  // namespace

ChildProcess::~ChildProcess() {
    closeIfOpen(pidFd_);
    closeIfOpen(errorFd_);
}

int ChildProcess::start(const std::string& program, const std::vector<std::string>& arguments) {
    int errorPipe[2];
    if (::pipe2(errorPipe, O_CLOEXEC) != 0) {
        return errno;
    }
    // Read without blocking: a program the child started may keep the pipe open after the
    // child has ended.
    ::fcntl(errorPipe[0], F_SETFL, O_NONBLOCK);
    posix_spawn_file_actions_t actions;
    ::posix_spawn_file_actions_init(&actions);
    ::posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    ::posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    ::posix_spawn_file_actions_adddup2(&actions, errorPipe[1], STDERR_FILENO);
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const auto& argument : arguments) {
        argv.push_back(const_cast<char*>(argument.c_str()));
    }
    argv.push_back(nullptr);
    const int spawned =
        ::posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv.data(), environ);
    ::posix_spawn_file_actions_destroy(&actions);
    ::close(errorPipe[1]);
    if (spawned != 0) {
        ::close(errorPipe[0]);
        pid_ = -1;
        return spawned;
    }
    errorFd_ = errorPipe[0];
    // Only this object reaps the child, so its number is still its own here.
    pidFd_ = openPidFd(pid_);
    return 0;
}

bool ChildProcess::readStandardError() {
    char buffer[4096];
    for (;;) {
        const ssize_t got = ::read(errorFd_, buffer, sizeof buffer);
        if (got > 0) {
            standardError_.append(buffer, static_cast<std::size_t>(got));
            if (standardError_.size() > kKeptErrorBytes) {
                standardError_.erase(0, standardError_.size() - kKeptErrorBytes);
            }
            return true;
        }
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got == 0 || errno != EAGAIN) {
            closeIfOpen(errorFd_);  // the end, or an error: nothing more will come
        }
        return false;
    }
}

bool ChildProcess::waitUntil(std::chrono::steady_clock::time_point deadline) {
    while (!ended_ && pid_ > 0) {
        int status = 0;
        const pid_t reaped = ::waitpid(pid_, &status, WNOHANG);
        if (reaped == pid_ || (reaped < 0 && errno != EINTR)) {
            if (reaped == pid_) {
                waitStatus_ = status;
            }
            ended_ = true;
            break;
        }
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            return false;
        }
        // Wakes when the child ends (its pidfd) or writes; without a pidfd, every 50 ms.
        pollfd watched[2];
        nfds_t count = 0;
        for (const int fd : {pidFd_, errorFd_}) {
            if (fd >= 0) {
                watched[count++] = pollfd{fd, POLLIN, 0};
            }
        }
        const long limit = pidFd_ >= 0 ? left.count() : std::min<long>(left.count(), 50);
        if (::poll(watched, count, static_cast<int>(limit)) > 0 && errorFd_ >= 0 &&
            watched[count - 1].fd == errorFd_ && watched[count - 1].revents != 0) {
            readStandardError();
        }
    }
    while (errorFd_ >= 0 && readStandardError()) {  // what the child wrote before it ended
    }
    return ended_;
}

bool ChildProcess::signal(int signal) const {
    if (pid_ <= 0 || ended_) {
        return false;
    }
    return pidFd_ >= 0 ? sendSignal(pidFd_, signal) : ::kill(pid_, signal) == 0;
}
