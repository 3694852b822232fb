#pragma once

#include "linux_io/KeptOpenFile.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string_view>

// Cumulative paging counts since boot, in pages. Major faults are the pages that had to be
// read back from disk or swap; swap-outs are the pages written to swap. (pgpgin and pgpgout
// count KiB of all block I/O, so they are not used.)
struct PagingCounters {
    std::uint64_t majorFaults = 0;
    std::uint64_t swapOuts = 0;
    bool operator==(const PagingCounters&) const = default;
};

// Picks pgmajfault and pswpout out of vmstat text; a missing line counts as 0.
PagingCounters parseVmstat(std::string_view text);

// Reads <root>/proc/vmstat.
class VmstatReader {
public:
    explicit VmstatReader(const std::filesystem::path& root = "/");

    // Empty when the file cannot be read.
    std::optional<PagingCounters> read();

private:
    KeptOpenFile file_;
};
