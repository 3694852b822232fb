#pragma once

#include "core/SampleRecords.h"
#include "linux_io/KeptOpenFile.h"

#include <filesystem>
#include <optional>
#include <string_view>

// The 1-, 5- and 15-minute load averages from the start of /proc/loadavg
// ("0.06 0.06 0.02 1/116 4889"): the numbers getloadavg() returns. Absent unless all three
// are finite, non-negative numbers.
std::optional<LoadAverages> parseLoadAverages(std::string_view text);

// Reads <root>/proc/loadavg on each call through a kept descriptor.
class LoadAverageReader {
public:
    explicit LoadAverageReader(const std::filesystem::path& root = "/");
    std::optional<LoadAverages> read();

private:
    KeptOpenFile file_;
};
