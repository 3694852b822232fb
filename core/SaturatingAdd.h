#pragma once

#include <cstdint>
#include <limits>

// Sums of kernel figures stop at the largest value instead of wrapping to a small one.
inline std::uint64_t saturatingAdd(std::uint64_t a, std::uint64_t b) {
    return b > std::numeric_limits<std::uint64_t>::max() - a
               ? std::numeric_limits<std::uint64_t>::max()
               : a + b;
}
