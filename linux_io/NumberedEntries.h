#pragma once

#include <filesystem>
#include <string_view>
#include <vector>

struct NumberedEntry {
    int number = 0;
    std::filesystem::path path;
};

// The entries of `directory` named `prefix` followed by a decimal number only ("cpu3",
// "thermal_zone0", "hwmon2"), by number. Empty when the directory cannot be listed.
std::vector<NumberedEntry> numberedEntries(const std::filesystem::path& directory,
                                           std::string_view prefix);
