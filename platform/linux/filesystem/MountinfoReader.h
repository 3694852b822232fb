#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

// One line of /proc/self/mountinfo. Paths come with the kernel's octal escapes (\040 for a
// space, \011, \012, \134) decoded, so they are the real bytes of the path.
struct MountEntry {
    int mountId = 0;
    int parentId = 0;
    unsigned major = 0;
    unsigned minor = 0;
    std::string root;        // the directory of the file system mounted here ("/" unless a bind)
    std::string mountPoint;  // where it is mounted
    std::string fsType;      // with any subtype, as "fuse.sshfs"
    std::string source;      // the device or server, as "/dev/sda1"
    bool operator==(const MountEntry&) const = default;
};

// The kernel's octal escapes decoded; a backslash not followed by three octal digits stays.
std::string decodeMountEscapes(std::string_view text);

// Every well-formed line of mountinfo text, in mount order; damaged lines are left out.
std::vector<MountEntry> parseMountinfo(std::string_view text);

// /proc/self/mountinfo under `root`; empty when it cannot be read.
std::vector<MountEntry> readMountinfo(const std::filesystem::path& root = "/");
