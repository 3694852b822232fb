#pragma once

#include <filesystem>
#include <set>
#include <string>
#include <string_view>

// The file-system types of /proc/filesystems marked "nodev": those not backed by a block
// device (proc, tmpfs, cgroup, overlay, fuse, nfs, cifs ...), never shown as volumes.
std::set<std::string, std::less<>> parseNodevFilesystems(std::string_view text);

// /proc/filesystems under `root`; empty when it cannot be read.
std::set<std::string, std::less<>> readNodevFilesystems(const std::filesystem::path& root = "/");
