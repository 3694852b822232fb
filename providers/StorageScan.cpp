#include "providers/StorageScan.h"

#include <algorithm>

QVector<StorageCategory> listedCategories(const std::vector<MeasuredCategory>& rows) {
    QVector<StorageCategory> categories;
    for (const MeasuredCategory& row : rows) {
        if (row.bytes > minimumListedCategoryBytes) {
            categories.append({row.name, row.name, row.bytes, row.icon});
        }
    }
    std::stable_sort(
        categories.begin(), categories.end(),
        [](const StorageCategory& a, const StorageCategory& b) { return a.bytes > b.bytes; });
    return categories;
}

QVector<VolumeInfo> listedVolumes(const std::vector<VolumeDescription>& volumes) {
    QVector<VolumeInfo> listed;
    for (const VolumeDescription& volume : volumes) {
        if (!volume.totalBytes || *volume.totalBytes < 1 || volume.name.isEmpty() ||
            volume.isRootFileSystem.value_or(false)) {
            continue;
        }
        listed.append({volume.path, volume.name, *volume.totalBytes,
                       volume.availableForImportantUsageBytes.value_or(0),
                       volume.isInternal.value_or(true), volume.isRemovable.value_or(false)});
    }
    std::stable_sort(listed.begin(), listed.end(), [](const VolumeInfo& a, const VolumeInfo& b) {
        return a.totalBytes > b.totalBytes;
    });
    return listed;
}

StorageScanResult scanStorage(StorageSource& source, const std::atomic<bool>& cancelled) {
    std::vector<MeasuredCategory> measured;
    for (CategoryFolders& row : source.categoryFolders()) {
        if (cancelled.load(std::memory_order_relaxed)) {
            return {};
        }
        const std::int64_t bytes = source.allocatedBytes(row.folders, cancelled);
        measured.push_back({std::move(row.name), std::move(row.icon), bytes});
    }
    if (cancelled.load(std::memory_order_relaxed)) {
        return {};
    }
    return {listedCategories(measured), listedVolumes(source.mountedVolumes())};
}
