#pragma once

#include "platform/linux/filesystem/MountinfoReader.h"

#include <set>
#include <string>
#include <vector>

// The mounts that are volumes of their own, in mount order: one per device, visible (the last
// mount on a mount point hides earlier ones), never the root file system or anything on the
// root's device (bind mounts, btrfs subvolumes), never a pseudo file system (the `nodev` types;
// when those are unknown, only mounts of a /dev node count), never a squashfs or erofs image
// on a loop device (snaps). A device mounted several times is listed at the mount of its
// whole file system rather than at a bind mount of one of its folders.
std::vector<MountEntry> selectVolumeMounts(const std::vector<MountEntry>& mounts,
                                           const std::set<std::string, std::less<>>& nodevTypes);
