#pragma once

#include <QString>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

// What the scheduler says a process is doing.
// One process, told apart from a later one that reuses its pid by its start time.
struct ProcessKey {
    std::int32_t pid;
    std::uint64_t startTime;
    bool operator==(const ProcessKey&) const = default;
};

struct ProcessKeyHash {
    std::size_t operator()(const ProcessKey& key) const {
        return std::hash<std::uint64_t>()(key.startTime * 0x9E3779B97F4A7C15ull ^
                                          static_cast<std::uint32_t>(key.pid));
    }
};

enum class ProcessRunState {
    running,
    sleeping,
    uninterruptible,  // sleeping in the kernel, usually on I/O
    stopped,          // by a signal or a tracer
    zombie,
    dead,
    idle,  // an idle kernel worker
    unknown,
};

// One process of the current user as the process table shows it at one instant.
struct ProcessSample {
    std::int32_t pid = 0;
    // Ticks since boot at which the process started: with the pid, it tells a process apart
    // from a later one that was given the same pid.
    std::uint64_t startTime = 0;
    ProcessRunState state = ProcessRunState::unknown;
    std::uint64_t userNanoseconds = 0;    // cumulative CPU time in user mode
    std::uint64_t systemNanoseconds = 0;  // cumulative CPU time in the kernel
    std::uint64_t residentBytes = 0;
    std::string command;  // the kernel's short name of the process, raw bytes
    bool operator==(const ProcessSample&) const = default;
};

// Where the process sampler gets its table and its names. Used from one thread at a time.
class ProcessSource {
public:
    virtual ~ProcessSource() = default;
    // The current user's processes, kernel threads left out, in table order; absent when the
    // table itself cannot be listed. A process that ends while it is being read is left out.
    virtual std::optional<std::vector<ProcessSample>> readProcesses() = 0;
    // The name to show for a process of the latest table: its application's name, else its
    // executable's, else its short name; empty when it has none. Safe to display.
    virtual QString nameOf(const ProcessSample& process) = 0;
};
