#include "platform/linux/PreadFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

PreadFile::PreadFile(std::string path) : path_(std::move(path)), buffer_(4096) {}

PreadFile::~PreadFile() {
    close();
}

void PreadFile::close() {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
}

std::string_view PreadFile::readAll() {
    if (fd_ < 0) {
        fd_ = ::open(path_.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd_ < 0) {
            return {};
        }
    }
    std::size_t filled = 0;
    for (;;) {
        if (filled == buffer_.size()) {
            buffer_.resize(buffer_.size() * 2);
        }
        const ssize_t got = ::pread(fd_, buffer_.data() + filled, buffer_.size() - filled,
                                    static_cast<off_t>(filled));
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            close();
            return {};
        }
        if (got == 0) {
            break;
        }
        filled += static_cast<std::size_t>(got);
    }
    return {buffer_.data(), filled};
}
