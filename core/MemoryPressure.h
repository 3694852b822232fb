#pragma once

#include "core/SampleRecords.h"

// The dashboard's memory pressure: wired plus compressed memory as a whole percentage of
// physical memory, truncated, at most 100, and 0 when the total is unknown.
inline int memoryPressurePercent(const RamStats& ram) {
    if (ram.totalBytes == 0) {
        return 0;
    }
    const double percent =
        (static_cast<double>(ram.wiredBytes) + static_cast<double>(ram.compressedBytes)) /
        static_cast<double>(ram.totalBytes) * 100.0;
    return static_cast<int>(percent < 100.0 ? percent : 100.0);
}
