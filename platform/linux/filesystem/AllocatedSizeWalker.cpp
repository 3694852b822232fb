#include "platform/linux/filesystem/AllocatedSizeWalker.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <limits>
#include <string>
#include <unordered_set>

namespace {

constexpr std::int64_t kStatBlockBytes = 512;  // st_blocks counts 512-byte units everywhere
constexpr int kDirectoryFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;

struct FileIdentity {
    dev_t device;
    ino_t inode;
    bool operator==(const FileIdentity&) const = default;
};

struct FileIdentityHash {
    std::size_t operator()(const FileIdentity& id) const {
        return std::hash<std::uint64_t>()(static_cast<std::uint64_t>(id.inode)) ^
               (std::hash<std::uint64_t>()(static_cast<std::uint64_t>(id.device)) << 1);
    }
};

class Walk {
public:
    Walk(const std::atomic<bool>& cancelled, int maximumDepth)
        : cancelled_(cancelled), maximumDepth_(maximumDepth) {}

    void addFolder(const std::filesystem::path& folder) {
        const int fd = ::open(folder.c_str(), kDirectoryFlags);
        if (fd < 0) {
            return;
        }
        struct stat info {};
        if (::fstat(fd, &info) != 0) {
            ::close(fd);
            return;
        }
        device_ = info.st_dev;
        walkDirectory(fd, 1);
    }

    std::int64_t bytes() const { return bytes_; }

private:
    bool isCancelled() const { return cancelled_.load(std::memory_order_relaxed); }

    void addFile(const struct stat& info) {
        if (info.st_nlink > 1 && !seenLinkedFiles_.insert({info.st_dev, info.st_ino}).second) {
            return;
        }
        const std::int64_t size = static_cast<std::int64_t>(info.st_blocks) * kStatBlockBytes;
        bytes_ = size > std::numeric_limits<std::int64_t>::max() - bytes_
                     ? std::numeric_limits<std::int64_t>::max()
                     : bytes_ + size;
    }

    // Takes ownership of `fd`, an open directory on the walk's file system.
    void walkDirectory(int fd, int depth) {
        DIR* directory = ::fdopendir(fd);
        if (directory == nullptr) {
            ::close(fd);
            return;
        }
        std::vector<std::string> subdirectories;
        while (const dirent* entry = ::readdir(directory)) {
            if (isCancelled()) {
                break;
            }
            if (entry->d_name[0] == '.') {
                continue;  // ".", ".." and hidden entries
            }
            if (entry->d_type != DT_REG && entry->d_type != DT_DIR && entry->d_type != DT_UNKNOWN) {
                continue;  // links, devices, sockets, pipes
            }
            struct stat info {};
            if (::fstatat(::dirfd(directory), entry->d_name, &info, AT_SYMLINK_NOFOLLOW) != 0) {
                continue;  // gone since it was listed, or not ours to see
            }
            if (S_ISREG(info.st_mode)) {
                addFile(info);
            } else if (S_ISDIR(info.st_mode) && info.st_dev == device_ && depth < maximumDepth_) {
                subdirectories.emplace_back(entry->d_name);
            }
        }
        for (const std::string& name : subdirectories) {
            if (isCancelled()) {
                break;
            }
            const int child = ::openat(::dirfd(directory), name.c_str(), kDirectoryFlags);
            if (child < 0) {
                continue;
            }
            // Replaced by a mount point since it was looked at: not ours.
            struct stat info {};
            if (::fstat(child, &info) != 0 || info.st_dev != device_) {
                ::close(child);
                continue;
            }
            walkDirectory(child, depth + 1);
        }
        ::closedir(directory);
    }

    const std::atomic<bool>& cancelled_;
    const int maximumDepth_;
    dev_t device_ = 0;
    std::int64_t bytes_ = 0;
    std::unordered_set<FileIdentity, FileIdentityHash> seenLinkedFiles_;
};

}  // namespace

std::int64_t allocatedBytesUnder(const std::vector<std::filesystem::path>& folders,
                                 const std::atomic<bool>& cancelled, int maximumDepth) {
    Walk walk(cancelled, maximumDepth);
    for (const std::filesystem::path& folder : folders) {
        if (cancelled.load(std::memory_order_relaxed)) {
            break;
        }
        walk.addFolder(folder);
    }
    return walk.bytes();
}
