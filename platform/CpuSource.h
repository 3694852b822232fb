#pragma once

#include "core/SampleRecords.h"

#include <cstdint>
#include <optional>
#include <vector>

// One processor's cumulative tick counters, cut to 32 bits so that the sampler's wrap rule
// applies to them as to any 32-bit kernel counter.
struct CpuTickSet {
    int cpu = 0;  // the processor's number, stable while it is online
    std::uint32_t user = 0;
    std::uint32_t system = 0;
    std::uint32_t idle = 0;
    std::uint32_t nice = 0;
    bool operator==(const CpuTickSet&) const = default;
};

struct CoreCounts {
    int efficiency = 0;
    int performance = 0;
    bool operator==(const CoreCounts&) const = default;
};

// Everything that changes between polls, read in one go. An absent member could not be read.
struct CpuCounters {
    // Efficiency cores first, then the rest, each group by processor number.
    std::optional<std::vector<CpuTickSet>> ticks;
    std::optional<LoadAverages> loadAverages;
    std::optional<std::int64_t> bootTimeSeconds;  // seconds since 1970
};

// The raw numbers the CPU sampler works from. Never throws: what cannot be read is absent.
class CpuSource {
public:
    virtual ~CpuSource() = default;
    // Fixed for the life of the source; both 0 when the machine has no core kinds.
    virtual CoreCounts coreCounts() const = 0;
    virtual CpuCounters readCounters() = 0;
};
