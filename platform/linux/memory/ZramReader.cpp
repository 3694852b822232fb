#include "platform/linux/memory/ZramReader.h"

#include "core/SaturatingAdd.h"
#include "linux_io/CounterText.h"

#include <algorithm>
#include <string>
#include <system_error>

std::optional<std::uint64_t> parseZramCompressedBytes(std::string_view mmStat) {
    std::size_t start = 0;
    for (int field = 0; field < 2; ++field) {
        while (start < mmStat.size() && isBlank(mmStat[start])) {
            ++start;
        }
        const std::size_t end = std::min(mmStat.find_first_of(" \t\n", start), mmStat.size());
        if (start == end || end == mmStat.size()) {
            // Nothing there, or a field that runs to the end of the text and may be cut short.
            return std::nullopt;
        }
        if (field == 1) {
            return leadingUnsigned(mmStat.substr(start, end - start));
        }
        start = end;
    }
    return std::nullopt;
}

ZramReader::ZramReader(const std::filesystem::path& root) {
    std::vector<std::string> paths;
    std::error_code error;
    std::filesystem::directory_iterator entry(root / "sys/block", error);
    for (; !error && entry != std::filesystem::directory_iterator(); entry.increment(error)) {
        if (entry->path().filename().string().starts_with("zram")) {
            paths.push_back((entry->path() / "mm_stat").string());
        }
    }
    std::sort(paths.begin(), paths.end());
    devices_.reserve(paths.size());
    for (auto& path : paths) {
        devices_.emplace_back(std::move(path));
    }
}

std::uint64_t ZramReader::compressedBytes() {
    std::uint64_t total = 0;
    for (auto& device : devices_) {
        const auto text = device.read();
        if (text) {
            total = saturatingAdd(total, parseZramCompressedBytes(*text).value_or(0));
        }
    }
    return total;
}
