#include "linux_io/FileReplacement.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace {

int writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return written < 0 ? errno : EIO;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return 0;
}

int syncFolder(const std::filesystem::path& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        return errno;
    }
    const int result = ::fsync(fd) == 0 ? 0 : errno;
    ::close(fd);
    return result;
}

}  // namespace

int replaceFileAtomically(const std::filesystem::path& target, std::string_view bytes,
                          const FileOwnership& ownership) {
    const std::filesystem::path folder = target.parent_path();
    const std::filesystem::path partial = folder / ("." + target.filename().string() + ".new");
    if (::unlink(partial.c_str()) != 0 && errno != ENOENT) {
        return errno;
    }
    // Only the writer may open the partial file until it is complete.
    const int fd =
        ::open(partial.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) {
        return errno;
    }
    int result = writeAll(fd, bytes);
    if (result == 0 && ::fchown(fd, ownership.owner, ownership.group) != 0) {
        result = errno;
    }
    // After chown, which clears the set-id bits.
    if (result == 0 && ::fchmod(fd, ownership.mode) != 0) {
        result = errno;
    }
    if (result == 0 && ::fsync(fd) != 0) {
        result = errno;
    }
    if (::close(fd) != 0 && result == 0) {
        result = errno;
    }
    if (result == 0 && ::rename(partial.c_str(), target.c_str()) != 0) {
        result = errno;
    }
    if (result != 0) {
        ::unlink(partial.c_str());
        return result;
    }
    return syncFolder(folder);
}
