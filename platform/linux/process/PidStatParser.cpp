#include "platform/linux/process/PidStatParser.h"

#include <array>
#include <charconv>

namespace {

// Field numbers as proc(5) counts them, 1-based from the pid.
constexpr int kStateField = 3;
constexpr int kFlagsField = 9;
constexpr int kUserTimeField = 14;
constexpr int kSystemTimeField = 15;
constexpr int kStartTimeField = 22;
constexpr int kResidentField = 24;

std::optional<std::uint64_t> wholeUnsigned(std::string_view text) {
    std::uint64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc{} || end != text.data() + text.size() || text.empty()) {
        return std::nullopt;
    }
    return value;
}

}  // namespace

std::optional<PidStat> parsePidStat(std::string_view text) {
    const std::size_t open = text.find('(');
    const std::size_t close = text.rfind(')');
    if (open == std::string_view::npos || close == std::string_view::npos || close < open) {
        return std::nullopt;
    }
    PidStat stat;
    stat.command = text.substr(open + 1, close - open - 1);

    // The fields after the name, from field 3 on, each preceded by one space.
    std::array<std::string_view, kResidentField + 1> fields{};
    int field = kStateField;
    std::size_t position = close + 1;
    while (field <= kResidentField) {
        if (position >= text.size() || text[position] != ' ') {
            return std::nullopt;
        }
        ++position;
        std::size_t end = position;
        while (end < text.size() && text[end] != ' ' && text[end] != '\n') {
            ++end;
        }
        fields[static_cast<std::size_t>(field)] = text.substr(position, end - position);
        position = end;
        ++field;
    }

    if (fields[kStateField].size() != 1) {
        return std::nullopt;
    }
    stat.state = fields[kStateField][0];
    const auto flags = wholeUnsigned(fields[kFlagsField]);
    const auto user = wholeUnsigned(fields[kUserTimeField]);
    const auto system = wholeUnsigned(fields[kSystemTimeField]);
    const auto start = wholeUnsigned(fields[kStartTimeField]);
    const auto resident = wholeUnsigned(fields[kResidentField]);
    if (!flags || !user || !system || !start || !resident) {
        return std::nullopt;
    }
    stat.flags = *flags;
    stat.userTicks = *user;
    stat.systemTicks = *system;
    stat.startTicks = *start;
    stat.residentPages = *resident;
    return stat;
}
