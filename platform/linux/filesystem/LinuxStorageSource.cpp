#include "platform/linux/filesystem/LinuxStorageSource.h"

#include "platform/linux/filesystem/AllocatedSizeWalker.h"
#include "platform/linux/filesystem/FilesystemTypesReader.h"
#include "platform/linux/filesystem/MountinfoReader.h"
#include "platform/linux/filesystem/UserDirsReader.h"
#include "platform/linux/filesystem/VolumeMountSelection.h"
#include "platform/linux/storage/BlockDeviceTraitsReader.h"
#include "platform/linux/storage/DiskLabelReader.h"
#include "platform/linux/storage/VolumeCapacityReader.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <utility>

namespace {

struct UserFolderRow {
    const char* name;
    const char* icon;
    const char* userDirKey;
    const char* usualName;
};

std::filesystem::path homeFromPasswordDatabase() {
    std::vector<char> buffer(16384);
    passwd entry{};
    passwd* found = nullptr;
    if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 &&
        found != nullptr && found->pw_dir != nullptr) {
        return found->pw_dir;
    }
    return {};
}

std::filesystem::path absoluteFromEnvironment(const char* name) {
    const char* value = std::getenv(name);
    if (value == nullptr || value[0] != '/') {
        return {};  // unset, empty or relative: the XDG rules say ignore it
    }
    return value;
}

// Whether scanning `folder` would take in `home` as a whole.
bool containsHome(const std::filesystem::path& folder, const std::filesystem::path& home) {
    const std::filesystem::path relative = home.lexically_normal().lexically_relative(folder);
    return !relative.empty() && *relative.begin() != "..";
}

std::filesystem::path underRoot(const std::filesystem::path& root,
                                const std::filesystem::path& absolute) {
    return root / absolute.relative_path();
}

QString fromBytes(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

StorageLocations currentStorageLocations() {
    StorageLocations locations;
    locations.home = absoluteFromEnvironment("HOME");
    if (locations.home.empty()) {
        locations.home = homeFromPasswordDatabase();
    }
    locations.configHome = absoluteFromEnvironment("XDG_CONFIG_HOME");
    if (locations.configHome.empty()) {
        locations.configHome = locations.home / ".config";
    }
    return locations;
}

std::vector<CategoryFolders> linuxCategoryTable(
    const StorageLocations& locations,
    const std::map<std::string, std::filesystem::path, std::less<>>& userDirs) {
    const std::filesystem::path& home = locations.home;
    const std::filesystem::path& system = locations.systemRoot;
    // Without a home folder only the system's folders are measured, never a relative path.
    const bool haveHome = home.is_absolute();
    auto inHome = [&](std::initializer_list<const char*> names) {
        std::vector<std::filesystem::path> folders;
        for (const char* name : names) {
            if (haveHome) {
                folders.push_back(home / name);
            }
        }
        return folders;
    };

    std::vector<CategoryFolders> table;
    CategoryFolders applications{QStringLiteral("Applications"),
                                 QStringLiteral("app.badge"),
                                 {system / "opt", system / "var/lib/flatpak"}};
    for (auto& folder : inHome({".local/share/flatpak"})) {
        applications.folders.push_back(std::move(folder));
    }
    table.push_back(std::move(applications));
    table.push_back({QStringLiteral("Developer"), QStringLiteral("hammer"),
                     inHome({".cache", ".cargo", ".rustup", ".npm", ".m2", ".gradle"})});

    constexpr UserFolderRow kUserFolders[] = {
        {"Downloads", "arrow.down.circle", "DOWNLOAD", "Downloads"},
        {"Documents", "doc", "DOCUMENTS", "Documents"},
        {"Desktop", "menubar.dock.rectangle", "DESKTOP", "Desktop"},
        {"Photos", "photo", "PICTURES", "Pictures"},
        {"Music", "music.note", "MUSIC", "Music"},
        {"Movies", "film", "VIDEOS", "Videos"},
    };
    for (const UserFolderRow& row : kUserFolders) {
        const auto configured = userDirs.find(row.userDirKey);
        const std::filesystem::path folder =
            configured != userDirs.end() ? configured->second : home / row.usualName;
        CategoryFolders category{QString::fromLatin1(row.name), QString::fromLatin1(row.icon), {}};
        if (haveHome && !containsHome(folder, home)) {
            category.folders.push_back(folder);
        }
        table.push_back(std::move(category));
    }

    table.push_back(
        {QStringLiteral("Library"), QStringLiteral("building.columns"), inHome({".local/share"})});
    return table;
}

LinuxStorageSource::LinuxStorageSource(StorageLocations locations, VolumeCapacityReader capacityOf)
    : locations_(std::move(locations)), capacityOf_(std::move(capacityOf)) {}

VolumeCapacityReader LinuxStorageSource::defaultCapacityReader() {
    return [](const std::filesystem::path& path) { return readVolumeCapacity(path); };
}

std::vector<CategoryFolders> LinuxStorageSource::categoryFolders() {
    return linuxCategoryTable(locations_, readUserDirs(locations_.configHome, locations_.home));
}

std::int64_t LinuxStorageSource::allocatedBytes(const std::vector<std::filesystem::path>& folders,
                                                const std::atomic<bool>& cancelled) {
    return allocatedBytesUnder(folders, cancelled);
}

std::vector<VolumeDescription> LinuxStorageSource::mountedVolumes() {
    const std::filesystem::path& root = locations_.systemRoot;
    const std::vector<MountEntry> mounts =
        selectVolumeMounts(readMountinfo(root), readNodevFilesystems(root));
    if (mounts.empty()) {
        return {};
    }
    const auto labels = readDiskLabels(root);
    std::vector<VolumeDescription> volumes;
    for (const MountEntry& mount : mounts) {
        VolumeDescription volume;
        volume.path = fromBytes(mount.mountPoint);
        volume.isRootFileSystem = mount.mountPoint == "/";

        const auto traits = readBlockDeviceTraits(root, mount.major, mount.minor);
        std::string kernelName = traits ? traits->kernelName : std::string();
        if (kernelName.empty() && mount.source.starts_with("/dev/")) {
            kernelName = std::filesystem::path(mount.source).filename().string();
        }
        const auto label = labels.find(kernelName);
        volume.name = label != labels.end() && !label->second.empty()
                          ? fromBytes(label->second)
                          : fromBytes(std::filesystem::path(mount.mountPoint).filename().string());
        if (traits) {
            const bool removable = traits->removableMedia || traits->onUsbBus;
            volume.isRemovable = removable;
            volume.isInternal = !removable;
        }
        if (const auto capacity = capacityOf_(underRoot(root, mount.mountPoint))) {
            volume.totalBytes = capacity->totalBytes;
            volume.availableForImportantUsageBytes = capacity->availableForImportantUsageBytes;
        }
        volumes.push_back(std::move(volume));
    }
    return volumes;
}
