#pragma once

#include <cstdint>
#include <optional>

// One reading of the machine's memory counters, in the shape the memory provider works from:
// installed memory and swap in bytes, the memory split in pages, and cumulative paging counts.
struct MemoryCounters {
    std::uint64_t physicalBytes = 0;
    std::uint64_t wiredPages = 0;
    std::uint64_t activePages = 0;
    std::uint64_t compressedPages = 0;
    std::uint64_t cachedPages = 0;
    std::uint64_t freePages = 0;
    std::uint64_t pageIns = 0;   // cumulative pages read back in since boot
    std::uint64_t pageOuts = 0;  // cumulative pages written out since boot
    std::uint64_t swapTotalBytes = 0;
    std::uint64_t swapUsedBytes = 0;
    bool operator==(const MemoryCounters&) const = default;
};

// Where the memory provider gets its counters. A failed read is an empty optional; a read that
// could only get part of the figures fills the rest with 0.
class MemorySource {
public:
    virtual ~MemorySource() = default;
    // Bytes per page for every page count this source reports; fixed for its lifetime.
    virtual std::uint64_t pageSize() const = 0;
    virtual std::optional<MemoryCounters> read() = 0;
};
