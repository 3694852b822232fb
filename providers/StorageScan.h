#pragma once

#include "core/SampleRecords.h"
#include "platform/StorageSource.h"

#include <atomic>
#include <cstdint>
#include <vector>

// The two lists one background scan produces.
struct StorageScanResult {
    QVector<StorageCategory> categories;
    QVector<VolumeInfo> volumes;
    bool operator==(const StorageScanResult&) const = default;
};

// A category must take more than this to be listed: 1 MiB.
inline constexpr std::int64_t minimumListedCategoryBytes = 1048576;

struct MeasuredCategory {
    QString name;
    QString icon;
    std::int64_t bytes = 0;
};

// Rows above the minimum, largest first; equal sizes keep table order.
QVector<StorageCategory> listedCategories(const std::vector<MeasuredCategory>& rows);

// Volumes with a capacity and a name, never the root file system, largest first.
QVector<VolumeInfo> listedVolumes(const std::vector<VolumeDescription>& volumes);

// Measures every category and lists the volumes. Slow: runs off the main thread. Once
// `cancelled` is set it returns early with whatever it has, which the caller discards.
StorageScanResult scanStorage(StorageSource& source, const std::atomic<bool>& cancelled);
