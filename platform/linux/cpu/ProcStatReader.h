#pragma once

#include "linux_io/KeptOpenFile.h"
#include "platform/CpuSource.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <vector>

struct ProcStatSample {
    std::vector<CpuTickSet> ticks;  // efficiency cores first, then the rest, by number
    std::optional<std::int64_t> bootTimeSeconds;
};

// Reads <root>/proc/stat into tick sets: user; system + irq + softirq + steal; idle + iowait;
// nice. Only online processors are listed there, so each set carries its processor number.
class ProcStatReader {
public:
    explicit ProcStatReader(const std::filesystem::path& root = "/",
                            std::vector<int> efficiencyCpus = {});

    // Absent when the file cannot be read or lists no processor.
    std::optional<ProcStatSample> read();

private:
    std::uint64_t monotonicIdle(int cpu, std::uint64_t idle);

    KeptOpenFile file_;
    std::vector<bool> isEfficiency_;  // by processor number
    // The largest idle + iowait seen per processor: iowait can go backwards, and a dip would
    // look like a 32-bit wrap to the sampler.
    std::vector<std::uint64_t> idleHighWater_;
};
