#pragma once

#include "linux_io/KeptOpenFile.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string_view>
#include <vector>

// compr_data_size, the second field of a zram device's mm_stat: bytes of compressed data the
// device holds in memory. Empty when the text has no complete second field.
std::optional<std::uint64_t> parseZramCompressedBytes(std::string_view mmStat);

// Reads <root>/sys/block/zram*/mm_stat of the zram devices present when it is created.
class ZramReader {
public:
    explicit ZramReader(const std::filesystem::path& root = "/");

    // Compressed bytes held by all devices together; a device that cannot be read (not set
    // up, or removed) adds nothing.
    std::uint64_t compressedBytes();

private:
    std::vector<KeptOpenFile> devices_;
};
