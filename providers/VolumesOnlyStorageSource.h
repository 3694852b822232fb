#pragma once

#include "platform/StorageSource.h"

#include <memory>

// A storage source that lists the mounted volumes and no category, so a scan never walks the
// home folder: for an exporter, which publishes the volumes but not what fills them.
class VolumesOnlyStorageSource final : public StorageSource {
public:
    explicit VolumesOnlyStorageSource(std::unique_ptr<StorageSource> source)
        : source_(std::move(source)) {}

    std::vector<CategoryFolders> categoryFolders() override { return {}; }
    std::int64_t allocatedBytes(const std::vector<std::filesystem::path>&,
                                const std::atomic<bool>&) override {
        return 0;
    }
    std::vector<VolumeDescription> mountedVolumes() override { return source_->mountedVolumes(); }

private:
    std::unique_ptr<StorageSource> source_;
};
