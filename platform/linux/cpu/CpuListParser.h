#pragma once

#include <optional>
#include <string_view>
#include <vector>

// The highest processor number accepted; the kernel allows at most 8192 processors.
inline constexpr int kMaximumCpuNumber = 65535;

// Parses the kernel's processor-list format ("0-3,8,10-11\n") into sorted, distinct processor
// numbers. An empty list is valid. Anything malformed (a reversed or open range, a stray
// character, a number above kMaximumCpuNumber) makes the whole list absent.
std::optional<std::vector<int>> parseCpuList(std::string_view text);
