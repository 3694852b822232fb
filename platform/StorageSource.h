#pragma once

#include <QString>

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <vector>

// One row of the storage-category table: the folders whose files make up the category.
struct CategoryFolders {
    QString name;
    QString icon;
    std::vector<std::filesystem::path> folders;
};

// What the platform says about one mounted volume; absent values were not available.
struct VolumeDescription {
    QString path;
    QString name;  // empty when the volume has none
    std::optional<std::int64_t> totalBytes;
    std::optional<std::int64_t> availableForImportantUsageBytes;
    std::optional<bool> isInternal;
    std::optional<bool> isRemovable;
    std::optional<bool> isRootFileSystem;
};

// The slow facts behind the storage lists. Called on a background thread, one call at a
// time; implementations must not touch anything the main thread owns.
class StorageSource {
public:
    virtual ~StorageSource() = default;
    // The category table in display order.
    virtual std::vector<CategoryFolders> categoryFolders() = 0;
    // Bytes allocated to the regular files under `folders`; stops early, with a partial
    // figure, once `cancelled` is set.
    virtual std::int64_t allocatedBytes(const std::vector<std::filesystem::path>& folders,
                                        const std::atomic<bool>& cancelled) = 0;
    // The mounted volumes other than hidden ones (pseudo file systems, disk images).
    virtual std::vector<VolumeDescription> mountedVolumes() = 0;
};
