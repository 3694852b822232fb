#include "recording/AppendOnlyFile.h"

#include <QFile>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

namespace {

constexpr mode_t kNewFileMode = 0666;  // narrowed by the user's umask

}  // namespace

AppendOnlyFile::AppendOnlyFile(AppendOnlyFile&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), size_(other.size_), path_(std::move(other.path_)) {}

AppendOnlyFile& AppendOnlyFile::operator=(AppendOnlyFile&& other) noexcept {
    if (this != &other) {
        closeDescriptor();
        fd_ = std::exchange(other.fd_, -1);
        size_ = other.size_;
        path_ = std::move(other.path_);
    }
    return *this;
}

AppendOnlyFile::~AppendOnlyFile() {
    closeDescriptor();
}

FileResult AppendOnlyFile::create(const QString& path, const QByteArray& firstLine) {
    closeDescriptor();
    path_ = path;
    const QByteArray nativePath = QFile::encodeName(path);
    bool created = true;
    fd_ = ::open(nativePath.constData(), O_WRONLY | O_APPEND | O_CREAT | O_EXCL | O_CLOEXEC,
                 kNewFileMode);
    if (fd_ < 0 && errno == EEXIST) {
        created = false;
        fd_ = ::open(nativePath.constData(), O_WRONLY | O_APPEND | O_TRUNC | O_CLOEXEC);
    }
    if (fd_ < 0) {
        return {QStringLiteral("cannot create %1: %2").arg(path, qt_error_string(errno))};
    }
    size_ = 0;
    FileResult written = append(firstLine);
    if (!written.ok() && created) {
        ::unlink(nativePath.constData());
    }
    return written;
}

FileResult AppendOnlyFile::append(const QByteArray& line) {
    if (fd_ < 0) {
        return {QStringLiteral("%1 is not open for writing").arg(path_)};
    }
    qsizetype done = 0;
    while (done < line.size()) {
        const ssize_t written =
            ::write(fd_, line.constData() + done, static_cast<size_t>(line.size() - done));
        if (written > 0) {
            done += written;
        } else if (written < 0 && errno == EINTR) {
            continue;
        } else {
            const int error = written < 0 ? errno : ENOSPC;  // no progress: the disk is full
            if (done > 0) {
                // Take back the part that did fit, so the file ends with a whole line.
                [[maybe_unused]] const int cut = ::ftruncate(fd_, size_);
            }
            return failure(QStringLiteral("writing"), error);
        }
    }
    size_ += line.size();
    return {};
}

FileResult AppendOnlyFile::close() {
    if (fd_ < 0) {
        return {};
    }
    // Devices and pipes cannot be synchronised and need not be.
    if (::fdatasync(fd_) != 0 && errno != EINVAL && errno != EROFS) {
        return failure(QStringLiteral("saving"), errno);
    }
    const int fd = std::exchange(fd_, -1);
    if (::close(fd) != 0 && errno != EINTR) {
        return {QStringLiteral("saving %1 failed: %2").arg(path_, qt_error_string(errno))};
    }
    return {};
}

FileResult AppendOnlyFile::failure(const QString& action, int error) {
    closeDescriptor();
    return {QStringLiteral("%1 %2 failed: %3").arg(action, path_, qt_error_string(error))};
}

void AppendOnlyFile::closeDescriptor() {
    if (fd_ >= 0) {
        ::close(std::exchange(fd_, -1));
    }
}
