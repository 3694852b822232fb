#pragma once

#include "linux_io/KeptOpenFile.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// One block device's line of /proc/diskstats: its name and the bytes it has moved.
struct DiskstatsEntry {
    std::string name;
    std::uint64_t bytesRead = 0;
    std::uint64_t bytesWritten = 0;
    bool operator==(const DiskstatsEntry&) const = default;
};

// Every device line of /proc/diskstats text. The kernel counts in 512-byte sectors whatever the
// device's block size. Lines with fewer than the 14 fields every kernel since 2.6 writes, or
// with a field that is not a number, are left out.
std::vector<DiskstatsEntry> parseDiskstats(std::string_view text);

// /proc/diskstats under `root`, read through a kept descriptor.
class DiskstatsReader {
public:
    explicit DiskstatsReader(const std::filesystem::path& root = "/");
    // Absent when the file cannot be read.
    std::optional<std::vector<DiskstatsEntry>> read();

private:
    KeptOpenFile file_;
};
