#pragma once

#include "linux_io/KeptOpenFile.h"
#include "platform/ThermalReadings.h"

#include <filesystem>
#include <string>
#include <vector>

// The thermal-throttle counters under <root>/sys/devices/system/cpu/cpuN/thermal_throttle.
// Logical processors of one physical core share its core counters, and all processors of a
// package share the package counters, so each is read through one processor only; the others
// stand by in case that one goes offline. The layout is found once, at creation.
class ThrottleCounterReader {
public:
    explicit ThrottleCounterReader(const std::filesystem::path& root = "/");
    std::vector<ThrottleCounter> read();

private:
    struct CounterFiles {
        KeptOpenFile events;
        KeptOpenFile totalTimeMs;
    };
    struct Counter {
        std::string id;
        std::vector<CounterFiles> candidates;  // one per processor that shows the counter
    };
    std::vector<Counter> counters_;
};
