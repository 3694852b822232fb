#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

// The fields of one /proc/PID/stat line that the process table needs, in the kernel's units.
struct PidStat {
    std::string_view command;  // between the first '(' and the last ')': may hold anything
    char state = '?';
    std::uint64_t flags = 0;
    std::uint64_t userTicks = 0;
    std::uint64_t systemTicks = 0;
    std::uint64_t startTicks = 0;
    std::uint64_t residentPages = 0;
};

// The kernel marks its own threads with this flag (PF_KTHREAD).
constexpr std::uint64_t kKernelThreadFlag = 0x00200000;

// Absent when the line is cut short or a needed field is not a number. The short name may
// contain spaces, parentheses and newlines, so the fields are counted from the last ')'.
// `command` points into `text`.
std::optional<PidStat> parsePidStat(std::string_view text);
