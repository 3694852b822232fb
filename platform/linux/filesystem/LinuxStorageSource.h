#pragma once

#include "platform/DiskSource.h"
#include "platform/StorageSource.h"

#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>

// Where the storage scan looks.
struct StorageLocations {
    std::filesystem::path home;
    std::filesystem::path configHome;        // holds user-dirs.dirs
    std::filesystem::path systemRoot = "/";  // /opt, /var/lib/flatpak, /proc, /sys, /dev
};

// This user's: $HOME (else the password database), $XDG_CONFIG_HOME (else ~/.config), "/".
StorageLocations currentStorageLocations();

// The storage categories on Linux, in display order: "Applications" (/opt and both flatpak
// installations), "Developer" (toolchain caches), the XDG user folders, and "Library"
// (~/.local/share). A user folder missing from `userDirs` has its usual name in the home; one
// that is the home itself or above it (xdg-user-dirs disables a folder by pointing it at the
// home) is left out, as it would count the whole home.
std::vector<CategoryFolders> linuxCategoryTable(
    const StorageLocations& locations,
    const std::map<std::string, std::filesystem::path, std::less<>>& userDirs);

using VolumeCapacityReader =
    std::function<std::optional<VolumeCapacity>(const std::filesystem::path&)>;

// The background scan's facts on Linux: the category table with user-dirs.dirs read afresh
// on each scan, folder sizes by a walk that never follows links nor leaves a file system, and
// the volumes of /proc/self/mountinfo with their labels, flags and statvfs capacity.
class LinuxStorageSource final : public StorageSource {
public:
    explicit LinuxStorageSource(StorageLocations locations,
                                VolumeCapacityReader capacityOf = defaultCapacityReader());

    std::vector<CategoryFolders> categoryFolders() override;
    std::int64_t allocatedBytes(const std::vector<std::filesystem::path>& folders,
                                const std::atomic<bool>& cancelled) override;
    std::vector<VolumeDescription> mountedVolumes() override;

private:
    static VolumeCapacityReader defaultCapacityReader();

    StorageLocations locations_;
    VolumeCapacityReader capacityOf_;
};
