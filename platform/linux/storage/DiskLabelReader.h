#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <string_view>

// udev's escapes in /dev/disk/by-label names decoded: "\x20" is a space, "\x2f" a slash.
std::string decodeUdevEscapes(std::string_view name);

// File-system labels by kernel device name ("sdb1" -> "STICK"), from the links in
// /dev/disk/by-label under `root`; empty when there are none.
std::map<std::string, std::string, std::less<>> readDiskLabels(
    const std::filesystem::path& root = "/");
