#include "installer/BundledHelper.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {

bool writableByOthers(const struct stat& status) {
    return (status.st_mode & (S_IWGRP | S_IWOTH)) != 0;
}

BundledHelper refused(const std::string& why) {
    return {std::nullopt, why};
}

// The whole file behind `fd`, or nothing with errno set.
std::optional<std::string> readAll(int fd) {
    std::string bytes;
    char buffer[65536];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got == 0) {
            return bytes;
        }
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            return std::nullopt;
        }
        bytes.append(buffer, static_cast<std::size_t>(got));
    }
}

// Reads the helper named `name` in the open folder `folderFd`.
BundledHelper readFrom(int folderFd, const std::filesystem::path& helper) {
    const int fd = ::openat(folderFd, helper.filename().c_str(),
                            O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return refused(errno == ELOOP ? helper.string() + " is a symbolic link; refused"
                                      : "there is no helper to install at " + helper.string() +
                                            ": " + std::strerror(errno));
    }
    struct stat status {};
    BundledHelper result;
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode) || status.st_size == 0) {
        result = refused("there is no helper to install at " + helper.string());
    } else if (status.st_uid != 0) {
        result = refused(helper.string() + " is not root's; refused");
    } else if (writableByOthers(status)) {
        result = refused(helper.string() + " is writable by others than its owner; refused");
    } else if (auto bytes = readAll(fd)) {
        result.bytes = std::move(bytes);
    } else {
        result = refused("cannot read " + helper.string() + ": " + std::strerror(errno));
    }
    ::close(fd);
    return result;
}

}  // namespace

BundledHelper readBundledHelper(const std::filesystem::path& helper) {
    const std::filesystem::path folder = helper.parent_path();
    const int folderFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (folderFd < 0) {
        return refused("cannot open the helper's folder " + folder.string() + ": " +
                       std::strerror(errno));
    }
    // Whoever may write the folder may swap the helper for another file between any check
    // and the copy.
    struct stat status {};
    BundledHelper result;
    if (::fstat(folderFd, &status) != 0) {
        result = refused("cannot read the folder " + folder.string() + ": " + std::strerror(errno));
    } else if (status.st_uid != 0 || writableByOthers(status)) {
        result = refused("the helper's folder " + folder.string() +
                         " is not root's alone (others may change what it holds); refused");
    } else {
        result = readFrom(folderFd, helper);
    }
    ::close(folderFd);
    return result;
}
