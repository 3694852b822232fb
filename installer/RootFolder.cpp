#include "installer/RootFolder.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <system_error>

std::optional<std::string> makeRootFolder(const std::filesystem::path& folder, mode_t mode) {
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error) {
        return "cannot create " + folder.string() + ": " + error.message();
    }
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        return "cannot open the folder " + folder.string() + ": " + std::strerror(errno);
    }
    struct stat status {};
    bool ok = ::fstat(fd, &status) == 0;
    if (ok && (status.st_uid != 0 || status.st_gid != 0 || (status.st_mode & 07777) != mode)) {
        ok = ::fchown(fd, 0, 0) == 0 && ::fchmod(fd, mode) == 0;
    }
    const int lastError = errno;
    ::close(fd);
    if (!ok) {
        return "cannot give " + folder.string() + " to root: " + std::strerror(lastError);
    }
    return std::nullopt;
}
