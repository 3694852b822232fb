#pragma once

#include "core/Clock.h"
#include "linux_io/KeptOpenFile.h"

#include <cstdint>
#include <filesystem>
#include <optional>

// An Intel i915 GPU's busy share from its RC6 residency: the milliseconds the render engine
// spent powered down in its idle state. Over an interval, busy ≈ 1 − Δresidency / Δtime,
// timed on the clock's steady time.
class Rc6BusyReader {
public:
    Rc6BusyReader(const std::filesystem::path& cardDirectory, const Clock& clock);

    // 0 on the first read, after forget(), when no time has passed and when the residency went
    // backwards; absent when the residency cannot be read.
    std::optional<double> read();

    // Starts afresh: the next read has nothing to compare with. For an interval the card
    // spent suspended, over which the residency says nothing.
    void forget() { previous_.reset(); }

    // gt/gt0/rc6_residency_ms on current kernels, power/rc6_residency_ms on older ones.
    static std::filesystem::path residencyFile(const std::filesystem::path& cardDirectory);

private:
    struct Sample {
        std::int64_t residencyMs = 0;
        Clock::SteadyTime time;
    };

    KeptOpenFile residency_;
    const Clock& clock_;
    std::optional<Sample> previous_;
};
