#pragma once

#include "linux_io/KeptOpenFile.h"
#include "platform/GpuSource.h"

#include <filesystem>

// An amdgpu card's busy share and video memory from its PCI device directory:
// gpu_busy_percent (0 to 100), mem_info_vram_used and mem_info_vram_total (bytes), each on a
// kept descriptor. A file that cannot be read or parsed leaves its figure absent.
class AmdgpuReader {
public:
    explicit AmdgpuReader(const std::filesystem::path& deviceDirectory);

    // Only the figures; the name is not this reader's business.
    AcceleratorReading read();

private:
    KeptOpenFile busyPercent_;
    KeptOpenFile vramUsed_;
    KeptOpenFile vramTotal_;
};
