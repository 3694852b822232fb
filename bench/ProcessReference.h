#pragma once

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <unordered_map>
#include <vector>

// Children of this process that sleep on a pipe until released, so the process table holds
// that many more of the user's sleeping processes.
class SleepingChildren {
public:
    explicit SleepingChildren(int count) {
        int ends[2];
        if (::pipe2(ends, O_CLOEXEC) != 0) {
            std::abort();
        }
        for (int i = 0; i < count; ++i) {
            const pid_t child = ::fork();
            if (child == 0) {
                ::close(ends[1]);
                char byte;
                while (::read(ends[0], &byte, 1) < 0) {
                }
                ::_exit(0);
            }
            if (child > 0) {
                children_.push_back(child);
            }
        }
        ::close(ends[0]);
        release_ = ends[1];
    }
    ~SleepingChildren() {
        ::close(release_);  // every child reads the end of the pipe and exits
        for (const pid_t child : children_) {
            ::waitpid(child, nullptr, 0);
        }
    }
    SleepingChildren(const SleepingChildren&) = delete;
    SleepingChildren& operator=(const SleepingChildren&) = delete;

private:
    std::vector<pid_t> children_;
    int release_ = -1;
};

// The physical limit of one scan: list /proc, check each process's owner with fstatat, and
// read the stat file of each of the user's processes with pread on a descriptor kept open,
// parsing no further than summing digits.
class ReferenceScan {
public:
    ReferenceScan() : directory_(::opendir("/proc")), buffer_(4096) {}
    ~ReferenceScan() {
        for (const auto& [pid, descriptor] : descriptors_) {
            ::close(descriptor);
        }
        ::closedir(directory_);
    }
    ReferenceScan(const ReferenceScan&) = delete;
    ReferenceScan& operator=(const ReferenceScan&) = delete;

    std::uint64_t run() {
        std::uint64_t checksum = 0;
        ::rewinddir(directory_);
        const int proc = ::dirfd(directory_);
        while (const dirent* entry = ::readdir(directory_)) {
            if (entry->d_name[0] < '1' || entry->d_name[0] > '9') {
                continue;
            }
            struct stat owner {};
            if (::fstatat(proc, entry->d_name, &owner, 0) != 0 || owner.st_uid != uid_) {
                continue;
            }
            const int pid = std::atoi(entry->d_name);
            auto found = descriptors_.find(pid);
            if (found == descriptors_.end()) {
                const std::string path = std::string(entry->d_name) + "/stat";
                found = descriptors_.emplace(pid, ::openat(proc, path.c_str(), O_RDONLY)).first;
            }
            const ssize_t length = ::pread(found->second, buffer_.data(), buffer_.size(), 0);
            for (ssize_t i = 0; i < length; ++i) {
                const char c = buffer_[static_cast<std::size_t>(i)];
                checksum += c >= '0' && c <= '9' ? static_cast<std::uint64_t>(c - '0') : 0;
            }
        }
        return checksum;
    }
    std::size_t processes() const { return descriptors_.size(); }

private:
    DIR* directory_;
    std::vector<char> buffer_;
    std::unordered_map<int, int> descriptors_;
    uid_t uid_ = ::getuid();
};
