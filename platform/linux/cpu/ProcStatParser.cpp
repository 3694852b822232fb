#include "platform/linux/cpu/ProcStatParser.h"

#include "platform/linux/cpu/CpuListParser.h"

#include <array>
#include <charconv>
#include <unordered_set>

namespace {

constexpr std::size_t kMinimumCounters = 4;   // user nice system idle, as the oldest kernels
constexpr std::size_t kMaximumCounters = 10;  // up to guest_nice

// The blank-separated words of one line; absent when there are more than `capacity`.
template <std::size_t capacity>
std::optional<std::size_t> splitWords(std::string_view line,
                                      std::array<std::string_view, capacity>& words) {
    std::size_t count = 0;
    while (true) {
        const auto start = line.find_first_not_of(' ');
        if (start == std::string_view::npos) {
            return count;
        }
        line.remove_prefix(start);
        const auto end = line.find(' ');
        if (count == capacity) {
            return std::nullopt;
        }
        words[count++] = line.substr(0, end);
        line = end == std::string_view::npos ? std::string_view{} : line.substr(end);
    }
}

template <typename Number>
std::optional<Number> parseUnsigned(std::string_view word) {
    Number value = 0;
    const auto* end = word.data() + word.size();
    const auto [stop, error] = std::from_chars(word.data(), end, value);
    if (word.empty() || word.front() == '-' || error != std::errc{} || stop != end) {
        return std::nullopt;
    }
    return value;
}

std::optional<ProcStatCpuLine> parseCpuLine(std::string_view line) {
    std::array<std::string_view, kMaximumCounters + 1> words;
    const auto count = splitWords(line, words);
    if (!count || *count < kMinimumCounters + 1) {
        return std::nullopt;
    }
    const auto cpu = parseUnsigned<int>(words[0].substr(3));
    if (!cpu || *cpu > kMaximumCpuNumber) {
        return std::nullopt;
    }
    std::array<std::uint64_t, kMaximumCounters> counters{};
    for (std::size_t i = 1; i < *count; ++i) {
        const auto value = parseUnsigned<std::uint64_t>(words[i]);
        if (!value) {
            return std::nullopt;
        }
        counters[i - 1] = *value;
    }
    return ProcStatCpuLine{*cpu,        counters[0], counters[1], counters[2], counters[3],
                           counters[4], counters[5], counters[6], counters[7]};
}

std::optional<std::int64_t> parseBootTime(std::string_view line) {
    std::array<std::string_view, 2> words;
    const auto count = splitWords(line, words);
    if (!count || *count != 2) {
        return std::nullopt;
    }
    return parseUnsigned<std::int64_t>(words[1]);
}

}  // namespace

ProcStatContents parseProcStat(std::string_view text) {
    ProcStatContents contents;
    std::unordered_set<int> seen;
    while (!text.empty()) {
        const auto newline = text.find('\n');
        if (newline == std::string_view::npos) {
            break;  // cut short
        }
        const std::string_view line = text.substr(0, newline);
        text.remove_prefix(newline + 1);
        if (line.starts_with("cpu") && line.size() > 3 && line[3] >= '0' && line[3] <= '9') {
            const auto parsed = parseCpuLine(line);
            if (parsed && seen.insert(parsed->cpu).second) {
                contents.cpus.push_back(*parsed);
            }
        } else if (line.starts_with("btime ")) {
            contents.bootTimeSeconds = parseBootTime(line);
        }
    }
    return contents;
}
