#include "linux_io/KeptOpenFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

namespace {

constexpr std::size_t kInitialBufferSize = 4096;
// No counter file comes near this; the bound keeps a runaway file from taking memory.
constexpr std::size_t kMaxBufferSize = 1 << 20;

}  // namespace

KeptOpenFile::KeptOpenFile(std::string path) : path_(std::move(path)) {}

KeptOpenFile::~KeptOpenFile() {
    close();
}

KeptOpenFile::KeptOpenFile(KeptOpenFile&& other) noexcept
    : path_(std::move(other.path_)),
      fd_(std::exchange(other.fd_, -1)),
      buffer_(std::move(other.buffer_)) {}

KeptOpenFile& KeptOpenFile::operator=(KeptOpenFile&& other) noexcept {
    if (this != &other) {
        close();
        path_ = std::move(other.path_);
        fd_ = std::exchange(other.fd_, -1);
        buffer_ = std::move(other.buffer_);
    }
    return *this;
}

void KeptOpenFile::close() {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
}

std::optional<std::string_view> KeptOpenFile::read() {
    if (fd_ < 0) {
        fd_ = ::open(path_.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd_ < 0) {
            return std::nullopt;
        }
    }
    if (buffer_.empty()) {
        buffer_.resize(kInitialBufferSize);
    }
    // Kernel files may hand out their content in pieces, so read on until end of file.
    std::size_t filled = 0;
    while (true) {
        if (filled == buffer_.size()) {
            if (buffer_.size() >= kMaxBufferSize) {
                break;
            }
            buffer_.resize(buffer_.size() * 2);
        }
        const ssize_t got = ::pread(fd_, buffer_.data() + filled, buffer_.size() - filled,
                                    static_cast<off_t>(filled));
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            // A descriptor that went bad (device removed, file replaced) is opened afresh.
            close();
            return std::nullopt;
        }
        if (got == 0) {
            break;
        }
        filled += static_cast<std::size_t>(got);
    }
    return std::string_view(buffer_.data(), filled);
}
