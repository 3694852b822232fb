#pragma once

#include <filesystem>
#include <string_view>

// Whether a /proc/diskstats name is a whole physical disk, the only devices whose counters
// add up without counting a byte twice. Partitions are not in /sys/block; device-mapper and
// md arrays pass their traffic on to member disks that already count; loop, ram and zram
// devices never reach a disk; the hidden paths of NVMe multipath (nvme0c0n1) repeat their
// namespace. What remains needs a `device` link in /sys/block/NAME and must not be hidden.
bool isPhysicalDisk(const std::filesystem::path& root, std::string_view name);
