#include "platform/linux/process/ProcessStatFiles.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <string>

namespace {

constexpr std::size_t kBufferSize = 4096;  // a stat line is well under 1 KiB
constexpr std::size_t kMaxBufferSize = 64 * 1024;
constexpr std::size_t kMostKeptDescriptors = 4096;

}  // namespace

ProcessStatFiles::ProcessStatFiles(std::size_t keepLimit)
    : buffer_(kBufferSize), keepLimit_(keepLimit) {
    kept_.reserve(std::min<std::size_t>(keepLimit, 1024));
}

ProcessStatFiles::~ProcessStatFiles() {
    for (const auto& [pid, kept] : kept_) {
        ::close(kept.descriptor);
    }
}

void ProcessStatFiles::beginScan() {
    ++scan_;
}

int ProcessStatFiles::openStat(int procDirectory, const char* pidName) {
    char path[32];
    const int length = std::snprintf(path, sizeof path, "%s/stat", pidName);
    if (length <= 0 || static_cast<std::size_t>(length) >= sizeof path) {
        return -1;
    }
    return ::openat(procDirectory, path, O_RDONLY | O_CLOEXEC);
}

std::optional<std::string_view> ProcessStatFiles::readAll(int descriptor) {
    std::size_t filled = 0;
    while (true) {
        if (filled == buffer_.size()) {
            if (buffer_.size() >= kMaxBufferSize) {
                return std::nullopt;  // no stat line is this long
            }
            buffer_.resize(buffer_.size() * 2);
        }
        const ssize_t got = ::pread(descriptor, buffer_.data() + filled, buffer_.size() - filled,
                                    static_cast<off_t>(filled));
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            return std::nullopt;  // ESRCH: the process has been reaped
        }
        const std::size_t asked = buffer_.size() - filled;
        filled += static_cast<std::size_t>(got);
        // The kernel writes a process's stat line whole in one read: a read that leaves room
        // in the buffer has reached the end, and asking again would cost a second call for
        // nothing, for every process in every scan.
        if (static_cast<std::size_t>(got) < asked) {
            break;
        }
    }
    if (filled == 0) {
        return std::nullopt;
    }
    return std::string_view(buffer_.data(), filled);
}

void ProcessStatFiles::forget(std::int32_t pid) {
    const auto found = kept_.find(pid);
    if (found != kept_.end()) {
        ::close(found->second.descriptor);
        kept_.erase(found);
    }
}

std::optional<std::string_view> ProcessStatFiles::read(int procDirectory, std::int32_t pid,
                                                       const char* pidName, ino_t directoryInode) {
    const auto found = kept_.find(pid);
    if (found != kept_.end()) {
        if (found->second.directoryInode == directoryInode) {
            if (auto text = readAll(found->second.descriptor)) {
                found->second.lastScan = scan_;
                return text;
            }
        }
        forget(pid);  // a new process under an old pid, or one that has gone
    }

    const int descriptor = openStat(procDirectory, pidName);
    if (descriptor < 0) {
        return std::nullopt;
    }
    auto text = readAll(descriptor);
    if (text && kept_.size() < keepLimit_) {
        kept_.emplace(pid, Kept{descriptor, directoryInode, scan_});
    } else {
        ::close(descriptor);
    }
    return text;
}

void ProcessStatFiles::endScan() {
    for (auto it = kept_.begin(); it != kept_.end();) {
        if (it->second.lastScan != scan_) {
            ::close(it->second.descriptor);
            it = kept_.erase(it);
        } else {
            ++it;
        }
    }
}

std::size_t defaultStatKeepLimit() {
    rlimit limit{};
    if (::getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY) {
        return kMostKeptDescriptors;
    }
    return std::min<std::size_t>(kMostKeptDescriptors,
                                 static_cast<std::size_t>(limit.rlim_cur / 4));
}
