#pragma once

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <vector>

// Bytes on disk (allocated blocks, not logical length) of the regular files below `folders`.
// The walk never follows a symbolic link, not even a folder that is one, stays on the file
// system of each folder, does not enter hidden entries (names starting with '.') below the
// folders, and counts a file with several hard links once. It reads through directory
// descriptors, one per level, and does not go deeper than `maximumDepth` levels, so a
// pathological tree cannot use up the process's descriptors. Once `cancelled` is set it stops
// at the next entry and returns what it has counted.
std::int64_t allocatedBytesUnder(const std::vector<std::filesystem::path>& folders,
                                 const std::atomic<bool>& cancelled, int maximumDepth = 128);
