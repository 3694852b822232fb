#pragma once

#include <QString>

#include <cstdint>

// GPU memory for display: "%.1f GB" from 1 GiB up, "%.0f MB" below.
QString gpuMemoryText(std::uint64_t bytes);
