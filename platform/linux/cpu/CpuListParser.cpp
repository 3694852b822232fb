#include "platform/linux/cpu/CpuListParser.h"

#include "linux_io/SysfsText.h"

#include <algorithm>
#include <charconv>

namespace {

std::optional<int> parseCpuNumber(std::string_view text) {
    int value = 0;
    const auto* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || text.front() == '-' || error != std::errc{} || stop != end ||
        value > kMaximumCpuNumber) {
        return std::nullopt;
    }
    return value;
}

}  // namespace

std::optional<std::vector<int>> parseCpuList(std::string_view text) {
    text = trimmed(text);
    // Marks rather than a list, so overlapping ranges cost nothing extra.
    std::vector<bool> listed;
    while (!text.empty()) {
        const auto comma = text.find(',');
        const std::string_view item = text.substr(0, comma);
        text = comma == std::string_view::npos ? std::string_view{} : text.substr(comma + 1);
        if (comma != std::string_view::npos && text.empty()) {
            return std::nullopt;  // a trailing comma
        }
        const auto dash = item.find('-');
        const auto first = parseCpuNumber(item.substr(0, dash));
        const auto last =
            dash == std::string_view::npos ? first : parseCpuNumber(item.substr(dash + 1));
        if (!first || !last || *first > *last) {
            return std::nullopt;
        }
        if (listed.size() <= static_cast<std::size_t>(*last)) {
            listed.resize(static_cast<std::size_t>(*last) + 1);
        }
        std::fill(listed.begin() + *first, listed.begin() + *last + 1, true);
    }
    std::vector<int> cpus;
    for (std::size_t cpu = 0; cpu < listed.size(); ++cpu) {
        if (listed[cpu]) {
            cpus.push_back(static_cast<int>(cpu));
        }
    }
    return cpus;
}
