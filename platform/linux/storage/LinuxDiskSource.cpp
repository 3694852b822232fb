#include "platform/linux/storage/LinuxDiskSource.h"

#include "platform/linux/storage/PhysicalDiskFilter.h"
#include "platform/linux/storage/VolumeCapacityReader.h"

#include <algorithm>
#include <utility>

LinuxDiskSource::LinuxDiskSource(std::filesystem::path root)
    : root_(std::move(root)), diskstats_(root_) {}

std::optional<VolumeCapacity> LinuxDiskSource::startupVolumeCapacity() {
    return readVolumeCapacity(root_);
}

std::optional<std::vector<BlockDeviceCounters>> LinuxDiskSource::blockDeviceCounters() {
    auto entries = diskstats_.read();
    if (!entries) {
        return std::nullopt;
    }
    refreshPhysicalDisks(*entries);
    std::vector<BlockDeviceCounters> counters;
    for (DiskstatsEntry& entry : *entries) {
        if (physicalDisks_.contains(entry.name)) {
            counters.push_back({std::move(entry.name), entry.bytesRead, entry.bytesWritten});
        }
    }
    return counters;
}

void LinuxDiskSource::refreshPhysicalDisks(const std::vector<DiskstatsEntry>& entries) {
    const bool sameNames = std::equal(
        entries.begin(), entries.end(), knownNames_.begin(), knownNames_.end(),
        [](const DiskstatsEntry& entry, const std::string& name) { return entry.name == name; });
    if (sameNames && physicalDiskLookups_ > 0) {
        return;
    }
    ++physicalDiskLookups_;
    knownNames_.clear();
    physicalDisks_.clear();
    for (const DiskstatsEntry& entry : entries) {
        knownNames_.push_back(entry.name);
        if (isPhysicalDisk(root_, entry.name)) {
            physicalDisks_.insert(entry.name);
        }
    }
}

std::unique_ptr<DiskSource> makeLinuxDiskSource(const std::filesystem::path& root) {
    return std::make_unique<LinuxDiskSource>(root);
}
