#include "platform/linux/AmdgpuReader.h"

#include "platform/linux/SysfsText.h"

#include <algorithm>

namespace {

std::optional<std::uint64_t> readUnsigned(KeptOpenFile& file) {
    const auto text = file.read();
    const auto value = text ? parseInteger(*text) : std::nullopt;
    if (!value || *value < 0) {
        return std::nullopt;
    }
    return static_cast<std::uint64_t>(*value);
}

}  // namespace

AmdgpuReader::AmdgpuReader(const std::filesystem::path& deviceDirectory)
    : busyPercent_((deviceDirectory / "gpu_busy_percent").string()),
      vramUsed_((deviceDirectory / "mem_info_vram_used").string()),
      vramTotal_((deviceDirectory / "mem_info_vram_total").string()) {}

AcceleratorReading AmdgpuReader::read() {
    AcceleratorReading reading;
    if (const auto percent = readUnsigned(busyPercent_)) {
        reading.busyFraction = static_cast<double>(std::min<std::uint64_t>(*percent, 100)) / 100.0;
    }
    reading.vramUsedBytes = readUnsigned(vramUsed_);
    reading.vramTotalBytes = readUnsigned(vramTotal_);
    return reading;
}
