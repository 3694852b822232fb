#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string_view>

// One powercap RAPL domain: its cumulative energy counter and the range where it wraps.
struct RaplDomain {
    std::filesystem::path energyFile;  // energy_uj, readable by root only
    std::uint64_t rangeMicrojoules = 0;
};

// The RAPL domain called `name` ("package-0", "psys") under <root>/sys/class/powercap,
// found by its name file, never by its number.
std::optional<RaplDomain> findRaplDomain(const std::filesystem::path& root, std::string_view name);
