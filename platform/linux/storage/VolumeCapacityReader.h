#pragma once

#include "platform/DiskSource.h"

#include <filesystem>
#include <optional>

// The capacity of the file system holding `path`, by statvfs: total = blocks, free = free
// blocks, available = blocks free to unprivileged users, each times the fragment size. Absent when
// statvfs fails. statvfs can hang on an unreachable network file system: call it only on paths
// known to be local, or off the main thread.
std::optional<VolumeCapacity> readVolumeCapacity(const std::filesystem::path& path);
