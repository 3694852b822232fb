#pragma once

#include <charconv>
#include <cstdint>
#include <optional>
#include <string_view>

// Helpers for the line-per-counter text of /proc and /sys files.

// Calls onLine with every newline-terminated line, without its newline. A last line with no
// newline may have been cut short in the middle of a number, so it is not trusted.
template <typename OnLine>
void forEachCompleteLine(std::string_view text, OnLine&& onLine) {
    std::size_t start = 0;
    while (true) {
        const std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) {
            return;
        }
        if (!onLine(text.substr(start, end - start))) {
            return;
        }
        start = end + 1;
    }
}

inline bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n';
}

// The unsigned decimal that starts `text` after any blanks. It must end at a blank or at the
// end of `text`: "12kB" or "-3" are not numbers. Values that do not fit 64 bits are refused.
inline std::optional<std::uint64_t> leadingUnsigned(std::string_view text) {
    std::size_t start = 0;
    while (start < text.size() && isBlank(text[start])) {
        ++start;
    }
    const char* first = text.data() + start;
    const char* last = text.data() + text.size();
    std::uint64_t value = 0;
    const auto [end, error] = std::from_chars(first, last, value);
    if (error != std::errc{} || (end != last && !isBlank(*end))) {
        return std::nullopt;
    }
    return value;
}
