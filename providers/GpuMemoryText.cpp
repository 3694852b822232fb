#include "providers/GpuMemoryText.h"

namespace {

constexpr double kGiB = 1073741824.0;
constexpr double kMiB = 1048576.0;

}  // namespace

QString gpuMemoryText(std::uint64_t bytes) {
    const auto amount = static_cast<double>(bytes);
    if (amount >= kGiB) {
        return QString::asprintf("%.1f GB", amount / kGiB);
    }
    return QString::asprintf("%.0f MB", amount / kMiB);
}
