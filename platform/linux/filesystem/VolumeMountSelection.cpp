#include "platform/linux/filesystem/VolumeMountSelection.h"

#include <map>
#include <string_view>
#include <utility>

namespace {

constexpr unsigned kLoopMajor = 7;

using DeviceNumber = std::pair<unsigned, unsigned>;

DeviceNumber deviceOf(const MountEntry& mount) {
    return {mount.major, mount.minor};
}

// "fuse.sshfs" is listed in /proc/filesystems as "fuse".
std::string_view baseType(std::string_view fsType) {
    return fsType.substr(0, fsType.find('.'));
}

bool isDeviceNode(std::string_view source) {
    return source.starts_with("/dev/");
}

bool isPseudo(const MountEntry& mount, const std::set<std::string, std::less<>>& nodevTypes) {
    if (nodevTypes.empty()) {
        return !isDeviceNode(mount.source);
    }
    return nodevTypes.contains(mount.fsType) || nodevTypes.contains(baseType(mount.fsType));
}

bool isLoopImage(const MountEntry& mount) {
    const std::string_view type = baseType(mount.fsType);
    return (type == "squashfs" || type == "erofs") &&
           (mount.major == kLoopMajor || std::string_view(mount.source).starts_with("/dev/loop"));
}

}  // namespace

std::vector<MountEntry> selectVolumeMounts(const std::vector<MountEntry>& mounts,
                                           const std::set<std::string, std::less<>>& nodevTypes) {
    std::set<DeviceNumber> rootDevices;
    std::set<std::string, std::less<>> rootSources;
    std::map<std::string_view, std::size_t> lastOnMountPoint;
    for (std::size_t index = 0; index < mounts.size(); ++index) {
        const MountEntry& mount = mounts[index];
        lastOnMountPoint[mount.mountPoint] = index;
        if (mount.mountPoint == "/") {
            rootDevices.insert(deviceOf(mount));
            if (isDeviceNode(mount.source)) {
                rootSources.insert(mount.source);
            }
        }
    }

    std::vector<MountEntry> selected;
    std::map<DeviceNumber, std::size_t> selectedByDevice;
    for (std::size_t index = 0; index < mounts.size(); ++index) {
        const MountEntry& mount = mounts[index];
        if (lastOnMountPoint[mount.mountPoint] != index || mount.mountPoint == "/" ||
            isPseudo(mount, nodevTypes) || isLoopImage(mount) ||
            rootDevices.contains(deviceOf(mount)) || rootSources.contains(mount.source)) {
            continue;
        }
        const auto [found, inserted] = selectedByDevice.emplace(deviceOf(mount), selected.size());
        if (inserted) {
            selected.push_back(mount);
        } else if (selected[found->second].root != "/" && mount.root == "/") {
            selected[found->second] = mount;
        }
    }
    return selected;
}
