#pragma once

#include <filesystem>
#include <optional>
#include <string_view>

// The `temp` file (millidegrees Celsius) of the first thermal zone under
// <root>/sys/class/thermal, by zone number, whose `type` is `type`.
std::optional<std::filesystem::path> findThermalZoneTemperature(const std::filesystem::path& root,
                                                                std::string_view type);
