#include "platform/linux/PreadFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

namespace {
constexpr std::size_t kInitialBufferSize = 4096;
// Far above any counter file; a larger one is not what we think it is.
constexpr std::size_t kMaximumFileSize = std::size_t{16} << 20;
}  // namespace

PreadFile::PreadFile(std::filesystem::path path) : path_(std::move(path)) {}

PreadFile::~PreadFile() {
    close();
}

PreadFile::PreadFile(PreadFile&& other) noexcept
    : path_(std::move(other.path_)),
      fd_(std::exchange(other.fd_, -1)),
      buffer_(std::move(other.buffer_)) {}

PreadFile& PreadFile::operator=(PreadFile&& other) noexcept {
    if (this != &other) {
        close();
        path_ = std::move(other.path_);
        fd_ = std::exchange(other.fd_, -1);
        buffer_ = std::move(other.buffer_);
    }
    return *this;
}

void PreadFile::close() {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
}

std::optional<std::string_view> PreadFile::read() {
    if (fd_ < 0) {
        fd_ = ::open(path_.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd_ < 0) {
            return std::nullopt;
        }
    }
    if (buffer_.empty()) {
        buffer_.resize(kInitialBufferSize);
    }
    // Proc files are generated on each read: a read that fills the buffer may have been cut,
    // so grow and read the whole file again from the start.
    for (;;) {
        const ssize_t count = ::pread(fd_, buffer_.data(), buffer_.size(), 0);
        if (count < 0) {
            if (errno == EINTR) {
                continue;
            }
            close();  // the next read reopens: the file may have been replaced or removed
            return std::nullopt;
        }
        const auto length = static_cast<std::size_t>(count);
        if (length < buffer_.size()) {
            return std::string_view(buffer_.data(), length);
        }
        if (buffer_.size() * 2 > kMaximumFileSize) {
            return std::nullopt;
        }
        buffer_.resize(buffer_.size() * 2);
    }
}
