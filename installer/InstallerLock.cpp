#include "installer/InstallerLock.h"

#include "installer/RootFolder.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <thread>

namespace {

constexpr auto kRetryInterval = std::chrono::milliseconds(100);

// The lock file, opened without following a link and made root's alone; -1 and errno if not.
int openLockFile(const std::filesystem::path& file) {
    const int fd = ::open(file.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) {
        return -1;
    }
    struct stat status {};
    int error = 0;
    if (::fstat(fd, &status) != 0) {
        error = errno;
    } else if (!S_ISREG(status.st_mode)) {
        error = EINVAL;
    } else if ((status.st_uid != 0 || status.st_gid != 0 || (status.st_mode & 07777) != 0600) &&
               (::fchown(fd, 0, 0) != 0 || ::fchmod(fd, 0600) != 0)) {
        error = errno;
    }
    if (error != 0) {
        ::close(fd);
        errno = error;
        return -1;
    }
    return fd;
}

}  // namespace

InstallerLock::InstallerLock(const std::filesystem::path& file,
                             std::chrono::milliseconds patience) {
    if (const auto why = makeRootFolder(file.parent_path(), 0700)) {
        failure_ = *why;
        return;
    }
    fd_ = openLockFile(file);
    if (fd_ < 0) {
        failure_ = "cannot open the lock " + file.string() + ": " + std::strerror(errno);
        return;
    }
    const auto deadline = std::chrono::steady_clock::now() + patience;
    while (::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
        if (errno == EINTR) {
            continue;
        }
        if (errno != EWOULDBLOCK) {
            failure_ = "cannot lock " + file.string() + ": " + std::strerror(errno);
            return;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            failure_ =
                "another installation still runs after " +
                std::to_string(std::chrono::duration_cast<std::chrono::seconds>(patience).count()) +
                " s (it holds " + file.string() + "); nothing changed, try again later";
            return;
        }
        std::this_thread::sleep_for(kRetryInterval);
    }
}

InstallerLock::~InstallerLock() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
}
