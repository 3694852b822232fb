#include "platform/linux/storage/VolumeCapacityReader.h"

#include <sys/statvfs.h>

#include <cerrno>
#include <cstdint>
#include <limits>

namespace {

// Block counts times block size, held at the largest signed count instead of overflowing.
std::int64_t blocksToBytes(std::uint64_t blocks, std::uint64_t blockSize) {
    constexpr auto kMax = static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max());
    if (blockSize != 0 && blocks > kMax / blockSize) {
        return std::numeric_limits<std::int64_t>::max();
    }
    return static_cast<std::int64_t>(blocks * blockSize);
}

}  // namespace

std::optional<VolumeCapacity> readVolumeCapacity(const std::filesystem::path& path) {
    struct statvfs info {};
    int result = 0;
    do {
        result = ::statvfs(path.c_str(), &info);
    } while (result != 0 && errno == EINTR);
    if (result != 0) {
        return std::nullopt;
    }
    // Old file systems leave the fragment size 0; the block size stands in then.
    const std::uint64_t unit = info.f_frsize != 0 ? info.f_frsize : info.f_bsize;
    const std::int64_t available = blocksToBytes(info.f_bavail, unit);
    return VolumeCapacity{blocksToBytes(info.f_blocks, unit), blocksToBytes(info.f_bfree, unit),
                          available, available};
}
