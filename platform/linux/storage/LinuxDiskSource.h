#pragma once

#include "platform/DiskSource.h"
#include "platform/linux/storage/DiskstatsReader.h"

#include <filesystem>
#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

// The disk sampler's per-poll numbers on Linux: statvfs of the root directory only (never of
// another mount, which could be a dead network share), and /proc/diskstats summed over whole
// physical disks. Which names count is looked up in sysfs only when the set of names in
// /proc/diskstats changes.
class LinuxDiskSource final : public DiskSource {
public:
    explicit LinuxDiskSource(std::filesystem::path root = "/");

    std::optional<VolumeCapacity> startupVolumeCapacity() override;
    std::optional<std::vector<BlockDeviceCounters>> blockDeviceCounters() override;

    // How many times the physical-disk set was worked out; it should not be on every poll.
    int physicalDiskLookups() const { return physicalDiskLookups_; }

private:
    void refreshPhysicalDisks(const std::vector<DiskstatsEntry>& entries);

    std::filesystem::path root_;
    DiskstatsReader diskstats_;
    std::vector<std::string> knownNames_;
    std::unordered_set<std::string> physicalDisks_;
    int physicalDiskLookups_ = 0;
};

std::unique_ptr<DiskSource> makeLinuxDiskSource(const std::filesystem::path& root = "/");
