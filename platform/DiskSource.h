#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// Space on one mounted volume, in bytes. Free counts every unused block, the blocks reserved
// for root included; available counts only what an unprivileged user can still write. Linux
// has no purgeable space, so the space free for important use equals the available space.
struct VolumeCapacity {
    std::int64_t totalBytes = 0;
    std::int64_t freeBytes = 0;
    std::int64_t availableBytes = 0;
    std::int64_t availableForImportantUsageBytes = 0;
    bool operator==(const VolumeCapacity&) const = default;
};

// Cumulative bytes moved by one whole physical disk since boot.
struct BlockDeviceCounters {
    std::string name;
    std::uint64_t bytesRead = 0;
    std::uint64_t bytesWritten = 0;
    bool operator==(const BlockDeviceCounters&) const = default;
};

// What the disk sampler reads on every poll. Both calls are cheap and never block on a
// remote file system. Never throws: what cannot be read is absent.
class DiskSource {
public:
    virtual ~DiskSource() = default;
    virtual std::optional<VolumeCapacity> startupVolumeCapacity() = 0;
    // Absent when the device list itself cannot be read.
    virtual std::optional<std::vector<BlockDeviceCounters>> blockDeviceCounters() = 0;
};
