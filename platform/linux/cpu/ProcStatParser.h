#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

// One "cpuN" line of /proc/stat, in USER_HZ ticks. Fields a kernel does not print are 0; the
// guest times are left out because user and nice already include them.
struct ProcStatCpuLine {
    int cpu = 0;
    std::uint64_t user = 0;
    std::uint64_t nice = 0;
    std::uint64_t system = 0;
    std::uint64_t idle = 0;
    std::uint64_t iowait = 0;
    std::uint64_t irq = 0;
    std::uint64_t softirq = 0;
    std::uint64_t steal = 0;
    bool operator==(const ProcStatCpuLine&) const = default;
};

struct ProcStatContents {
    std::vector<ProcStatCpuLine> cpus;  // in file order, each processor once
    std::optional<std::int64_t> bootTimeSeconds;
};

// Reads the per-processor lines and btime of /proc/stat. The aggregate "cpu" line is skipped.
// A line that is not well formed (fewer than four counters, a stray character, a number too
// large) is dropped on its own, as is a repeated processor number and a last line without its
// newline, which may have been cut short.
ProcStatContents parseProcStat(std::string_view text);
