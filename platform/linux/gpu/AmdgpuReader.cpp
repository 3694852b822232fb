#include "platform/linux/gpu/AmdgpuReader.h"

#include "linux_io/SysfsText.h"

#include <algorithm>

AmdgpuReader::AmdgpuReader(const std::filesystem::path& deviceDirectory)
    : busyPercent_((deviceDirectory / "gpu_busy_percent").string()),
      vramUsed_((deviceDirectory / "mem_info_vram_used").string()),
      vramTotal_((deviceDirectory / "mem_info_vram_total").string()) {}

AcceleratorReading AmdgpuReader::read() {
    AcceleratorReading reading;
    if (const auto percent = readUnsignedValue(busyPercent_)) {
        reading.busyFraction = static_cast<double>(std::min<std::uint64_t>(*percent, 100)) / 100.0;
    }
    reading.vramUsedBytes = readUnsignedValue(vramUsed_);
    reading.vramTotalBytes = readUnsignedValue(vramTotal_);
    return reading;
}
